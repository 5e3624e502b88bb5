#pragma once

#include "shell/hexeditopt.h"
#include "shell/programmeropt.h"
#include "shell/scriptopt.h"

class TMainForm;
class TSettingsStore;

// The options the main window owns: read once when it is created, written
// once when it closes, edited in the Options dialog; also the About box and
// the update check, which need them.
class TGuiSettings {
public:
  // Takes the store (the per-user settings when none is given).
  explicit TGuiSettings(TMainForm& mainForm, TSettingsStore* store = nullptr);
  ~TGuiSettings();
  TGuiSettings(const TGuiSettings&) = delete;
  TGuiSettings& operator=(const TGuiSettings&) = delete;

  THexEditOptions Hex;
  TProgrammerOptions Programmer;
  TScriptOptions Script;

private:
  void Load();
  void Save();
  void Apply();
  void ShowOptions();

  TMainForm& MainForm;
  TSettingsStore* Store;
};
