#pragma once

#include <cstdint>

class TPinModel;

// What a target part drives on one logic pin.
enum class TTargetDrive : std::uint8_t { None, Low, High };

// A virtual target part wired to the module's pins. Family command groups talk
// to their part directly (through the firmware context); the pin model asks the
// part what it drives, so that measured voltages and levels show it (an
// acknowledge pulling SDA low, a stuck line, contention with the module).
class TTargetPart {
public:
  virtual ~TTargetPart() = default;
  // pin: index in block order (TPinIndex), P2..P8 only.
  virtual TTargetDrive Drive(int pin) const {
    (void)pin;
    return TTargetDrive::None;
  }
  // The module changed a pin's drive, the Vpp or the supply.
  virtual void PinsChanged(const TPinModel& pins) { (void)pins; }
};
