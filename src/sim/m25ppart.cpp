#include "sim/m25ppart.h"

#include <algorithm>

TM25PPart::TM25PPart(std::uint32_t capacity) : TSpiMemoryPart(capacity, 256) {
  WriteCycleUs = 1400;
  BulkEraseUs = 500000ull * std::max<std::uint32_t>(1, capacity / SectorSize);
}

TSpiMemoryPart::TOp TM25PPart::Decode(std::uint8_t opcode, std::uint32_t& address) const {
  if (opcode == 0xC7) return TOp::Other; // bulk erase
  return TSpiMemoryPart::Decode(opcode, address);
}

bool TM25PPart::Protected(std::uint32_t address) const {
  const int bp = (Status >> 2) & 7;
  if (bp == 0) return false;
  const std::uint32_t sectors = std::max<std::uint32_t>(1, Capacity() / SectorSize);
  const std::uint32_t top = std::min<std::uint32_t>(sectors, 1u << (bp - 1));
  return address >= Capacity() - top * SectorSize;
}

std::uint64_t TM25PPart::OtherDone(std::uint64_t nowUs) {
  (void)nowUs;
  if (Opcode != 0xC7 || !Wel) return 0;
  if ((Status & 0x1C) != 0) { // refused while any block is protected
    Wel = false;
    return 0;
  }
  // The array is erased at once; WIP shows the erase time. The host waits it
  // on its own clock, which the virtual clock does not follow.
  if (!Faults.WriteNotStick) std::fill(Memory.begin(), Memory.end(), 0xFF);
  return BulkEraseUs;
}
