#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sim/targetpart.h"

// How the part is addressed on the bus: the 24Cxx control byte, or the
// X24C00/X24C01 address byte ((address << 1) | R/W) without a control byte.
enum class TI2CVariant : std::uint8_t { Standard, X24C00, X24C01 };

// What the part's pin 7 (module pin P8) does: a write-protect input (24Cxx),
// the programming-time control of the PCF85xx-type parts (writes need it high),
// or nothing (MCM2814).
enum class TPin7Kind : std::uint8_t { WriteProtect, ProgrammingTime, None };

struct TI2CFaults {
  bool NoAck = false;            // the part acknowledges nothing
  bool StuckSda = false;         // the part holds SDA low while powered
  bool WritesDoNotStick = false; // a write cycle runs, the cells keep their values
  bool StaysBusy = false;        // a write cycle never ends
  bool WpHigh = false;           // WP strapped high on the board
};

// A 24Cxx-type I2C EEPROM, from the data sheets: control byte 1010 + three
// bits (chip address pins, or the block bits A10..A8 of the 24C04..24C16),
// one or two word-address bytes, a page buffer whose address wraps inside the
// page, a self-timed write cycle started by STOP during which the part does
// not acknowledge its control byte, sequential reads rolling over the whole
// array. The bus is driven one transaction at a time by the firmware model.
class TI2CEeprom : public TTargetPart {
public:
  struct TTraits {
    TI2CVariant Variant = TI2CVariant::Standard;
    std::uint32_t Capacity = 256;
    int AddressBytes = 1;
    std::uint32_t PageSize = 8;
    std::uint32_t WriteCycleUs = 5000;
    TPin7Kind Pin7 = TPin7Kind::WriteProtect;
    std::uint8_t Slave = 0xA0;
  };
  // The data-sheet traits of a part by its size, address length and pin-7 mode.
  static TTraits TraitsFor(std::uint32_t capacity, std::uint8_t addressBits, std::uint8_t pin7,
                           std::uint8_t slave);

  explicit TI2CEeprom(const TTraits& traits);

  // Bus conditions and bytes. WriteByte returns the acknowledge.
  void Start();
  bool WriteByte(std::uint8_t value, std::uint64_t nowUs);
  std::uint8_t ReadByte();
  void Stop(std::uint64_t nowUs);
  bool Busy(std::uint64_t nowUs) const { return nowUs < BusyUntil; }

  TTargetDrive Drive(int pin) const override;
  void PinsChanged(const TPinModel& pins) override;

  const TTraits& Facts() const { return Traits; }
  bool Powered() const { return Supply; }
  bool WriteProtected() const;

  std::vector<std::uint8_t> Memory; // erased: FFh
  TI2CFaults Faults;
  std::uint64_t WriteCycles = 0; // write cycles started
  std::uint32_t Pointer = 0;     // the internal address counter

private:
  enum class TPhase { Idle, Control, AddressHigh, AddressLow, Data, Reading };
  void BeginWrite();
  TTraits Traits;
  TPhase Phase = TPhase::Idle;
  std::uint32_t PageBase = 0;
  std::array<std::uint8_t, 256> Page{};
  std::array<bool, 256> Dirty{};
  bool AnyDirty = false;
  std::uint64_t BusyUntil = 0;
  bool Supply = false;
  bool Pin7High = false;
};

// Puts the I2C parts (class codes i2cn, i2c0, i2c1) in the virtual socket.
void RegisterI2CSocketParts();
