#include "sim/m35080part.h"

#include <algorithm>

TM35080Part::TM35080Part() : TSpiMemoryPart(0x400, 32) {
  // A fresh part's counters stand at 0, so that they can count up.
  std::fill(Memory.begin(), Memory.begin() + CounterBytes, 0x00);
}

TSpiMemoryPart::TOp TM35080Part::Decode(std::uint8_t opcode, std::uint32_t& address) const {
  // WRINC takes the address and data as WRITE does; AcceptWrite tells them apart.
  if (opcode == 0x07) return TOp::Write;
  return TSpiMemoryPart::Decode(opcode, address);
}

std::uint16_t TM35080Part::Counter(int index) const {
  return static_cast<std::uint16_t>((Memory[2 * index] << 8) | Memory[2 * index + 1]);
}

bool TM35080Part::AcceptWrite(std::uint32_t pageBase) {
  const bool counters = pageBase < CounterBytes;
  if (Opcode != 0x07) return !counters;
  if (!counters) return false;
  // Every counter the page write touches must stay or go up.
  for (std::uint32_t w = 0; w < CounterBytes; w += 2) {
    if (!PageSet[w] && !PageSet[w + 1]) continue;
    const int high = PageSet[w] ? PageData[w] : Memory[w];
    const int low = PageSet[w + 1] ? PageData[w + 1] : Memory[w + 1];
    if (((high << 8) | low) < Counter(static_cast<int>(w / 2))) return false;
  }
  return true;
}

void TM35080Part::ServiceErase(std::uint64_t nowUs) {
  if (!Powered || Busy(nowUs)) return;
  if (!Faults.WriteNotStick) {
    std::fill(Memory.begin(), Memory.begin() + CounterBytes, 0x00);
    std::fill(Memory.begin() + CounterBytes, Memory.end(), 0xFF);
  }
  StartCycle(nowUs, ServiceEraseUs);
}
