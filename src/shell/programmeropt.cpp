#include "shell/programmeropt.h"

void TProgrammerOptions::Load(const TSettingsStore& store) {
  TProgrammerOptions d;
  ProgramConfirmation = ReadBool(store, Section, "ProgramConfirmation", d.ProgramConfirmation);
  ProgramModifiedOnlyDef =
      ReadBool(store, Section, "ProgramModifiedOnlyDef", d.ProgramModifiedOnlyDef);
  UpdateUrl = ReadText(store, Section, "UpdateUrl", d.UpdateUrl);
}

void TProgrammerOptions::Save(TSettingsStore& store) const {
  WriteBool(store, Section, "ProgramConfirmation", ProgramConfirmation);
  WriteBool(store, Section, "ProgramModifiedOnlyDef", ProgramModifiedOnlyDef);
  store.WriteString(Section, "UpdateUrl", UpdateUrl);
}
