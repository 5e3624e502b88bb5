#include "shell/settingsvalues.h"

#include <limits>

std::optional<std::int64_t> ParseDecimal(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 0xFFFFFFFFLL) return std::nullopt; // more than any 32-bit value
  }
  return negative ? -value : value;
}

int ReadInt(const TSettingsStore& store, const std::string& section, const std::string& name,
            int defaultValue) {
  auto text = store.ReadString(section, name);
  if (!text) return defaultValue;
  auto value = ParseDecimal(*text);
  if (!value || *value < std::numeric_limits<int>::min() ||
      *value > std::numeric_limits<int>::max())
    return defaultValue;
  return static_cast<int>(*value);
}

bool ReadBool(const TSettingsStore& store, const std::string& section, const std::string& name,
              bool defaultValue) {
  return ReadInt(store, section, name, defaultValue ? 1 : 0) != 0;
}

TColor ReadColor(const TSettingsStore& store, const std::string& section, const std::string& name,
                 TColor defaultValue) {
  auto text = store.ReadString(section, name);
  if (!text) return defaultValue;
  auto value = ParseDecimal(*text);
  // A colour may have been written as a signed 32-bit number.
  if (!value || *value < std::numeric_limits<std::int32_t>::min()) return defaultValue;
  return static_cast<TColor>(static_cast<std::uint32_t>(*value));
}

std::string ReadText(const TSettingsStore& store, const std::string& section,
                     const std::string& name, const std::string& defaultValue) {
  auto text = store.ReadString(section, name);
  return text ? *text : defaultValue;
}

void WriteInt(TSettingsStore& store, const std::string& section, const std::string& name,
              int value) {
  store.WriteString(section, name, std::to_string(value));
}

void WriteBool(TSettingsStore& store, const std::string& section, const std::string& name,
               bool value) {
  store.WriteString(section, name, value ? "1" : "0");
}

void WriteColor(TSettingsStore& store, const std::string& section, const std::string& name,
                TColor value) {
  store.WriteString(section, name, std::to_string(value));
}

std::string BytesToHex(const std::vector<std::uint8_t>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (auto b : bytes) {
    text.push_back(digits[b >> 4]);
    text.push_back(digits[b & 15]);
  }
  return text;
}

static int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::vector<std::uint8_t>> HexToBytes(const std::string& text) {
  if (text.size() % 2) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return bytes;
}

TSystemColors& SystemColors() {
  static TSystemColors colors;
  return colors;
}

std::string& ProgramFolder() {
  static std::string folder = "./";
  return folder;
}
