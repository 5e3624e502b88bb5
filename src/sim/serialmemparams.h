#pragma once

#include <cstdint>

class TSimClock;

// The parameters of a serial-memory connect frame as the firmware keeps them
// until the next connect: bytes 8..12 of the frame.
struct TSerialMemParams {
  bool Connected = false;
  std::uint32_t SetupMs = 0;    // byte 8 x 10
  std::uint32_t WriteMs = 0;    // byte 9
  std::uint32_t ClockUnits = 1; // byte 10, 2 us each: the bus clock period
  std::uint8_t Org = 8;         // byte 11
  std::uint8_t AddressBits = 8; // byte 12

  void Read(const std::uint8_t* request);
  std::uint64_t BitUs() const { return 2ull * (ClockUnits ? ClockUnits : 1); }
  // Time of `bits` clocks on the bus.
  void Bus(TSimClock& clock, std::uint64_t bits) const;
};

// A fault of the firmware's block replies: the count byte it returns.
struct TReplyCountFault {
  int Count = -1; // >= 0: reply byte 7 of every block command carries this
  void Apply(std::uint8_t* reply) const {
    if (Count >= 0) reply[7] = static_cast<std::uint8_t>(Count);
  }
};
