#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "editor/undoredo.h"

// Notation of the data column; it also decides which characters are typed
// as digits (the digit set is shared by every editor and follows the last
// mode set).
enum THexMode : uint8_t { hmHex, hmDec, hmOctal, hmBin };

// The two clipboard formats an editor copies and pastes. The view moves them
// to and from the platform clipboard.
struct TClipboardData {
  bool HasText = false;
  std::string Text; // plain text
  bool HasHexText = false;
  std::vector<uint8_t> HexText; // "CF_HexText": 4-byte little-endian count, then the bytes
};
inline constexpr const char* HexTextFormatName = "CF_HexText";

// The byte buffer of a hex editor and every editing operation on it; the
// widget that draws it lives in editor/ui. Device code reads into and
// programs from Data() directly and calls RefreshView() afterwards.
//
// Offsets are 0 .. DataSize()-1; the caret runs 0 .. DataSize(). The storage
// never shrinks: bytes past DataSize() keep their values and reappear when the
// buffer grows again within the old capacity; new capacity is zero-filled.
// Every editing operation is one undo step and sets Modified. Changes of size
// made outside the history (SetLastIndex, MoveBlock, NewData, loading) clear
// it, so a replay never meets a buffer it was not recorded against.
class TXHexEdit {
public:
  TXHexEdit();
  TXHexEdit(const TXHexEdit&) = delete;
  TXHexEdit& operator=(const TXHexEdit&) = delete;

  // ---- buffer
  uint8_t* Data() { return Storage.data(); }
  const uint8_t* Data() const { return Storage.data(); }
  int32_t DataSize() const { return Size; }
  int32_t Capacity() const { return static_cast<int32_t>(Storage.size()); }
  // DataSize := lastIndex + 1 (-1 empties); no undo step, Modified untouched.
  void SetLastIndex(int32_t lastIndex);
  uint8_t GetByte(int32_t offset) const;       // 0 outside the buffer
  void SetByte(int32_t offset, uint8_t value); // ignored outside; no step, no Modified
  // Sizes the buffer so the block [from, last] ends it, then moves the block to
  // `to` (overlap-safe).
  void MoveBlock(int32_t from, int32_t last, int32_t to);
  // A new document of lastIndex + 1 bytes; the storage is not cleared.
  bool NewData(const std::string& fileName, int32_t lastIndex);

  const std::string& FileName() const { return FileNameValue; }
  // Empty: a new 1-byte buffer "Untitled"; otherwise loads the file (raw).
  void SetFileName(const std::string& fileName);
  // FileName without its folder, cut at its first "." (a page's caption).
  std::string GetFileTitle() const;
  bool Modified() const { return ModifiedValue; }
  void SetModified(bool modified); // fires OnModified
  bool ReadOnly = false;           // blocks typing, cut, paste, paste-hex and delete

  // ---- selection and caret
  // The stored pair (possibly reversed) and the active flag.
  bool GetSelection(int32_t& selStart, int32_t& selEnd) const;
  void SetSelection(bool active, int32_t selStart, int32_t selEnd);
  bool SelActive() const { return SelActiveValue; }
  // The active selection swapped into order and clamped to the buffer; false
  // when inactive or when nothing of it is left inside the buffer.
  bool NormalisedSelection(int32_t& first, int32_t& last) const;
  void SelectAll();
  int32_t CaretOffset() const { return Caret; }
  void SetCaretOffset(int32_t offset); // clamped to 0 .. DataSize; ends a byte in progress
  // Keyboard and mouse rule: without `extend` the selection is cleared; with
  // it the anchor is set on the first extending move, and the selection covers
  // [anchor, caret-1] or [caret, anchor-1] (none when they meet).
  void MoveCaret(int32_t offset, bool extend);
  void SetAnchor(int32_t offset) { Anchor = offset; }
  bool CaretInText = false; // the caret is in the text column

  // ---- history and shared modes
  void Undo();
  void Redo();
  bool CanUndo() const { return HistoryValue.CanUndo(); }
  bool CanRedo() const { return HistoryValue.CanRedo(); }
  THistory& History() { return HistoryValue; }
  const THistory& History() const { return HistoryValue; }
  static int32_t MaxUndo();
  // 1..4999: the shared value changes and this history is re-created; other
  // values are ignored.
  void SetMaxUndo(int32_t value);
  static bool InsertMode();
  static void SetInsertMode(bool insert);
  void ToggleInsertMode(); // shared by all editors; fires OnChangeInputMode

  // ---- typing
  THexMode HexMode() const { return HexModeValue; }
  void SetHexMode(THexMode mode); // also selects the shared digit set
  static bool IsDigitChar(char c);
  static int DigitsPerByte(THexMode mode); // 2, 3, 3, 8
  // One typed character in the caret's column: a digit in the data column, any
  // character from 20h up in the text column.
  void TypeChar(char c);
  void EndByteInProgress() { DigitCount = 0; }
  int DigitsTyped() const { return DigitCount; }

  // ---- editing operations (one undo step each)
  bool DeleteAtCaret();
  bool Backspace();
  // Both clipboard formats of the selection; the text follows the caret's
  // column. Nothing without a selection.
  bool CopyToClipboard(TClipboardData& out) const;
  bool CutToClipboard(TClipboardData& out);
  bool PasteFromClipboard(const TClipboardData& clip);
  bool PasteBytes(const uint8_t* bytes, int32_t count);
  // Hex tokens separated by CR, LF, space, "," or ";"; false (nothing
  // changes) at the first token that is not hex.
  bool PasteHex(std::string_view text);
  bool FillSelection(uint8_t value);
  bool FillCounter(); // 00h, 01h, ... from the selection's first byte
  bool FillRandom();
  bool SwapBytes(); // swaps each pair of bytes of the selection

  // ---- search and replace
  // Forward: matches starting from `from` + 1 whose last byte is <= limit.
  // Backward: matches starting from `from` - 1 down to `limit`. Found: caret
  // to the match, the match selected. Not found: caret to DataSize (forward)
  // or 0, and the warning "String or Hex Data not Found" when showNotFound.
  bool FindFrom(std::string_view pattern, bool exactCase, int32_t limit, int32_t from,
                bool showNotFound, bool forward);
  bool Find(std::string_view pattern, bool exactCase, bool forward);
  // Replaces the next match (forward: a match starting at the caret counts).
  // True when a match was found, also when OnBeforeReplace cancelled it (the
  // caret then moves one byte past the match start, so a repeated call goes on).
  bool ReplaceNext(std::string_view pattern, bool exactCase, std::string_view replacement,
                   bool forward, bool* replaced = nullptr);
  // Offers the `count` bytes at `offset` to OnBeforeReplace and, unless it
  // cancels, replaces them (one step), selects the replacement and puts the
  // caret after it. Returns false when cancelled.
  bool ReplaceAt(int32_t offset, int32_t count, std::string_view replacement);

  // ---- files (raw binary)
  bool LoadFromFile(const std::string& path);
  // Empty path: save under FileName, keeping the previous file as the backup.
  // Otherwise Save As (asks before overwriting). Writes a temporary file and
  // renames it into place, so a failure leaves the document and its backup as
  // they were; shows "I/O Error" on failure.
  bool SaveToFile(const std::string& path = "");
  // false = keep the document open (the user cancelled, or the save failed).
  bool QuerySave();
  bool BackupFile = true;
  std::string BackupFileExt = "bak";
  std::function<std::string()> OnSaveDialog; // asks for a file name; empty = cancelled

  // ---- view hooks (the widget sets them)
  void RefreshView();
  void ResetView();
  std::function<void(TXHexEdit&)> OnRefreshView;
  std::function<void(TXHexEdit&)> OnResetView;

  // ---- events
  std::function<void(TXHexEdit& sender, bool modified)> OnModified;
  std::function<void(TXHexEdit& sender, uint8_t data, int32_t offset)> OnChange; // typed bytes
  std::function<void(TXHexEdit& sender, bool enableUndo, bool enableRedo)> OnUndoRedo;
  std::function<void(TXHexEdit& sender, bool sel, int32_t startSel, int32_t endSel)>
      OnChangeSelection;
  std::function<void(TXHexEdit& sender, int32_t offset)> OnMoveCaret;
  std::function<void(TXHexEdit& sender, bool insert)> OnChangeInputMode;
  std::function<void(TXHexEdit& sender, int32_t offset, int32_t size, bool& cancel)>
      OnBeforeReplace;
  std::function<void(TXHexEdit& sender)> OnBeep;

private:
  friend class THistory;

  void Resize(int32_t newSize); // grows the storage; never clears the history
  void MoveBlockRaw(int32_t from, int32_t last, int32_t to);
  // Replaces count bytes at offset by the given bytes, recording one step.
  void ReplaceRecorded(int32_t offset, int32_t count, const uint8_t* bytes, int32_t newCount);
  void ReplaceRange(int32_t offset, int32_t count, const uint8_t* bytes, int32_t newCount);
  void ReplaceSelectionOrInsert(const uint8_t* bytes, int32_t count);
  bool ReplaceSelectionInPlace(const std::vector<uint8_t>& bytes, int32_t first);
  void Beep();
  void HistoryChanged(bool canUndo, bool canRedo);

  std::vector<uint8_t> Storage;
  int32_t Size = 0;
  std::string FileNameValue;
  bool ModifiedValue = false;
  int32_t SelStart = 0;
  int32_t SelEnd = 0;
  bool SelActiveValue = false;
  int32_t Anchor = 0;
  int32_t Caret = 0;
  THexMode HexModeValue = hmHex;
  int DigitCount = 0;
  THistory HistoryValue;
  std::mt19937 Random;
};
