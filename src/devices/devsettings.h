#pragma once

#include <string>
#include <vector>

#include "devices/devinfo.h"

// One row of the device settings list: the fixed key and the value as text.
struct TSettingsRow {
  std::string Key;
  std::string Value;
  bool operator==(const TSettingsRow&) const = default;
};

// The rows of a device's Settings layout (1..6) and the conversions back.
// Storing checks every row first, so bad input never leaves a device half
// changed.
class TDeviceSettings {
public:
  // Remembers the device and returns its rows (empty for a layout without rows).
  const std::vector<TSettingsRow>& LoadDevice(TDevInfo& device);
  // Checks every row against the remembered device's layout; stores all of
  // them, or none with Error naming the first bad row.
  bool StoreDevice(const std::vector<TSettingsRow>& rows);

  // The rows a layout shows for a description (no device remembered).
  static std::vector<TSettingsRow> RowsOf(const TDevInfo& device);

  TDevInfo* Device() const { return Current; }
  const std::vector<TSettingsRow>& Rows() const { return Loaded; }
  // Why the last StoreDevice stored nothing; empty after a store.
  const std::string& Error() const { return LastError; }
  // The layout row LastError is about, or -1.
  int ErrorRow() const { return BadRow; }

private:
  TDevInfo* Current = nullptr;
  std::vector<TSettingsRow> Loaded;
  std::string LastError;
  int BadRow = -1;
};
