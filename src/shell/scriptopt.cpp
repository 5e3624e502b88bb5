#include "shell/scriptopt.h"

TScriptOptions::TScriptOptions() : Font{"Courier New", 10, 1, SystemColors().WindowText} {}

void TScriptOptions::Load(const TSettingsStore& store) {
  Font = TScriptOptions().Font;
  Font.Load(store, Section, "Font");
  DevScriptSearchPath =
      ReadText(store, Section, "DevScriptSearchPath", ProgramFolder() + "DeviceScripts");
}

void TScriptOptions::Save(TSettingsStore& store) const {
  Font.Save(store, Section, "Font");
  store.WriteString(Section, "DevScriptSearchPath", DevScriptSearchPath);
}
