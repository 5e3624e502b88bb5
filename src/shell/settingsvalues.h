#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/settingsstore.h"

// Integers and Booleans are kept as decimal strings; a value that is missing
// or not a decimal number reads as the default.
using TColor = std::uint32_t; // RGB with red in the low byte

std::optional<std::int64_t> ParseDecimal(const std::string& text);
int ReadInt(const TSettingsStore& store, const std::string& section, const std::string& name,
            int defaultValue);
bool ReadBool(const TSettingsStore& store, const std::string& section, const std::string& name,
              bool defaultValue);
TColor ReadColor(const TSettingsStore& store, const std::string& section, const std::string& name,
                 TColor defaultValue);
std::string ReadText(const TSettingsStore& store, const std::string& section,
                     const std::string& name, const std::string& defaultValue);
void WriteInt(TSettingsStore& store, const std::string& section, const std::string& name,
              int value);
void WriteBool(TSettingsStore& store, const std::string& section, const std::string& name,
               bool value);
void WriteColor(TSettingsStore& store, const std::string& section, const std::string& name,
                TColor value);

// Bytes as pairs of upper-case hex digits, and back; any bad pair (or an odd
// length) rejects the whole text.
std::string BytesToHex(const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> HexToBytes(const std::string& text);

// The colours of the desktop the defaults follow; the GUI sets them from its
// palette before the options are created.
struct TSystemColors {
  TColor WindowText = 0x000000;
  TColor Window = 0xFFFFFF;
  TColor Highlight = 0xD77800; // RGB(0, 120, 215)
  TColor HighlightText = 0xFFFFFF;
};
TSystemColors& SystemColors();

// The folder of the program with a trailing separator; the GUI sets it at start.
std::string& ProgramFolder();
