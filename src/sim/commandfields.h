#pragma once

#include <cstdint>

#include "link/errcodes.h"

// The fields the command groups of the virtual module read from a request
// and write into a reply.

// The reply's status byte for a result.
inline std::uint8_t StatusByte(TTaskResult result) {
  return static_cast<std::uint8_t>(ResultToStatus(result));
}

// The 32-bit parameter in bytes 3..6, least significant first.
inline std::uint32_t RequestParam(const std::uint8_t* request) {
  return static_cast<std::uint32_t>(request[3] | (request[4] << 8) | (request[5] << 16) |
                                    (request[6] << 24));
}

// Logic states a command group drives a pin to (TPinModel::SetLogicState).
inline constexpr std::uint8_t LogicLow = 0, LogicHigh = 1, LogicFloat = 2;
