#pragma once

#include <string>

#include "shell/fontoption.h"

// The script editor's options (section "ScriptEditor").
class TScriptOptions {
public:
  static constexpr const char* Section = "ScriptEditor";

  TScriptOptions();

  TFontOption Font;
  // A fresh object holds the relative folder; a value missing from the store
  // reads as the program's folder followed by "DeviceScripts".
  std::string DevScriptSearchPath = "./DeviceScripts";

  void Load(const TSettingsStore& store);
  void Save(TSettingsStore& store) const;
  void Assign(const TScriptOptions& other) { *this = other; }
  bool operator==(const TScriptOptions&) const = default;
};
