#include "sim/microwirepart.h"

#include "sim/pinmodel.h"

TMicrowirePart::TMicrowirePart(std::uint32_t capacity, int addressBitsX8, int addressBitsX16,
                               bool protectRegister)
    : Memory(capacity, 0xFF), Capacity(capacity), BitsX8(addressBitsX8), BitsX16(addressBitsX16),
      Protectable(protectRegister), PrAddress((1u << addressBitsX16) - 1) {}

std::shared_ptr<TMicrowirePart> TMicrowirePart::ForDevice(std::uint32_t capacity, int org,
                                                          int e2len, bool protectRegister) {
  const int x16 = org == 16 ? e2len : e2len - 1;
  return std::make_shared<TMicrowirePart>(capacity, x16 + 1, x16, protectRegister);
}

std::uint32_t TMicrowirePart::Words() const {
  return X16 ? Capacity / 2 : Capacity;
}

// Addresses wrap at the array's size, as the unused high address bits of the
// smaller parts are "don't care".
std::uint32_t TMicrowirePart::WordAt(std::uint32_t address) const {
  address %= Words();
  if (!X16) return Memory[address];
  return static_cast<std::uint32_t>(Memory[2 * address] << 8) | Memory[2 * address + 1];
}

void TMicrowirePart::Store(std::uint32_t address, std::uint32_t value) {
  address %= Words();
  if (Protected(address) || Faults.WriteNotStick) return;
  if (!X16) {
    Memory[address] = static_cast<std::uint8_t>(value);
    return;
  }
  Memory[2 * address] = static_cast<std::uint8_t>(value >> 8);
  Memory[2 * address + 1] = static_cast<std::uint8_t>(value);
}

bool TMicrowirePart::Protected(std::uint32_t address) const {
  if (!Protectable || !PrSet) return false;
  // The register holds a word address; in x8 form compare words too.
  const std::uint32_t word = X16 ? address : address / 2;
  return word >= PrAddress;
}

void TMicrowirePart::Select() {
  State = TState::Idle;
  Shift = 0;
  Pending = TPending::None;
  PrRead = false;
}

int TMicrowirePart::Clock(int di) {
  const int out = Step(di);
  if (Faults.StuckDO == TTargetDrive::None) return out;
  return Faults.StuckDO == TTargetDrive::High ? 1 : 0;
}

int TMicrowirePart::Step(int di) {
  if (!Powered) return 0;
  switch (State) {
  case TState::Idle:
    if (di) {
      State = TState::Opcode;
      Need = 2;
      Shift = 0;
    }
    return 1;
  case TState::Opcode:
  case TState::Address:
  case TState::Data:
    Shift = (Shift << 1) | (di ? 1u : 0u);
    if (--Need == 0) Decode();
    return 1;
  case TState::Reading: {
    const int width = X16 ? 16 : 8;
    const std::uint32_t value = PrRead ? PrAddress : WordAt(Address);
    const int bit = (value >> (width - 1 - OutBit)) & 1;
    if (++OutBit == width) {
      OutBit = 0;
      ++Address; // sequential read runs on into the next word
    }
    return bit;
  }
  case TState::Done:
    return 1;
  }
  return 1;
}

void TMicrowirePart::Decode() {
  const int width = X16 ? 16 : 8;
  if (State == TState::Opcode) {
    Opcode = static_cast<int>(Shift);
    State = TState::Address;
    Need = AddressBits();
    Shift = 0;
    return;
  }
  if (State == TState::Address) {
    Address = Shift;
    Shift = 0;
    const int bits = AddressBits();
    const std::uint32_t top = Address >> (bits - 2);
    switch (Opcode) {
    case 2: // READ (PRREAD with PRE high)
      PrRead = PreHigh && Protectable;
      State = TState::Reading;
      OutBit = 0;
      return;
    case 1: // WRITE (PRWRITE with PRE high: the address is the data)
      if (PreHigh && Protectable) {
        Pending = TPending::PrWrite;
        State = TState::Done;
        return;
      }
      State = TState::Data;
      Need = width;
      Pending = TPending::Write;
      return;
    case 3: // ERASE (PRCLEAR with PRE high)
      Pending = PreHigh && Protectable ? TPending::PrClear : TPending::Erase;
      State = TState::Done;
      return;
    default:
      State = TState::Done;
      if (top == 3) { // EWEN (PREN with PRE high)
        if (PreHigh && Protectable)
          PrEnable = true;
        else
          WriteEnable = true;
      } else if (top == 0) { // EWDS
        WriteEnable = false;
      } else if (top == 2) { // ERAL
        Pending = TPending::EraseAll;
      } else { // WRAL
        State = TState::Data;
        Need = width;
        Pending = TPending::WriteAll;
      }
      return;
    }
  }
  // Data complete
  Data = Shift;
  State = TState::Done;
}

void TMicrowirePart::Deselect(std::uint64_t nowUs) {
  if (State == TState::Done && Pending != TPending::None) Program(nowUs);
  State = TState::Idle;
  Pending = TPending::None;
}

void TMicrowirePart::Program(std::uint64_t nowUs) {
  if (!Powered || !Ready(nowUs)) return;
  const bool pr = Pending == TPending::PrWrite || Pending == TPending::PrClear;
  // The protect register needs PREN and PE; the array needs EWEN (93S: and PE).
  if (pr && (!PrEnable || !WriteEnable || !PeHigh)) return;
  if (!pr && (!WriteEnable || (Protectable && !PeHigh))) return;
  std::uint64_t cycle = WriteCycleUs;
  switch (Pending) {
  case TPending::Write:
    Store(Address, Data);
    break;
  case TPending::Erase:
    Store(Address, 0xFFFF);
    break;
  case TPending::EraseAll:
  case TPending::WriteAll:
    // The bulk instructions are refused while any word is protected.
    if (Protectable && PrSet) return;
    for (std::uint32_t a = 0; a < Words(); ++a)
      Store(a, Pending == TPending::EraseAll ? 0xFFFF : Data);
    cycle = EraseAllUs;
    break;
  case TPending::PrWrite:
    if (!Faults.WriteNotStick) {
      PrAddress = Address;
      PrSet = true;
    }
    PrEnable = false;
    break;
  case TPending::PrClear:
    if (!Faults.WriteNotStick) {
      PrAddress = (1u << BitsX16) - 1;
      PrSet = false;
    }
    PrEnable = false;
    break;
  case TPending::None:
    return;
  }
  BusyUntil = nowUs + cycle;
  BusyForever = Faults.StaysBusy;
}

bool TMicrowirePart::Ready(std::uint64_t nowUs) const {
  if (Faults.StuckDO != TTargetDrive::None) return Faults.StuckDO == TTargetDrive::High;
  if (!Powered) return false;
  return !BusyForever && nowUs >= BusyUntil;
}

TTargetDrive TMicrowirePart::Drive(int pin) const {
  if (pin == PinP3 && Faults.StuckDO != TTargetDrive::None) return Faults.StuckDO;
  return TTargetDrive::None;
}

void TMicrowirePart::PinsChanged(const TPinModel& pins) {
  const bool on = pins.SupplyOn();
  if (!on && Powered) {
    // Power-up state at the next supply: writes disabled, no cycle running.
    WriteEnable = false;
    PrEnable = false;
    BusyUntil = 0;
    BusyForever = false;
    State = TState::Idle;
  }
  Powered = on;
  if (!on) return;
  // The 93S parts are x16 only; their P4 is the program-enable pin.
  X16 = BitsX8 == 0 || Protectable || pins.High(PinP4);
  PeHigh = pins.High(PinP4);
  PreHigh = pins.High(PinP8);
}
