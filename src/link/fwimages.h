#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/errcodes.h"

// The enciphered images the program carries (generated at build time from
// firmware/). Each is deciphered into a fresh buffer for every download.
struct TFirmwareImage {
  const std::uint8_t* Data;
  std::size_t Size;
};

TFirmwareImage BaseFirmwareImage();
TFirmwareImage ModuleImage(TModule module); // Size 0 for tmNone
TFirmwareImage BootEepromImage();

// Deciphered copy of an image.
std::vector<std::uint8_t> DecodeImage(const TFirmwareImage& image);
