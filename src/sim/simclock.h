#pragma once

#include <cstdint>

// Virtual time of the virtual module, in microseconds. Bus transfers, command
// work and time-outs advance it instead of sleeping, so a test that waits five
// seconds for a silent module costs nothing. One clock per virtual backend,
// shared by every module plugged into it.
class TSimClock {
public:
  std::uint64_t Now() const { return Micros; }
  std::uint64_t NowMs() const { return Micros / 1000; }
  void Advance(std::uint64_t micros) { Micros += micros; }
  void AdvanceMs(std::uint64_t millis) { Micros += millis * 1000; }

private:
  std::uint64_t Micros = 0;
};
