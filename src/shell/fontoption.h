#pragma once

#include <string>

#include "shell/settingsvalues.h"

// A font as the options keep it: name, point size, character set and colour,
// stored as <prefix>Name, <prefix>Size, <prefix>Charset and <prefix>Color.
struct TFontOption {
  std::string Name;
  int Size = 8;
  int Charset = 1;
  TColor Color = 0;

  void Load(const TSettingsStore& store, const std::string& section, const std::string& prefix);
  void Save(TSettingsStore& store, const std::string& section, const std::string& prefix) const;
  bool operator==(const TFontOption&) const = default;
};
