#include "devices/devsettings.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "shell/strtoint.h"

namespace {

// Times travel through the task runner as int; keep every stored field inside it.
constexpr std::int64_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t WordMax = std::numeric_limits<std::uint16_t>::max();

struct TRowRule {
  const char* Key;
  std::int64_t Min; // bounds of the value as entered
  std::int64_t Max;
  std::int64_t (*Show)(const TDevInfo&);
  void (*Store)(TDevInfo&, std::int64_t);
  bool Hex = false; // shown as "$" and two hexadecimal digits
};

template <typename T> T As(std::int64_t v) {
  return static_cast<T>(v);
}

const TRowRule WriteTime{"Write Time, ms", 1, IntMax / 1000,
                         [](const TDevInfo& d) -> std::int64_t { return d.e2Tw / 1000; },
                         [](TDevInfo& d, std::int64_t v) { d.e2Tw = As<std::uint32_t>(v * 1000); }};
const TRowRule EepromWriteTime{
    "EEPROM Write Time, ms", 1, IntMax / 1000,
    [](const TDevInfo& d) -> std::int64_t { return d.e2Tw / 1000; },
    [](TDevInfo& d, std::int64_t v) { d.e2Tw = As<std::uint32_t>(v * 1000); }};
const TRowRule FlashWriteTime{
    "Flash Write Time, ms", 1, IntMax / 1000,
    [](const TDevInfo& d) -> std::int64_t { return d.e2Tfw / 1000; },
    [](TDevInfo& d, std::int64_t v) { d.e2Tfw = As<std::uint32_t>(v * 1000); }};
const TRowRule PowerSetupTime{
    "Power Setup Time, ms", 0, WordMax,
    [](const TDevInfo& d) -> std::int64_t { return d.PowerSetupTime; },
    [](TDevInfo& d, std::int64_t v) { d.PowerSetupTime = As<std::uint16_t>(v); }};
const TRowRule Reset0Time{"Reset0 Time, ms", 0, WordMax,
                          [](const TDevInfo& d) -> std::int64_t { return d.ResetTime0; },
                          [](TDevInfo& d, std::int64_t v) { d.ResetTime0 = As<std::uint16_t>(v); }};
const TRowRule Reset1Time{"Reset1 Time, ms", 0, WordMax,
                          [](const TDevInfo& d) -> std::int64_t { return d.ResetTime1; },
                          [](TDevInfo& d, std::int64_t v) { d.ResetTime1 = As<std::uint16_t>(v); }};
const TRowRule ResetTime{"Reset Time, ms", 0, WordMax,
                         [](const TDevInfo& d) -> std::int64_t { return d.ResetTime0; },
                         [](TDevInfo& d, std::int64_t v) { d.ResetTime0 = As<std::uint16_t>(v); }};
// The clock's half period is stored; it must not become zero.
const TRowRule ClockTime{
    "Clock Time, us", 2, IntMax,
    [](const TDevInfo& d) -> std::int64_t { return static_cast<std::int64_t>(d.e2Tc) * 2; },
    [](TDevInfo& d, std::int64_t v) { d.e2Tc = As<std::uint32_t>(v / 2); }};
const TRowRule ChipEraseTime{"Chip Erase Time, ms", 0, IntMax,
                             [](const TDevInfo& d) -> std::int64_t { return d.e2Tera; },
                             [](TDevInfo& d, std::int64_t v) { d.e2Tera = As<std::uint32_t>(v); }};
const TRowRule ControlByte{"Control Byte",
                           0,
                           0xFF,
                           [](const TDevInfo& d) -> std::int64_t { return d.I2CSlave; },
                           [](TDevInfo& d, std::int64_t v) { d.I2CSlave = As<std::uint8_t>(v); },
                           true};

std::vector<const TRowRule*> LayoutOf(int settings) {
  switch (settings) {
  case 1:
    return {&WriteTime, &PowerSetupTime, &Reset0Time, &Reset1Time};
  case 2:
    return {&PowerSetupTime, &Reset0Time, &Reset1Time};
  case 3:
    return {&WriteTime, &PowerSetupTime, &ClockTime, &ControlByte};
  case 4:
    return {&WriteTime, &PowerSetupTime, &ClockTime};
  case 5:
    return {&WriteTime, &ChipEraseTime, &PowerSetupTime, &ClockTime};
  case 6:
    return {&EepromWriteTime, &FlashWriteTime, &ChipEraseTime,
            &PowerSetupTime,  &ClockTime,      &ResetTime};
  default:
    return {};
  }
}

std::string ShowText(const TRowRule& rule, const TDevInfo& device) {
  std::int64_t v = rule.Show(device);
  if (!rule.Hex) return std::to_string(v);
  char text[8];
  std::snprintf(text, sizeof text, "$%2.2X", static_cast<unsigned>(v & 0xFF));
  return text;
}

} // namespace

std::vector<TSettingsRow> TDeviceSettings::RowsOf(const TDevInfo& device) {
  std::vector<TSettingsRow> rows;
  for (const TRowRule* rule : LayoutOf(device.Settings))
    rows.push_back({rule->Key, ShowText(*rule, device)});
  return rows;
}

const std::vector<TSettingsRow>& TDeviceSettings::LoadDevice(TDevInfo& device) {
  Current = &device;
  Loaded = RowsOf(device);
  LastError.clear();
  return Loaded;
}

bool TDeviceSettings::StoreDevice(const std::vector<TSettingsRow>& rows) {
  LastError.clear();
  BadRow = -1;
  if (!Current) {
    LastError = "No device is loaded into the settings.";
    return false;
  }
  const std::vector<const TRowRule*> rules = LayoutOf(Current->Settings);
  struct TPending {
    const TRowRule* Rule;
    std::int64_t Value;
  };
  std::vector<TPending> pending;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const TRowRule& rule = *rules[i];
    const TSettingsRow* row = nullptr;
    for (const TSettingsRow& r : rows)
      if (r.Key == rule.Key) row = &r;
    if (!row) {
      LastError = std::string(rule.Key) + ": the row is missing.";
      BadRow = static_cast<int>(i);
      return false;
    }
    // An untouched row keeps the exact value: the ms shown may have dropped
    // a fraction that storing it back would lose.
    if (i < Loaded.size() && Loaded[i].Key == rule.Key && Loaded[i].Value == row->Value) continue;
    std::int64_t value = 0;
    TIntParse parsed = ParseInteger(row->Value, value);
    if (parsed == TIntParse::NotInteger) {
      LastError = std::string(rule.Key) + ": \"" + row->Value + "\" is not an integer.";
      BadRow = static_cast<int>(i);
      return false;
    }
    if (parsed == TIntParse::OutOfRange || value < rule.Min || value > rule.Max) {
      LastError = std::string(rule.Key) + " must be between " + std::to_string(rule.Min) + " and " +
                  std::to_string(rule.Max) + ".";
      BadRow = static_cast<int>(i);
      return false;
    }
    pending.push_back({&rule, value});
  }
  for (const TPending& p : pending)
    p.Rule->Store(*Current, p.Value);
  Loaded = RowsOf(*Current);
  return true;
}
