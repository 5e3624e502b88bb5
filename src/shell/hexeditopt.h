#pragma once

#include "shell/fontoption.h"

// The hex editor's options (section "HexEditor"), edited by the Options dialog
// and applied to every programmer page.
class THexEditOptions {
public:
  static constexpr const char* Section = "HexEditor";

  THexEditOptions(); // defaults, colours from the desktop's current ones

  TFontOption OffsetFont, HexFont, TextFont;
  TColor BGColor;
  int BytePerLine = 16;
  TColor HighLightColor;
  TColor HighLightTextColor;
  int HexGroup = 1;
  int UndoLimit = 25;
  bool TextAllChars = false;
  TColor ModifiedColor = 255;
  bool OpenFileInSamePage = false;

  void Load(const TSettingsStore& store);
  void Save(TSettingsStore& store) const;
  void Assign(const THexEditOptions& other) { *this = other; }
  bool operator==(const THexEditOptions&) const = default;

  // What applying the options to a page takes over: 0 and 255 bytes per line
  // are ignored, an undo limit outside 1..4999 is ignored.
  static bool BytesPerLineApplies(int value) { return value != 0 && value != 255; }
  static bool UndoLimitApplies(int value) { return value >= 1 && value <= 4999; }
};

// The programmer pages' right-hand panel width, kept beside the hex options.
int LoadSplitterPos(const TSettingsStore& store);
void SaveSplitterPos(TSettingsStore& store, int width);
