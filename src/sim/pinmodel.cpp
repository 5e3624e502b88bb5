#include "sim/pinmodel.h"

#include <algorithm>
#include <cmath>

#include "sim/targetpart.h"

namespace {

constexpr double CountsPerVolt = 62.0606;
constexpr std::uint8_t LevelBits[PinIndexCount] = {0, 0x20, 0x80, 0x01, 0x10, 0x40, 0x02, 0};
constexpr std::uint8_t StatusPower = 5; // Vdd/Vcc out of range
constexpr std::uint8_t StatusVpp = 6;   // Vpp out of range
constexpr std::uint16_t NoStopFlag = 0x8000;

struct TP1Level {
  std::uint8_t Code;
  double Volts;
};
constexpr TP1Level P1Levels[] = {{0, 0.0},  {15, 8.0}, {11, 9.0}, {9, 10.0},
                                 {7, 11.0}, {3, 12.0}, {1, 13.0}};

bool IsLogic(int pin) {
  return pin >= PinP2 && pin <= PinP8;
}

std::uint16_t Word(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

void TPinModel::Reset() {
  P1 = 0;
  State.fill(2);
  Supply = false;
  Changed();
}

bool TPinModel::ValidP1Code(std::uint8_t code) {
  for (const auto& level : P1Levels)
    if (level.Code == code) return true;
  return false;
}

double TPinModel::P1CodeVolts(std::uint8_t code) {
  for (const auto& level : P1Levels)
    if (level.Code == code) return level.Volts;
  return 0.0;
}

bool TPinModel::SetP1Code(std::uint8_t code) {
  if (!ValidP1Code(code)) return false;
  P1 = code;
  Changed();
  return true;
}

bool TPinModel::SetLogicState(int pin, std::uint8_t state) {
  if (!IsLogic(pin) || state > 2) return false;
  State[pin] = state;
  Changed();
  return true;
}

void TPinModel::SetSupply(bool on) {
  Supply = on;
  Changed();
}

void TPinModel::SetJumperJ1(bool closed) {
  J1 = closed;
  Changed();
}

void TPinModel::ForceVolts(int pin, double volts) {
  if (pin >= 0 && pin < PinIndexCount) Forced[pin] = volts;
}

void TPinModel::ReleaseForced(int pin) {
  if (pin >= 0 && pin < PinIndexCount) Forced[pin].reset();
}

void TPinModel::AttachTarget(TTargetPart* part) {
  Target = part;
  Changed();
}

void TPinModel::Changed() {
  if (Target) Target->PinsChanged(*this);
}

double TPinModel::Measure(int pin) const {
  if (pin == PinP1) return P1CodeVolts(P1);
  const double supply = Supply ? RailVolts() : 0.0;
  if (pin == PinP9) return supply;
  const TTargetDrive drive = Target ? Target->Drive(pin) : TTargetDrive::None;
  switch (State[pin]) {
  case 0:
    return drive == TTargetDrive::High ? ContentionVolts : 0.0;
  case 1:
    return drive == TTargetDrive::Low ? ContentionVolts : RailVolts();
  default:
    if (drive == TTargetDrive::Low) return 0.0;
    if (drive == TTargetDrive::High) return supply;
    if ((pin == PinP2 || pin == PinP6) && Supply) return std::min(3.5, supply - 0.4);
    return 0.0;
  }
}

double TPinModel::Volts(int pin) const {
  if (pin < 0 || pin >= PinIndexCount) return 0.0;
  return Forced[pin] ? *Forced[pin] : Measure(pin);
}

std::uint16_t TPinModel::Counts(int pin) const {
  const double counts = std::nearbyint(Volts(pin) * CountsPerVolt);
  return static_cast<std::uint16_t>(std::clamp(counts, 0.0, 65535.0));
}

std::uint8_t TPinModel::LevelByte() const {
  std::uint8_t levels = 0;
  for (int pin = PinP2; pin <= PinP8; ++pin)
    if (High(pin)) levels |= LevelBits[pin];
  return levels;
}

std::uint8_t TPinModel::CheckBlock(const std::uint8_t* request, std::uint8_t* reply) {
  std::uint8_t status = 0;
  for (int pin = 0; pin < PinIndexCount; ++pin) {
    const std::uint8_t* entry = request + 32 + 4 * pin;
    const std::uint16_t lowWord = Word(entry);
    const bool noStop = pin != PinP9 && (lowWord & NoStopFlag) != 0;
    const std::uint16_t low = lowWord & ~NoStopFlag;
    const std::uint16_t high = Word(entry + 2);
    const std::uint16_t counts = Counts(pin);

    std::uint8_t check;
    if ((pin == PinP1 && P1 == 0) || (pin == PinP9 && !Supply))
      check = 0;
    else if (IsLogic(pin))
      check = (counts <= low || counts >= high) ? 1 : 2;
    else
      check = (counts >= low && counts <= high) ? 1 : 2;

    std::uint8_t* out = reply + 32 + 4 * pin;
    out[0] = static_cast<std::uint8_t>(counts);
    out[1] = static_cast<std::uint8_t>(counts >> 8);
    out[2] = High(pin) ? 1 : 0;
    out[3] = check;

    if (check == 2 && !noStop) {
      if (pin == PinP9)
        status = StatusPower;
      else if (pin == PinP1 && status != StatusPower)
        status = StatusVpp;
      else if (status == 0)
        status = StatusPower;
    }
  }
  if (status != 0) {
    P1 = 0;
    Supply = false;
    Changed();
  }
  return status;
}
