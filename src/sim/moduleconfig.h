#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// What a virtual module reports in its string descriptors when it is plugged
// in, before our base firmware runs:
//  Blank       empty boot EEPROM: every string empty;
//  KvBootOld   boot EEPROM with a boot firmware older than 0x10000000;
//  KvBoot      boot EEPROM with our current boot EEPROM image;
//  KvSpOld     an old working firmware ("KVSP", version below 0x10000000);
//  KvSp        a current working firmware ("KVSP");
//  OtherMaker  the same chip from another maker.
// For the first three the strings come from the boot EEPROM, so a boot EEPROM
// update changes what the module reports at its next plug.
enum class TPersonality : std::uint8_t { Blank, KvBootOld, KvBoot, KvSpOld, KvSp, OtherMaker };

// String descriptors 1, 2, 3, 7 and 8.
struct TModuleStrings {
  std::string Manufacturer;
  std::string Product;
  std::string Serial;
  std::string Kind;
  std::string Version; // decimal
};

constexpr std::uint32_t OldFirmwareVersion = 0x0F000005;

struct TModuleConfig {
  TPersonality Personality = TPersonality::KvBoot;
  std::uint32_t SerialNumber = 0x0123ABCD; // 28 bits; reply bytes 12..15 of the identification
  std::uint8_t IdTopBits = 0x5;            // top four bits of reply byte 15, ignored by the host
  std::array<std::uint8_t, 4> PodId{0x4B, 0x56, 0x01, 0x00}; // identification bytes 8..11
  bool JumperJ1 = true;                  // closed: 5 V target supply; open: 3.3 V
  std::optional<TModuleStrings> Strings; // replaces the personality's strings at plug
};

// "blank", "kvboot-old", "kvboot", "kvsp-old", "kvsp", "other-maker".
const char* PersonalityName(TPersonality personality);
std::optional<TPersonality> ParsePersonality(const std::string& name);
