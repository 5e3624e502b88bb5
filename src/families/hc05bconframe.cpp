#include "families/hc05bconframe.h"

#include <cstdio>

THC05BConFrame1::THC05BConFrame1() {
  static unsigned count = 0;
  Name = "HC05ConBaseFrame_" + std::to_string(++count);
  for (int i = 0; i < 9; ++i)
    PinNames[static_cast<std::size_t>(i)] = "P" + std::to_string(i + 1);
  PinTexts[4] = "0V";
  UpdatePreset();
}

TPowerPreset THC05BConFrame1::Preset(int item, bool stopOnError) {
  TPowerPreset p;
  // Six Vpp windows 7.7-8.3 .. 12.7-13.3.
  for (int i = 0; i < 6; ++i) {
    p.Volts[static_cast<std::size_t>(2 * i)] = 7.7f + static_cast<float>(i);
    p.Volts[static_cast<std::size_t>(2 * i + 1)] = 8.3f + static_cast<float>(i);
  }
  // P2, P3, P4, P6, P7, P8 must sit outside the undefined zone 1.0-2.0 V.
  for (int i = 0; i < 6; ++i) {
    p.Volts[static_cast<std::size_t>(12 + 2 * i)] = 1.0f;
    p.Volts[static_cast<std::size_t>(13 + 2 * i)] = 2.0f;
  }
  p.Volts[24] = item == 1 ? 3.0f : 4.0f;
  p.Volts[25] = item == 1 ? 3.7f : 5.25f;
  p.StopOnError = stopOnError;
  return p;
}

void THC05BConFrame1::UpdatePreset() {
  PowerPreset = Preset(PowerSupply, StopOnError);
}

void THC05BConFrame1::SetPowerSupply(int item) {
  if (item != 0 && item != 1) return;
  PowerSupply = item;
  UpdatePreset();
  Changed();
}

void THC05BConFrame1::SetStopOnError(bool stop) {
  StopOnError = stop;
  UpdatePreset();
  Changed();
}

void THC05BConFrame1::SetPinNames(const std::array<std::string, 9>& names) {
  PinNames = names;
  for (auto& t : PinTexts)
    t.clear();
  PinColours.fill(TPinColour::Black);
  PinTexts[4] = "0V";
  Changed();
}

int PinRowOfResult(int resultIndex) {
  return resultIndex < 4 ? resultIndex : resultIndex + 1;
}

void THC05BConFrame1::ShowPinResults(const TPinResults& results, bool withChecks) {
  for (int i = 0; i < PinResultCount; ++i) {
    const TPinResult& r = results[static_cast<std::size_t>(i)];
    const auto row = static_cast<std::size_t>(PinRowOfResult(i));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fV", static_cast<double>(r.Volts));
    PinTexts[row] = buf;
    PinColours[row] = TPinColour::Black;
    if (withChecks) {
      PinTexts[row] += "  " + TUSBInt::PinCheckText(r.Check);
      if (r.Check == 1)
        PinColours[row] = TPinColour::Green;
      else if (r.Check == 2)
        PinColours[row] = TPinColour::Red;
    }
  }
  Changed();
}
