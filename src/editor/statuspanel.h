#pragma once

#include <cstdint>
#include <string>

#include "editor/datamonitor.h"
#include "editor/hexcells.h"

class TXHexEdit;

// The size edit's notation, shared by every programmer page.
enum TSizeMode : uint8_t { smHex, smDec, smOctal };

// The status panel of a programmer page below its editor: offset, data and
// size texts, the data monitor, the go-to and current-data entries. The
// offset and data notations are the editor's; the size notation and the
// monitor's length and byte order are shared by all pages of the process.
class TStatusPanel {
public:
  static TSizeMode SizeMode;
  static TMonitorLength MonitorLength;
  static TByteOrder MonitorOrder;

  // "%6.6x", "%8.8d" or 8 octal digits.
  static std::string OffsetText(int32_t offset, TOffsetMode mode);
  // "%2.2x", "%3.3d", 3 octal digits or 8 binary digits.
  static std::string DataText(uint8_t value, THexMode mode);
  // "%6.6xh", "%8.8d" or 8 octal digits and "o".
  static std::string SizeText(int32_t size, TSizeMode mode);

  // The edits' masks in the program's notation ("cccccch;0;_" ...).
  static const char* OffsetMask(TOffsetMode mode);
  static const char* DataMask(THexMode mode);
  // The same mask for a Qt line edit: c/C any character, 9/0 digits, L/l
  // letters, A/a alphanumerics, # digit or sign; other characters literal.
  static std::string QtInputMask(const std::string& mask);

  // The go-to text by the offset notation (hex digits, decimal, octal 0-7);
  // blanks and a trailing notation letter are ignored. False: not a number.
  static bool ParseOffset(const std::string& text, TOffsetMode mode, int32_t& offset);
  // The data edit's text by the data notation (binary: the last 32
  // characters as 0/1 digits). False: not a number or 256 and above.
  static bool ParseData(const std::string& text, THexMode mode, uint8_t& value);

  // What the panel shows for the editor at its caret. Empty texts (and
  // HasData false) while the buffer is empty.
  struct TTexts {
    bool HasData = false;
    std::string Offset, Data, Size, Monitor;
  };
  static TTexts Texts(const TXHexEdit& editor, TOffsetMode offsetMode);

  // Enter in the offset edit: selects the byte at the parsed offset and puts
  // the caret there (clamped to 0 .. DataSize). False (nothing changes) on a
  // parse error.
  static bool GoTo(TXHexEdit& editor, const std::string& text, TOffsetMode mode);
  // Enter in the data edit: stores the byte at the caret without an undo step
  // and without touching Modified, then moves on one byte and selects it.
  // False (nothing changes) on a parse error, a value above FFh or a caret at
  // the end of the buffer.
  static bool EnterData(TXHexEdit& editor, const std::string& text);

  // The buttons: Size 0 -> 1 -> 2 -> 0, "8 bits" and "Intel".
  static void CycleSizeMode();
  static void CycleMonitorLength();
  static void ToggleMonitorOrder();
  static const char* MonitorLengthCaptionNow() { return MonitorLengthCaption(MonitorLength); }
  static const char* MonitorOrderCaptionNow() { return ByteOrderCaption(MonitorOrder); }
};
