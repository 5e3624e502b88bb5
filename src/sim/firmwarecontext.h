#pragma once

#include <cstddef>
#include <cstdint>

#include "link/errcodes.h"

class TSimClock;
class TPinModel;
class TTargetPart;
struct TModuleConfig;

// Settings of the serial link to the target (command group 0x30), kept for
// the families that talk to a target over a serial line.
struct TSerialLinkSettings {
  std::uint32_t WaitTime = 0;      // request bytes 3..6 of 0x3004
  std::uint32_t HalfDivider32 = 0; // 0x3007 bytes 3..6
  std::uint16_t Divider = 0;       // 0x3007 bytes 8..9: bit period in 4 MHz ticks, less 5
  std::uint16_t HalfDivider = 0;   // 0x3007 bytes 10..11
  bool Started = false;            // 0x3005 or 0x3006 ran
  bool Alternate = false;          // started with 0x3006
};

// What a command group sees of the module while it runs a frame.
struct TFirmwareContext {
  TSimClock& Clock;
  TPinModel& Pins;
  std::uint8_t* Ram; // 64 KB; the data area for bulk data is at 0xE000
  static constexpr std::size_t RamSize = 0x10000;
  TSerialLinkSettings& SerialLink;
  const TModuleConfig& Config;
  TModule LoadedModule = tmNone; // the protocol module at 0x1000 (tmKVBoot: the boot updater)
  TTargetPart* Target = nullptr; // the part behind the pins, if any
};
