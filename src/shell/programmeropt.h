#pragma once

#include <string>

#include "shell/settingsvalues.h"

// The programmer's options (section "Programmer").
class TProgrammerOptions {
public:
  static constexpr const char* Section = "Programmer";
  // Where the update check fetches its file; only http and https are used.
  static constexpr const char* DefaultUpdateUrl = "https://www.morlisk.example/kvprog/update.txt";

  bool ProgramConfirmation = true;
  bool ProgramModifiedOnlyDef = false;
  std::string UpdateUrl = DefaultUpdateUrl;

  void Load(const TSettingsStore& store);
  void Save(TSettingsStore& store) const;
  void Assign(const TProgrammerOptions& other) { *this = other; }
  bool operator==(const TProgrammerOptions&) const = default;
};
