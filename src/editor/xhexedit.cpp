#include "editor/xhexedit.h"

#include <algorithm>
#include <cstring>

#include "editor/binfile.h"
#include "editor/datafile.h"
#include "editor/pastehex.h"
#include "editor/search.h"
#include "shell/appservices.h"

namespace {

int32_t SharedMaxUndo = 25;
bool SharedInsertMode = false;
THexMode SharedDigitMode = hmHex;

const char* const NotFoundText = "String or Hex Data not Found";

} // namespace

TXHexEdit::TXHexEdit() : HistoryValue(*this, SharedMaxUndo), Random(std::random_device{}()) {
  HistoryValue.OnChange = [this](TXHexEdit&, bool canUndo, bool canRedo) {
    HistoryChanged(canUndo, canRedo);
  };
}

// ---------------------------------------------------------------- buffer

void TXHexEdit::Resize(int32_t newSize) {
  if (newSize < 0) newSize = 0;
  if (static_cast<size_t>(newSize) > Storage.size()) {
    size_t grown = Storage.size() + Storage.size() / 2;
    Storage.resize(std::max(static_cast<size_t>(newSize), grown), 0);
  }
  Size = newSize;
  if (Caret > Size) Caret = Size;
}

void TXHexEdit::SetLastIndex(int32_t lastIndex) {
  if (lastIndex < -1) return;
  if (lastIndex + 1 != Size) HistoryValue.Clear();
  Resize(lastIndex + 1);
}

uint8_t TXHexEdit::GetByte(int32_t offset) const {
  return (offset < 0 || offset >= Size) ? 0 : Storage[static_cast<size_t>(offset)];
}

void TXHexEdit::SetByte(int32_t offset, uint8_t value) {
  if (offset >= 0 && offset < Size) Storage[static_cast<size_t>(offset)] = value;
}

void TXHexEdit::MoveBlockRaw(int32_t from, int32_t last, int32_t to) {
  int32_t count = last - from + 1;
  Resize(to + count);
  if (count > 0)
    std::memmove(Storage.data() + to, Storage.data() + from, static_cast<size_t>(count));
}

void TXHexEdit::MoveBlock(int32_t from, int32_t last, int32_t to) {
  if (from < 0 || to < 0 || last >= Size || last < from - 1) return;
  int32_t before = Size;
  MoveBlockRaw(from, last, to);
  if (Size != before) HistoryValue.Clear();
}

bool TXHexEdit::NewData(const std::string& fileName, int32_t lastIndex) {
  Resize(std::max(lastIndex, -1) + 1);
  HistoryValue.Clear();
  FileNameValue = fileName;
  Caret = 0;
  DigitCount = 0;
  SelActiveValue = false;
  ResetView();
  SetModified(false);
  return true;
}

void TXHexEdit::SetFileName(const std::string& fileName) {
  if (fileName.empty())
    NewData("Untitled", 0);
  else
    LoadFromFile(fileName);
}

std::string TXHexEdit::GetFileTitle() const {
  const size_t slash = FileNameValue.find_last_of("/\\");
  const std::string name =
      slash == std::string::npos ? FileNameValue : FileNameValue.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

void TXHexEdit::SetModified(bool modified) {
  ModifiedValue = modified;
  if (OnModified) OnModified(*this, modified);
}

// ---------------------------------------------------------------- selection, caret

bool TXHexEdit::GetSelection(int32_t& selStart, int32_t& selEnd) const {
  selStart = SelStart;
  selEnd = SelEnd;
  return SelActiveValue;
}

void TXHexEdit::SetSelection(bool active, int32_t selStart, int32_t selEnd) {
  SelActiveValue = active;
  SelStart = selStart;
  SelEnd = selEnd;
  if (OnChangeSelection) OnChangeSelection(*this, active, selStart, selEnd);
}

bool TXHexEdit::NormalisedSelection(int32_t& first, int32_t& last) const {
  if (!SelActiveValue) return false;
  first = std::min(SelStart, SelEnd);
  last = std::max(SelStart, SelEnd);
  first = std::max(first, 0);
  last = std::min(last, Size - 1);
  return first <= last; // a remembered range may lie beyond a shrunken buffer
}

void TXHexEdit::SelectAll() {
  SetSelection(true, 0, Size - 1);
}

void TXHexEdit::SetCaretOffset(int32_t offset) {
  Caret = std::clamp(offset, 0, Size);
  DigitCount = 0;
  if (OnMoveCaret) OnMoveCaret(*this, Caret);
}

void TXHexEdit::MoveCaret(int32_t offset, bool extend) {
  if (!extend) {
    if (SelActiveValue) SetSelection(false, SelStart, SelEnd);
    SetCaretOffset(offset);
    return;
  }
  if (!SelActiveValue) Anchor = Caret;
  SetCaretOffset(offset);
  if (Caret > Anchor)
    SetSelection(true, Anchor, Caret - 1);
  else if (Caret < Anchor)
    SetSelection(true, Caret, Anchor - 1);
  else
    SetSelection(false, Anchor, Anchor);
}

// ---------------------------------------------------------------- history, modes

void TXHexEdit::HistoryChanged(bool canUndo, bool canRedo) {
  if (OnUndoRedo) OnUndoRedo(*this, canUndo, canRedo);
}

void TXHexEdit::Undo() {
  DigitCount = 0;
  HistoryValue.Undo();
  RefreshView();
}

void TXHexEdit::Redo() {
  DigitCount = 0;
  HistoryValue.Redo();
  RefreshView();
}

int32_t TXHexEdit::MaxUndo() {
  return SharedMaxUndo;
}

void TXHexEdit::SetMaxUndo(int32_t value) {
  if (value < 1 || value > 4999) return;
  SharedMaxUndo = value;
  HistoryValue.SetCapacity(value);
}

bool TXHexEdit::InsertMode() {
  return SharedInsertMode;
}
void TXHexEdit::SetInsertMode(bool insert) {
  SharedInsertMode = insert;
}

void TXHexEdit::ToggleInsertMode() {
  SharedInsertMode = !SharedInsertMode;
  if (OnChangeInputMode) OnChangeInputMode(*this, SharedInsertMode);
}

void TXHexEdit::SetHexMode(THexMode mode) {
  HexModeValue = mode;
  SharedDigitMode = mode;
  DigitCount = 0;
}

bool TXHexEdit::IsDigitChar(char c) {
  switch (SharedDigitMode) {
  case hmHex:
    return HexDigitValue(c) >= 0;
  case hmDec:
    return c >= '0' && c <= '9';
  case hmOctal:
    return c >= '0' && c <= '7';
  case hmBin:
    return c == '0' || c == '1';
  }
  return false;
}

int TXHexEdit::DigitsPerByte(THexMode mode) {
  switch (mode) {
  case hmHex:
    return 2;
  case hmDec:
  case hmOctal:
    return 3;
  case hmBin:
    return 8;
  }
  return 2;
}

void TXHexEdit::Beep() {
  if (OnBeep) OnBeep(*this);
}

// ---------------------------------------------------------------- typing

void TXHexEdit::TypeChar(char c) {
  if (ReadOnly) return;
  uint8_t value;
  if (CaretInText) {
    if (static_cast<uint8_t>(c) < 0x20) return;
    value = static_cast<uint8_t>(c);
  } else {
    if (!IsDigitChar(c)) {
      Beep();
      return;
    }
    value = static_cast<uint8_t>(HexDigitValue(c));
  }

  if (!CaretInText && DigitCount > 0 && Caret < Size) {
    static const int Base[] = {16, 10, 8, 2};
    uint8_t old = Storage[static_cast<size_t>(Caret)];
    int typed = old * Base[HexModeValue] + value;
    if (typed > 255) {
      DigitCount = 0;
      Beep();
    } else {
      HistoryValue.AddOverwrite(Caret, static_cast<uint8_t>(typed), ModifiedValue, old);
      Storage[static_cast<size_t>(Caret)] = static_cast<uint8_t>(typed);
      if (OnChange) OnChange(*this, static_cast<uint8_t>(typed), Caret);
      if (++DigitCount >= DigitsPerByte(HexModeValue)) {
        DigitCount = 0;
        Caret = std::min(Caret + 1, Size);
        if (OnMoveCaret) OnMoveCaret(*this, Caret);
      }
    }
  } else {
    int32_t first, last;
    if (NormalisedSelection(first, last)) {
      ReplaceRecorded(first, last - first + 1, &value, 1);
      Caret = first;
      SetSelection(false, SelStart, SelEnd);
    } else if (SharedInsertMode || Caret >= Size) {
      ReplaceRecorded(Caret, 0, &value, 1);
    } else {
      HistoryValue.AddOverwrite(Caret, value, ModifiedValue, Storage[static_cast<size_t>(Caret)]);
      Storage[static_cast<size_t>(Caret)] = value;
    }
    if (OnChange) OnChange(*this, value, Caret);
    DigitCount = 1;
    if (CaretInText) {
      DigitCount = 0;
      Caret = std::min(Caret + 1, Size);
    }
    if (OnMoveCaret) OnMoveCaret(*this, Caret);
  }
  SetModified(true);
  RefreshView();
}

// ---------------------------------------------------------------- editing

void TXHexEdit::ReplaceRange(int32_t offset, int32_t count, const uint8_t* bytes,
                             int32_t newCount) {
  if (count > 0) MoveBlockRaw(offset + count, Size - 1, offset);
  if (newCount > 0) {
    MoveBlockRaw(offset, Size - 1, offset + newCount);
    std::memcpy(Storage.data() + offset, bytes, static_cast<size_t>(newCount));
  }
}

void TXHexEdit::ReplaceRecorded(int32_t offset, int32_t count, const uint8_t* bytes,
                                int32_t newCount) {
  HistoryValue.AddReplace(bytes, newCount, ModifiedValue, SelActiveValue, offset, count);
  ReplaceRange(offset, count, bytes, newCount);
}

bool TXHexEdit::DeleteAtCaret() {
  if (ReadOnly) return false;
  DigitCount = 0;
  int32_t first, last;
  if (NormalisedSelection(first, last)) {
    ReplaceRecorded(first, last - first + 1, nullptr, 0);
    SetSelection(false, SelStart, SelEnd);
    SetCaretOffset(first);
  } else if (Caret < Size) {
    ReplaceRecorded(Caret, 1, nullptr, 0);
    SetCaretOffset(Caret);
  } else {
    return false;
  }
  SetModified(true);
  RefreshView();
  return true;
}

bool TXHexEdit::Backspace() {
  if (ReadOnly) return false;
  DigitCount = 0;
  int32_t first, last;
  if (!NormalisedSelection(first, last)) {
    if (Caret == 0) return false;
    SetCaretOffset(Caret - 1);
  }
  return DeleteAtCaret();
}

bool TXHexEdit::CopyToClipboard(TClipboardData& out) const {
  int32_t first, last;
  if (!NormalisedSelection(first, last)) return false;
  const uint8_t* p = Storage.data() + first;
  const uint32_t n = static_cast<uint32_t>(last - first + 1);
  static const char* const Hex = "0123456789ABCDEF";
  out.Text.clear();
  for (uint32_t i = 0; i < n; ++i) {
    if (CaretInText) {
      out.Text += p[i] < 0x20 ? '.' : static_cast<char>(p[i]);
    } else {
      out.Text += Hex[p[i] >> 4];
      out.Text += Hex[p[i] & 15];
      out.Text += ' ';
    }
  }
  out.HasText = true;
  out.HexText.resize(4 + n);
  for (int i = 0; i < 4; ++i)
    out.HexText[static_cast<size_t>(i)] = static_cast<uint8_t>(n >> (8 * i));
  std::memcpy(out.HexText.data() + 4, p, n);
  out.HasHexText = true;
  return true;
}

bool TXHexEdit::CutToClipboard(TClipboardData& out) {
  if (ReadOnly || !CopyToClipboard(out)) return false;
  return DeleteAtCaret();
}

void TXHexEdit::ReplaceSelectionOrInsert(const uint8_t* bytes, int32_t count) {
  int32_t first, last;
  int32_t at = Caret;
  if (NormalisedSelection(first, last)) {
    at = first;
    ReplaceRecorded(first, last - first + 1, bytes, count);
  } else {
    ReplaceRecorded(Caret, 0, bytes, count);
  }
  SetSelection(true, at, at + count - 1);
  SetCaretOffset(at + count);
  SetModified(true);
  RefreshView();
}

bool TXHexEdit::PasteBytes(const uint8_t* bytes, int32_t count) {
  if (ReadOnly || count <= 0) return false;
  DigitCount = 0;
  ReplaceSelectionOrInsert(bytes, count);
  return true;
}

bool TXHexEdit::PasteFromClipboard(const TClipboardData& clip) {
  if (clip.HasHexText) {
    // The private format comes from any process: trust no count beyond the
    // bytes that are really there.
    if (clip.HexText.size() < 4) return false;
    uint64_t count = 0;
    for (int i = 0; i < 4; ++i)
      count |= static_cast<uint64_t>(clip.HexText[static_cast<size_t>(i)]) << (8 * i);
    count = std::min<uint64_t>(count, clip.HexText.size() - 4);
    count =
        std::min<uint64_t>(count, static_cast<uint64_t>(INT32_MAX) - static_cast<uint64_t>(Size));
    return PasteBytes(clip.HexText.data() + 4, static_cast<int32_t>(count));
  }
  if (clip.HasText) {
    return PasteBytes(reinterpret_cast<const uint8_t*>(clip.Text.data()),
                      static_cast<int32_t>(std::min<size_t>(clip.Text.size(), INT32_MAX - Size)));
  }
  return false;
}

bool TXHexEdit::PasteHex(std::string_view text) {
  if (ReadOnly) return false;
  std::vector<uint8_t> bytes;
  if (!ParsePasteHex(text, bytes) || bytes.empty()) return false;
  return PasteBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
}

bool TXHexEdit::ReplaceSelectionInPlace(const std::vector<uint8_t>& bytes, int32_t first) {
  ReplaceRecorded(first, static_cast<int32_t>(bytes.size()), bytes.data(),
                  static_cast<int32_t>(bytes.size()));
  SetModified(true);
  RefreshView();
  return true;
}

bool TXHexEdit::FillSelection(uint8_t value) {
  int32_t first, last;
  if (!NormalisedSelection(first, last)) return false;
  return ReplaceSelectionInPlace(std::vector<uint8_t>(static_cast<size_t>(last - first + 1), value),
                                 first);
}

bool TXHexEdit::FillCounter() {
  int32_t first, last;
  if (!NormalisedSelection(first, last)) return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(last - first + 1));
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(i);
  return ReplaceSelectionInPlace(bytes, first);
}

bool TXHexEdit::FillRandom() {
  int32_t first, last;
  if (!NormalisedSelection(first, last)) return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(last - first + 1));
  for (auto& b : bytes)
    b = static_cast<uint8_t>(Random() >> 24);
  return ReplaceSelectionInPlace(bytes, first);
}

bool TXHexEdit::SwapBytes() {
  int32_t first, last;
  if (!NormalisedSelection(first, last)) return false;
  std::vector<uint8_t> bytes(Storage.begin() + first, Storage.begin() + last + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    std::swap(bytes[i], bytes[i + 1]);
  return ReplaceSelectionInPlace(bytes, first);
}

// ---------------------------------------------------------------- search, replace

bool TXHexEdit::FindFrom(std::string_view pattern, bool exactCase, int32_t limit, int32_t from,
                         bool showNotFound, bool forward) {
  int64_t at = SearchBytes(Storage.data(), Size, pattern, exactCase, limit, from, forward);
  if (at >= 0) {
    SetCaretOffset(static_cast<int32_t>(at));
    SetSelection(true, static_cast<int32_t>(at), static_cast<int32_t>(at + pattern.size()) - 1);
    RefreshView();
    return true;
  }
  SetCaretOffset(forward ? Size : 0);
  RefreshView();
  if (showNotFound) Services().ShowWarning("Warning", NotFoundText);
  return false;
}

bool TXHexEdit::Find(std::string_view pattern, bool exactCase, bool forward) {
  return FindFrom(pattern, exactCase, forward ? Size - 1 : 0, Caret, true, forward);
}

bool TXHexEdit::ReplaceAt(int32_t offset, int32_t count, std::string_view replacement) {
  bool cancel = false;
  if (OnBeforeReplace) OnBeforeReplace(*this, offset, count, cancel);
  if (cancel) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(replacement.data());
  const auto n = static_cast<int32_t>(replacement.size());
  ReplaceRecorded(offset, count, bytes, n);
  SetSelection(true, offset, offset + n - 1);
  SetCaretOffset(offset + n);
  SetModified(true);
  RefreshView();
  return true;
}

bool TXHexEdit::ReplaceNext(std::string_view pattern, bool exactCase, std::string_view replacement,
                            bool forward, bool* replaced) {
  if (replaced) *replaced = false;
  // Forward, the search starts at the caret itself, so that a run from offset
  // 0 sees a match there and a run resumes right after each replacement.
  int32_t from = forward ? Caret - 1 : Caret;
  bool found = FindFrom(pattern, exactCase, forward ? Size - 1 : 0, from, true, forward);
  if (!found || pattern.empty() || replacement.empty()) {
    Beep();
    return false;
  }
  int32_t start = Caret;
  if (ReplaceAt(start, static_cast<int32_t>(pattern.size()), replacement)) {
    if (replaced) *replaced = true;
  } else {
    // Declined: step past this match so the next call moves on.
    SetCaretOffset(forward ? start + 1 : start);
  }
  return true;
}

// ---------------------------------------------------------------- files

bool TXHexEdit::LoadFromFile(const std::string& path) {
  TFileContents contents;
  std::string error;
  if (!ReadWholeFile(path, contents, error)) return false;
  return LoadBinary(contents.View(), path, *this).Status == TLoadStatus::Loaded;
}

bool TXHexEdit::SaveToFile(const std::string& path) {
  std::string target = path.empty() ? FileNameValue : path;
  std::string backup;
  if (path.empty()) {
    if (BackupFile) backup = BackupPathFor(target, BackupFileExt);
  } else if (FileExists(target)) {
    if (Services().AskYesNo("Warning", "File Exists. Overwrite?") != TAnswer::Yes) return false;
  }
  std::string error;
  if (target.empty() ||
      !WriteFileReplacing(target, Storage.data(), static_cast<size_t>(Size), backup, error)) {
    Services().ShowWarning("Warning", "I/O Error");
    return false;
  }
  SetModified(false);
  HistoryValue.Clear();
  FileNameValue = target;
  return true;
}

bool TXHexEdit::QuerySave() {
  if (!ModifiedValue) return true;
  switch (Services().AskYesNoCancel("Warning", "Save changes to " + FileNameValue + "?")) {
  case TAnswer::No:
    return true;
  case TAnswer::Cancel:
    return false;
  case TAnswer::Yes:
    break;
  }
  // A failed or abandoned save keeps the document open rather than losing it.
  if (FileNameValue != "Untitled") return SaveToFile();
  std::string name = OnSaveDialog ? OnSaveDialog() : std::string();
  if (name.empty()) return false;
  return SaveToFile(name);
}

// ---------------------------------------------------------------- view hooks

void TXHexEdit::RefreshView() {
  if (OnRefreshView) OnRefreshView(*this);
}

void TXHexEdit::ResetView() {
  if (OnResetView) OnResetView(*this);
  HistoryChanged(HistoryValue.CanUndo(), HistoryValue.CanRedo());
  if (OnChangeSelection) OnChangeSelection(*this, SelActiveValue, SelStart, SelEnd);
}
