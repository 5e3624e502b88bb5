#pragma once

#include <array>
#include <functional>
#include <string>

#include "families/e2memframe.h"
#include "link/usbinterface.h"

enum class TPinColour { Black, Green, Red };

// The connection panel (THC05BConFrame1): the nine pin rows, the power-supply
// choice with its preset, stop-on-error and the connection test controls.
class THC05BConFrame1 {
public:
  THC05BConFrame1();

  std::string Name;                    // "HC05ConBaseFrame_n"
  std::array<std::string, 9> PinNames; // P1..P9
  std::array<std::string, 9> PinTexts; // measured values
  std::array<TPinColour, 9> PinColours{};
  int PowerSupply = 0; // 0 "5V - Close J1 ", 1 "3.3V - Open J1 "
  bool StopOnError = true;
  TPowerPreset PowerPreset;
  TPanelButton TestConnectionBtn{"Test Connection", false};
  TPanelCheck ContinuousCheck{"Continuous"};
  bool ContinuousVisible = false;
  TPanelButton VoltmeterBtn{"Voltmeter"};
  // Runs after every mutator so a view can mirror the panel while a task
  // runs; code that sets fields directly calls Changed() when done.
  std::function<void()> OnChanged;
  void Changed() {
    if (OnChanged) OnChanged();
  }

  // The power-supply choice and the stop-on-error box; both refresh the preset.
  void SetPowerSupply(int item);
  void SetStopOnError(bool stop);

  // Labels the pins and clears the values; P5 reads "0V".
  void SetPinNames(const std::array<std::string, 9>& names);
  // Measured voltages of P1..P4 and P6..P9 ("%nV"), with the check's text and
  // colour when withChecks.
  void ShowPinResults(const TPinResults& results, bool withChecks);

  // The constant presets, item 0 (5 V) and item 1 (3.3 V).
  static TPowerPreset Preset(int item, bool stopOnError);

private:
  void UpdatePreset();
};

// Pin row (0..8 for P1..P9) of a result index in pin-block order.
int PinRowOfResult(int resultIndex);
