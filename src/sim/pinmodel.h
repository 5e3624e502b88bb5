#pragma once

#include <array>
#include <cstdint>
#include <optional>

class TTargetPart;

// Pins in the order of the check and result blocks (P5 is ground).
enum TPinIndex { PinP1, PinP2, PinP3, PinP4, PinP6, PinP7, PinP8, PinP9, PinIndexCount };

// The nine-pin target connector as the base firmware drives and measures it.
//
// P1 is the Vpp output (codes 0/15/11/9/7/3/1 = off/8..13 V). P9 is the target
// supply, 5 V with jumper J1 closed and 3.3 V with it open. The logic pins are
// driven low, high (to the J1 rail) or left high impedance; in high impedance
// P2 and P6 are pulled up from P9 (to 3.5 V, or P9 less 0.4 V when lower) and
// the others read 0 V, unless the target part drives them. Module and target
// driving a pin against each other read 1.5 V. A pin reads high at 1.65 V and
// above. A forced voltage (a hardware fault) overrides everything on its pin.
class TPinModel {
public:
  static constexpr double ContentionVolts = 1.5;
  static constexpr double HighThreshold = 1.65;

  // Idle: P1 off, logic pins high impedance, P9 off. Forced voltages stay.
  void Reset();

  static bool ValidP1Code(std::uint8_t code);
  static double P1CodeVolts(std::uint8_t code); // 0 for off and unknown codes

  bool SetP1Code(std::uint8_t code); // false (nothing changes) for an unknown code
  // pin: PinP2..PinP8; state 0 low, 1 high, 2 high impedance. False when invalid.
  bool SetLogicState(int pin, std::uint8_t state);
  void SetSupply(bool on);
  void SetJumperJ1(bool closed);
  void ForceVolts(int pin, double volts);
  void ReleaseForced(int pin);
  void AttachTarget(TTargetPart* part);

  std::uint8_t P1Code() const { return P1; }
  std::uint8_t LogicState(int pin) const { return State[pin]; }
  bool SupplyOn() const { return Supply; }
  bool JumperJ1() const { return J1; }
  double RailVolts() const { return J1 ? 5.0 : 3.3; }

  double Volts(int pin) const;
  std::uint16_t Counts(int pin) const;
  bool High(int pin) const { return Volts(pin) >= HighThreshold; }
  // Logic level byte: P2 0x20, P3 0x80, P4 0x01, P6 0x10, P7 0x40, P8 0x02.
  std::uint8_t LevelByte() const;

  // Checks every pin against the check block in request bytes 32..63 and
  // writes the result block into reply bytes 32..63. P1 and P9 are checked
  // only while on (else check 0) against the window low..high; a logic pin is
  // bad while it sits strictly between low and high, the zone where its level
  // is undefined. A bad pin whose entry lacks the 0x8000 no-stop flag (P9 never
  // has it) stops the check: Vpp and the supply are switched off to protect
  // the target and the status is 5 (P9 or a logic pin) or 6 (P1); P9 wins,
  // then P1. Returns the status byte (0 when nothing stopped).
  std::uint8_t CheckBlock(const std::uint8_t* request, std::uint8_t* reply);

private:
  void Changed();
  double Measure(int pin) const;

  std::uint8_t P1 = 0;
  std::array<std::uint8_t, PinIndexCount> State{2, 2, 2, 2, 2, 2, 2, 2};
  bool Supply = false;
  bool J1 = true;
  std::array<std::optional<double>, PinIndexCount> Forced{};
  TTargetPart* Target = nullptr;
};
