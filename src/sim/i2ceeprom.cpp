#include "sim/i2ceeprom.h"

#include <algorithm>
#include <limits>
#include <string>

#include "sim/i2ccommands.h"
#include "sim/pinmodel.h"
#include "sim/virtualsocket.h"

TI2CEeprom::TTraits TI2CEeprom::TraitsFor(std::uint32_t capacity, std::uint8_t addressBits,
                                          std::uint8_t pin7, std::uint8_t slave) {
  TTraits t;
  t.Capacity = std::max<std::uint32_t>(capacity, 1);
  t.Slave = slave;
  t.Pin7 = pin7 == 1 ? TPin7Kind::ProgrammingTime
                     : (pin7 == 2 ? TPin7Kind::None : TPin7Kind::WriteProtect);
  if (addressBits == 4) {
    t.Variant = TI2CVariant::X24C00;
    t.PageSize = 1;
  } else if (addressBits == 0) {
    t.Variant = TI2CVariant::X24C01;
    t.PageSize = 4;
  } else {
    t.AddressBytes = addressBits > 8 ? 2 : 1;
    const std::uint32_t c = t.Capacity;
    t.PageSize = c <= 256 ? 8 : c <= 2048 ? 16 : c <= 8192 ? 32 : c <= 32768 ? 64 : 128;
  }
  return t;
}

TI2CEeprom::TI2CEeprom(const TTraits& traits) : Memory(traits.Capacity, 0xFF), Traits(traits) {
  Traits.PageSize = std::clamp<std::uint32_t>(Traits.PageSize, 1, 256);
}

TTargetDrive TI2CEeprom::Drive(int pin) const {
  if (pin == PinP6 && Supply && Faults.StuckSda) return TTargetDrive::Low;
  return TTargetDrive::None;
}

void TI2CEeprom::PinsChanged(const TPinModel& pins) {
  const bool was = Supply;
  Supply = pins.SupplyOn();
  Pin7High = pins.High(PinP8);
  if (was && !Supply) {
    // Power lost: a transaction in progress is gone.
    Phase = TPhase::Idle;
    AnyDirty = false;
  }
}

bool TI2CEeprom::WriteProtected() const {
  if (Traits.Pin7 == TPin7Kind::WriteProtect) return Pin7High || Faults.WpHigh;
  // The PCF85xx parts time their programming from pin 7 tied high.
  if (Traits.Pin7 == TPin7Kind::ProgrammingTime) return !Pin7High;
  return false;
}

void TI2CEeprom::Start() {
  // A start in the middle of a write aborts it, as on the real parts.
  AnyDirty = false;
  Dirty.fill(false);
  Phase = TPhase::Control;
}

void TI2CEeprom::BeginWrite() {
  PageBase = Pointer - Pointer % Traits.PageSize;
  Dirty.fill(false);
  AnyDirty = false;
  Phase = TPhase::Data;
}

bool TI2CEeprom::WriteByte(std::uint8_t value, std::uint64_t nowUs) {
  if (!Supply || Faults.NoAck) return false;
  const std::uint32_t mask = Traits.Capacity - 1;
  switch (Phase) {
  case TPhase::Idle:
  case TPhase::Reading:
    return false;
  case TPhase::Control:
    if (Busy(nowUs)) {
      Phase = TPhase::Idle;
      return false;
    }
    if (Traits.Variant != TI2CVariant::Standard) {
      Pointer = (value >> 1) % Traits.Capacity;
      if (value & 1)
        Phase = TPhase::Reading;
      else
        BeginWrite();
      return true;
    } else {
      if ((value & 0xF0) != (Traits.Slave & 0xF0)) {
        Phase = TPhase::Idle;
        return false;
      }
      // Chip address pins are tied low by the module; the 24C04..24C16 use
      // those bits as the block number instead.
      const std::uint32_t bits = (value >> 1) & 7;
      std::uint32_t blockMask = 0;
      if (Traits.AddressBytes == 1 && Traits.Capacity > 256)
        blockMask = std::min<std::uint32_t>(Traits.Capacity / 256 - 1, 7);
      if (bits & ~blockMask) {
        Phase = TPhase::Idle;
        return false;
      }
      if (value & 1) {
        Phase = TPhase::Reading;
      } else {
        Pointer = (bits & blockMask) << 8;
        Phase = Traits.AddressBytes == 2 ? TPhase::AddressHigh : TPhase::AddressLow;
      }
      return true;
    }
  case TPhase::AddressHigh:
    Pointer = (static_cast<std::uint32_t>(value) << 8) & mask;
    Phase = TPhase::AddressLow;
    return true;
  case TPhase::AddressLow:
    Pointer = ((Pointer & ~0xFFu) | value) % Traits.Capacity;
    BeginWrite();
    return true;
  case TPhase::Data: {
    const std::uint32_t at = Pointer - PageBase;
    Page[at] = value;
    Dirty[at] = true;
    AnyDirty = true;
    // The page buffer's address wraps inside the page.
    Pointer = PageBase + (at + 1) % Traits.PageSize;
    return true;
  }
  }
  return false;
}

std::uint8_t TI2CEeprom::ReadByte() {
  if (Phase != TPhase::Reading || !Supply) return 0xFF; // nobody drives SDA
  const std::uint8_t value = Memory[Pointer % Traits.Capacity];
  Pointer = (Pointer + 1) % Traits.Capacity;
  return value;
}

void TI2CEeprom::Stop(std::uint64_t nowUs) {
  if (Phase == TPhase::Data && AnyDirty) {
    ++WriteCycles;
    BusyUntil =
        Faults.StaysBusy ? std::numeric_limits<std::uint64_t>::max() : nowUs + Traits.WriteCycleUs;
    if (!WriteProtected() && !Faults.WritesDoNotStick)
      for (std::uint32_t i = 0; i < Traits.PageSize; ++i)
        if (Dirty[i]) Memory[(PageBase + i) % Traits.Capacity] = Page[i];
  }
  AnyDirty = false;
  Phase = TPhase::Idle;
}

void RegisterI2CSocketParts() {
  auto factory = [](const TSocketPartSpec& partDesc) {
    auto part = std::make_shared<TI2CEeprom>(TI2CEeprom::TraitsFor(
        partDesc.Capacity, partDesc.AddressBits, partDesc.Pin7, partDesc.Slave));
    TSocketEntry entry;
    entry.Part = part;
    entry.Dump = [part] { return part->Memory; };
    entry.Load = [part](const std::vector<std::uint8_t>& image) {
      std::copy_n(image.begin(), std::min(image.size(), part->Memory.size()), part->Memory.begin());
    };
    auto group = std::make_shared<TI2CCommands>();
    entry.Groups.push_back({TI2CCommands::Group, group});
    entry.Fault = [part, group](const std::string& name, std::string& error) {
      TI2CFaults& f = part->Faults;
      if (name == "noack")
        f.NoAck = true;
      else if (name == "sda-low")
        f.StuckSda = true;
      else if (name == "wp-high")
        f.WpHigh = true;
      else if (name == "nostick")
        f.WritesDoNotStick = true;
      else if (name == "busy")
        f.StaysBusy = true;
      else if (name.rfind("count=", 0) == 0) {
        const std::string n = name.substr(6);
        if (n.empty() || n.size() > 3 || n.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(n) > 255) {
          error = "count=N takes N from 0 to 255";
          return false;
        }
        group->CountFault.Count = std::stoi(n);
      } else
        return false;
      return true;
    };
    return entry;
  };
  RegisterSocketPart("i2cn", factory);
  RegisterSocketPart("i2c0", factory);
  RegisterSocketPart("i2c1", factory);
}
