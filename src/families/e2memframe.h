#pragma once

#include <functional>
#include <string>
#include <utility>

// Models of the serial-memory panel: what the widgets in families/ui show and
// what the device classes read while they run. Plain state plus the rules of
// the range and register edits; a view mirrors it and forwards user input.

// A button of a panel: caption, visibility and the handler the device wires.
struct TPanelButton {
  TPanelButton() = default;
  explicit TPanelButton(std::string caption, bool visible = true)
      : Caption(std::move(caption)), Visible(visible) {}
  std::string Caption;
  bool Visible = true;
  bool Enabled = true;
  std::function<void()> OnClick;
  // Runs the handler when the button can be pressed; false when nothing ran.
  bool Click() {
    if (!Visible || !Enabled || !OnClick) return false;
    OnClick();
    return true;
  }
};

struct TPanelCheck {
  TPanelCheck() = default;
  explicit TPanelCheck(std::string caption) : Caption(std::move(caption)) {}
  std::string Caption;
  bool Checked = false;
  bool Enabled = true;
  std::function<void()> OnClick;
};

// "$" + text read as a 32-bit hexadecimal integer; false when it is not one.
bool ReadHexEdit(const std::string& text, int& value);
// Upper-case hexadecimal without prefix ("%x").
std::string HexText(int value);

// Range fields shared by the memory panels: inclusive buffer offsets of the
// next operation, the device address of offset 0 and the two capacities.
class TRangeFields {
public:
  virtual ~TRangeFields() = default;

  int RangeStart = 0;
  int RangeEnd = 0;
  int BaseAddress = 0;
  int MemCapacity = 0;
  int EepromCapacity = 0;
  // The two edits' texts (upper case).
  std::string StartText = "0";
  std::string EndText = "0";
  // The system beep of a rejected entry.
  std::function<void()> OnBeep;
  // Runs after every mutator (a typed entry, accepted or put back, included)
  // so a view can mirror the fields while a task runs. Code that sets fields
  // directly calls Changed() when done.
  std::function<void()> OnChanged;
  void Changed() {
    if (OnChanged) OnChanged();
  }

  // The limit an end must stay below (the selected area's size).
  virtual int EndLimit() const { return EepromCapacity; }

  // Accepts Start >= 0, End >= Start and End below the limit: both fields and
  // both edits change. Otherwise nothing changes.
  bool SetRange(int start, int end);
  // A typed entry. A rejected one beeps and puts the previous value back
  // (the whole edit then selected); the result says whether it was accepted.
  bool StartEditChange(const std::string& text);
  bool EndEditChange(const std::string& text);
  void ShowRange(); // edits := the two fields
  // Set to the whole edit when an entry was rejected (the view selects it).
  bool SelectAllRequested = false;

private:
  void Reject(std::string& text, int previous);
};

// The serial-memory panel (Te2memoryFrame).
class Te2memoryFrame : public TRangeFields {
public:
  Te2memoryFrame();

  std::string Name; // "E2MemoryBaseFrame_n"

  TPanelButton ReadBtn{"Read"};
  TPanelButton VerifyBtn{"Verify"};
  TPanelButton ProgramBtn{"Program"};
  TPanelButton BlankCheckBtn{"Blank Check"};
  TPanelButton EraseBtn{"Erase All"};
  TPanelButton ReadStatusRegisterBtn{"Read Stat. Register", false};
  TPanelButton WriteStatusRegisterBtn{"Write Stat. Register", false};
  TPanelButton ClearProtectRegisterBtn{"Clear Protect Register", false};
  TPanelCheck ProgramModifiedOnlyCheck{"Program Modified Only"};
  std::string RegisterLabel = "Status Register";
  bool RegisterLabelVisible = false;
  std::string RegisterText = "00"; // two hexadecimal digits
  bool RegisterEditVisible = false;

  // A typed register value: not a number, negative or above FFh is rejected
  // (beep, the previous text back, the edit selected).
  bool RegisterEditChange(const std::string& text);
  // The register edit as a byte (0 when it holds no valid value).
  int RegisterValue() const;
  void SetRegisterValue(int value); // "%2.2x"

  // The device's capacities; the end edit is bounded by EepromCapacity.
  void SetCapacities(int memCapacity, int eepromCapacity);
  // Shows or hides the status-register controls: both buttons, label and edit.
  void ShowStatusRegister(bool visible);
};
