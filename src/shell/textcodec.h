#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The Western code page RTF files use for \'hh bytes, and UTF-8 both ways.
char32_t Cp1252ToUnicode(std::uint8_t byte);
std::optional<std::uint8_t> UnicodeToCp1252(char32_t cp);
void AppendUtf8(std::string& out, char32_t cp);
// Bad sequences become U+FFFD, so no input is dropped silently.
std::vector<char32_t> DecodeUtf8(const std::string& text);
