#include "shell/fontoption.h"

void TFontOption::Load(const TSettingsStore& store, const std::string& section,
                       const std::string& prefix) {
  Name = ReadText(store, section, prefix + "Name", Name);
  Size = ReadInt(store, section, prefix + "Size", Size);
  Charset = ReadInt(store, section, prefix + "Charset", Charset);
  Color = ReadColor(store, section, prefix + "Color", Color);
}

void TFontOption::Save(TSettingsStore& store, const std::string& section,
                       const std::string& prefix) const {
  store.WriteString(section, prefix + "Name", Name);
  WriteInt(store, section, prefix + "Size", Size);
  WriteInt(store, section, prefix + "Charset", Charset);
  WriteColor(store, section, prefix + "Color", Color);
}
