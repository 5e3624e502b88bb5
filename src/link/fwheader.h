#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/errcodes.h"

// Header that starts the running part of every module image of ours: at image
// offset 0 for the base firmware, the boot updater and the boot EEPROM image,
// at 0x1000 for protocol modules (the part that is sent). The virtual module
// reads it where real firmware would start running.
enum class TImageKind : std::uint8_t { Base = 0, Protocol = 1, BootUpdater = 2, BootEeprom = 3 };

struct TImageHeader {
  TImageKind Kind;
  TModule Module;           // tmNone for the base firmware and the boot EEPROM image
  std::uint32_t Version;    // firmware version, as string descriptor 8 reports it
  std::uint32_t BodyLength; // bytes after the header
  std::uint32_t Crc;        // CRC-32 of the body
};

constexpr std::size_t ImageHeaderSize = 20;
constexpr std::uint8_t ImageMagic[4] = {'K', 'V', 'F', 'W'};
constexpr std::size_t ProtocolModuleOffset = 0x1000;
constexpr std::size_t BaseFirmwareLimit = 0x1000; // never overwritten by a module load

void WriteImageHeader(const TImageHeader& h, std::uint8_t* dst);

// Parses and checks a header and its body (CRC); nullopt when anything is off.
std::optional<TImageHeader> ReadImageHeader(const std::uint8_t* data, std::size_t available);

std::uint32_t ImageCrc32(const std::uint8_t* data, std::size_t size);
