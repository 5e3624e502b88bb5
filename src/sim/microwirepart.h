#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sim/targetpart.h"

// A 93Cxx / 93Sxx Microwire EEPROM behind the pins: CLK P2, DO P3, ORG (93S:
// PE) P4, DI P6, CS P7, WP (93S: PRE) P8, Vcc P9.
//
// The part decodes the bits it is clocked: a start bit, two opcode bits, the
// address (its own width for the organisation ORG selects) and, for WRITE and
// WRAL, 8 or 16 data bits. A firmware that sends another address length is
// misread, as the real part would misread it. Programming starts when CS falls
// after a complete WRITE, ERASE, ERAL or WRAL while writes are enabled (EWEN);
// with CS high again DO shows busy (low) until the write cycle ends. Power-up
// disables writes. 93S parts add the protect register, reached with PRE high:
// every address from the register's value up is read-only while it is set.
class TMicrowirePart : public TTargetPart {
public:
  struct TFaults {
    bool StaysBusy = false;     // a write cycle never ends
    bool WriteNotStick = false; // writes run their cycle but change nothing
    TTargetDrive StuckDO = TTargetDrive::None;
  };

  // capacity in bytes; address bits with ORG low (x8, 0: x16 only) and high.
  TMicrowirePart(std::uint32_t capacity, int addressBitsX8, int addressBitsX16,
                 bool protectRegister);

  // The model of a catalogue entry: capacity, organisation and e2len.
  static std::shared_ptr<TMicrowirePart> ForDevice(std::uint32_t capacity, int org, int e2len,
                                                   bool protectRegister);

  std::vector<std::uint8_t> Memory; // word w: byte 2w high, 2w+1 low
  TFaults Faults;
  std::uint64_t WriteCycleUs = 5000;
  std::uint64_t EraseAllUs = 10000;

  // Bus side, called by the firmware of command group 0x80.
  void Select();
  // One CLK pulse with DI; returns DO.
  int Clock(int di);
  void Deselect(std::uint64_t nowUs);
  // DO while CS is high after a programming instruction: true when ready.
  bool Ready(std::uint64_t nowUs) const;

  bool WritesEnabled() const { return WriteEnable; }
  bool Wide() const { return X16; }
  int AddressBits() const { return X16 ? BitsX16 : BitsX8; }
  bool HasProtectRegister() const { return Protectable; }
  bool ProtectSet() const { return PrSet; }
  std::uint32_t ProtectAddress() const { return PrAddress; }

  TTargetDrive Drive(int pin) const override;
  void PinsChanged(const TPinModel& pins) override;

private:
  enum class TState { Idle, Opcode, Address, Data, Reading, Done };
  std::uint32_t Words() const;
  std::uint32_t WordAt(std::uint32_t address) const;
  void Store(std::uint32_t address, std::uint32_t value);
  bool Protected(std::uint32_t address) const;
  int Step(int di);
  void Decode();
  void Program(std::uint64_t nowUs);

  std::uint32_t Capacity;
  int BitsX8, BitsX16;
  bool Protectable;
  bool Powered = false, X16 = true, PreHigh = false, PeHigh = true;
  bool WriteEnable = false;
  bool PrSet = false, PrEnable = false;
  std::uint32_t PrAddress = 0;
  std::uint64_t BusyUntil = 0;
  bool BusyForever = false;

  TState State = TState::Idle;
  int Need = 0;
  std::uint32_t Shift = 0;
  int Opcode = 0;
  std::uint32_t Address = 0;
  enum class TPending {
    None,
    Write,
    Erase,
    EraseAll,
    WriteAll,
    PrWrite,
    PrClear
  } Pending = TPending::None;
  std::uint32_t Data = 0;
  int OutBit = 0;
  bool PrRead = false;
};
