#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sim/targetpart.h"

// An SPI memory behind the pins: CLK P2, DO P3, WP P4, DI P6, CS P7, HOLD P8,
// Vcc P9. The firmware of command group 0x60 selects it, exchanges bytes and
// deselects it, as the bus does (mode 0, MSB first).
//
// What every such part shares lives here: the opcode byte, the address bytes,
// the status register (bit 0 WIP, bit 1 WEL, bit 7 WPEN/SRWD, the rest block
// protect bits), WREN/WRDI/RDSR/WRSR/READ/WRITE, the page buffer that wraps
// within its page and is programmed when CS rises, the write cycle during
// which only RDSR is answered, and the WP and HOLD pins. A part type gives
// its address form, page size, protected area and how a cell takes a value.
class TSpiMemoryPart : public TTargetPart {
public:
  struct TFaults {
    bool StaysBusy = false;     // a write cycle never ends
    bool WriteNotStick = false; // a write cycle runs but changes nothing
    TTargetDrive StuckDO = TTargetDrive::None;
  };

  TSpiMemoryPart(std::uint32_t capacity, std::uint32_t pageSize);

  std::vector<std::uint8_t> Memory;
  TFaults Faults;
  std::uint64_t WriteCycleUs = 5000;

  void Select(std::uint64_t nowUs);
  std::uint8_t Exchange(std::uint8_t in);
  void Deselect(std::uint64_t nowUs);

  std::uint8_t StatusRegister(std::uint64_t nowUs) const;
  bool Busy(std::uint64_t nowUs) const;
  std::uint32_t Capacity() const { return static_cast<std::uint32_t>(Memory.size()); }

  TTargetDrive Drive(int pin) const override;
  void PinsChanged(const TPinModel& pins) override;

protected:
  enum class TOp { None, Wren, Wrdi, Rdsr, Wrsr, Read, Write, Other };

  // The instruction an opcode byte starts; `address` takes any address bits
  // the opcode carries (A8 of the 4-kbit EEPROMs).
  virtual TOp Decode(std::uint8_t opcode, std::uint32_t& address) const;
  virtual int AddressBytes() const = 0;
  virtual bool Protected(std::uint32_t address) const;
  // Programs one cell of a committed page.
  virtual void Program(std::uint32_t address, std::uint8_t value) { Memory[address] = value; }
  // Bits of the status register WRSR may change.
  virtual std::uint8_t WritableStatus() const { return 0x8C; }
  // Part-specific instructions: called for each byte after the opcode, and
  // when CS rises (return the write cycle to start, 0 for none).
  virtual std::uint8_t OtherByte(std::uint8_t in) {
    (void)in;
    return 0;
  }
  virtual std::uint64_t OtherDone(std::uint64_t nowUs) {
    (void)nowUs;
    return 0;
  }
  // The write to commit when CS rises after a WRITE; counters refuse some.
  virtual bool AcceptWrite(std::uint32_t pageBase) {
    (void)pageBase;
    return true;
  }
  std::uint32_t ProtectedFrom() const; // quarter-array protection of BP1:BP0

  std::uint8_t Opcode = 0;
  std::uint8_t Status = 0; // without WIP and WEL
  bool Wel = false;
  bool Powered = false, WpHigh = true, HoldHigh = true;
  std::uint32_t Address = 0;
  int AddressLeft = 0;
  TOp Op = TOp::None;
  bool Ignored = false;
  std::uint32_t Page;
  std::vector<std::uint8_t> PageData;
  std::vector<bool> PageSet;
  std::uint32_t PageBase = 0, PagePos = 0, Written = 0;
  int StatusBytes = 0;
  std::uint8_t NewStatus = 0;
  std::uint64_t BusyUntil = 0;
  bool BusyForever = false;
  bool BusyNow = false;
  std::uint64_t Now = 0;
  std::uint8_t Shift(std::uint8_t in);
  void StartCycle(std::uint64_t nowUs, std::uint64_t us);
};
