#pragma once

#include "sim/spimemorypart.h"

// An M25Pxx serial flash: three address bytes, 256-byte pages whose program
// can only clear bits (erased cells read FFh), sectors of 64 KB, bulk erase
// (C7h) of the whole array unless a block is protected, BP2..BP0 protecting
// the top 1, 2, 4 ... sectors, SRWD with W (P4) locking the status register.
class TM25PPart : public TSpiMemoryPart {
public:
  explicit TM25PPart(std::uint32_t capacity);

  static constexpr std::uint32_t SectorSize = 0x10000;
  std::uint64_t BulkEraseUs; // data sheet's typical time, by sectors

protected:
  TOp Decode(std::uint8_t opcode, std::uint32_t& address) const override;
  int AddressBytes() const override { return 3; }
  bool Protected(std::uint32_t address) const override;
  void Program(std::uint32_t address, std::uint8_t value) override { Memory[address] &= value; }
  std::uint8_t WritableStatus() const override { return 0x9C; }
  std::uint64_t OtherDone(std::uint64_t nowUs) override;
};
