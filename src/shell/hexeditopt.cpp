#include "shell/hexeditopt.h"

THexEditOptions::THexEditOptions()
    : BGColor(SystemColors().Window), HighLightColor(SystemColors().Highlight),
      HighLightTextColor(SystemColors().HighlightText) {
  for (TFontOption* font : {&OffsetFont, &HexFont, &TextFont})
    *font = TFontOption{"MS Sans Serif", 8, 1, SystemColors().WindowText};
}

void THexEditOptions::Load(const TSettingsStore& store) {
  // Missing values fall back to fresh defaults, not to what this object held.
  THexEditOptions d;
  UndoLimit = ReadInt(store, Section, "UndoLimit", d.UndoLimit);
  BGColor = ReadColor(store, Section, "BGColor", d.BGColor);
  HighLightColor = ReadColor(store, Section, "HighLightColor", d.HighLightColor);
  HighLightTextColor = ReadColor(store, Section, "HighLightTextColor", d.HighLightTextColor);
  TextAllChars = ReadBool(store, Section, "TextAllChars", d.TextAllChars);
  BytePerLine = ReadInt(store, Section, "BytePerLine", d.BytePerLine);
  HexGroup = ReadInt(store, Section, "HexGroup", d.HexGroup);
  OffsetFont = d.OffsetFont;
  HexFont = d.HexFont;
  TextFont = d.TextFont;
  OffsetFont.Load(store, Section, "OffsetFont");
  HexFont.Load(store, Section, "HexFont");
  TextFont.Load(store, Section, "TextFont");
  ModifiedColor = ReadColor(store, Section, "ModifiedColor", d.ModifiedColor);
  OpenFileInSamePage = ReadBool(store, Section, "OpenFileInSamePage", d.OpenFileInSamePage);
}

void THexEditOptions::Save(TSettingsStore& store) const {
  WriteInt(store, Section, "UndoLimit", UndoLimit);
  WriteColor(store, Section, "BGColor", BGColor);
  WriteColor(store, Section, "HighLightColor", HighLightColor);
  WriteColor(store, Section, "HighLightTextColor", HighLightTextColor);
  WriteBool(store, Section, "TextAllChars", TextAllChars);
  WriteInt(store, Section, "BytePerLine", BytePerLine);
  WriteInt(store, Section, "HexGroup", HexGroup);
  OffsetFont.Save(store, Section, "OffsetFont");
  HexFont.Save(store, Section, "HexFont");
  TextFont.Save(store, Section, "TextFont");
  WriteColor(store, Section, "ModifiedColor", ModifiedColor);
  WriteBool(store, Section, "OpenFileInSamePage", OpenFileInSamePage);
}

int LoadSplitterPos(const TSettingsStore& store) {
  return ReadInt(store, THexEditOptions::Section, "SplitterPos", 150);
}

void SaveSplitterPos(TSettingsStore& store, int width) {
  WriteInt(store, THexEditOptions::Section, "SplitterPos", width);
}
