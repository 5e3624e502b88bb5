#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

#include "link/errcodes.h"

enum class TFirmwareKind : std::uint8_t {
  Resident,   // the boot firmware the module started with; answers no frames
  Garbage,    // RAM holds no valid image of ours; answers nothing
  Base,       // our base firmware (maybe with a protocol module at 0x1000)
  BootUpdater // the boot updater: answers the boot EEPROM requests only
};

// What the module's core runs once released: found by checking our image
// headers where real firmware would start (0, and 0x1000 for a module).
struct TRunningFirmware {
  TFirmwareKind Kind = TFirmwareKind::Resident;
  std::uint32_t Version = 0; // of the base firmware or boot updater
  TModule Module = tmNone;   // the protocol module loaded; tmKVBoot for the boot updater
  std::bitset<256> Groups;   // command groups the running images answer

  bool AnswersFrames() const { return Kind == TFirmwareKind::Base; }

  static TRunningFirmware Inspect(const std::uint8_t* ram, std::size_t size);
};
