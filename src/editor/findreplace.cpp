#include "editor/findreplace.h"

#include "editor/delphifmt.h"
#include "editor/pastehex.h"
#include "editor/xhexedit.h"
#include "shell/appservices.h"

namespace {

bool ParseHexTokens(std::string_view text, std::string& bytes, bool takeLast, size_t maxBytes) {
  bytes.clear();
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && bytes.size() < maxBytes) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    if (!takeLast && i == n - 1) break; // a lone last digit waits for the next key
    int hi = HexDigitValue(text[i]);
    if (i + 1 < n && text[i + 1] != ' ') {
      int lo = HexDigitValue(text[i + 1]);
      if (hi < 0 || lo < 0) return false;
      bytes += static_cast<char>(hi * 16 + lo);
    } else {
      if (hi < 0) return false;
      bytes += static_cast<char>(hi);
    }
    i += 2;
  }
  return true;
}

// "$" + text as a non-negative number that fits an offset.
bool ParseHexOffset(std::string_view text, int64_t& value) {
  if (text.empty() || text.size() > 8) return false;
  value = 0;
  for (char c : text) {
    int d = HexDigitValue(c);
    if (d < 0) return false;
    value = value * 16 + d;
  }
  return true;
}

} // namespace

bool ParseFindBarHex(std::string_view text, std::string& bytes) {
  return ParseHexTokens(text, bytes, false, MaxFindPattern);
}

bool ParseDialogHex(std::string_view text, std::string& bytes) {
  return ParseHexTokens(text, bytes, true, SIZE_MAX);
}

std::string PatternToHexText(std::string_view bytes) {
  std::string s;
  for (char c : bytes)
    s += Format("%2.2x ", {static_cast<uint8_t>(c)});
  return s;
}

bool TFindReplace::SetPattern(std::string_view text, std::string& pattern) const {
  if (!FindHex) {
    pattern = std::string(text.substr(0, MaxFindPattern));
    return true;
  }
  if (ParseFindBarHex(text, pattern)) return true;
  pattern.clear();
  return false;
}

bool TFindReplace::SetFindText(std::string_view text) {
  return SetPattern(text, FindPattern);
}

bool TFindReplace::SetReplaceText(std::string_view text) {
  return SetPattern(text, ReplacePattern);
}

void TFindReplace::ToggleHex(std::string& findText, std::string& replaceText) {
  FindHex = !FindHex;
  findText = FindHex ? PatternToHexText(FindPattern) : FindPattern;
  replaceText = FindHex ? PatternToHexText(ReplacePattern) : ReplacePattern;
}

bool TFindReplace::Next(TXHexEdit& editor) const {
  return editor.Find(FindPattern, Exact(), true);
}

bool TFindReplace::Prev(TXHexEdit& editor) const {
  return editor.Find(FindPattern, Exact(), false);
}

bool TFindReplace::Replace(TXHexEdit& editor) const {
  return editor.ReplaceNext(FindPattern, Exact(), ReplacePattern, true);
}

int TFindReplace::ReplaceAll(TXHexEdit& editor) {
  StopReplace = false;
  editor.SetCaretOffset(0);
  int count = 0;
  for (;;) {
    bool replaced = false;
    if (!editor.ReplaceNext(FindPattern, Exact(), ReplacePattern, true, &replaced)) break;
    count += replaced;
    // Cancel at the prompt ends the run, as it ends the dialog's.
    if (StopReplace) break;
  }
  return count;
}

void TFindReplace::BeforeReplace(bool& cancel) {
  if (!PromptOnReplace) return;
  switch (Services().AskYesNoCancel("Confirm", "Replace?")) {
  case TAnswer::Yes:
    break;
  case TAnswer::No:
    cancel = true;
    break;
  case TAnswer::Cancel:
    cancel = true;
    StopReplace = true;
    break;
  }
}

int TFindReplace::ReplaceInScope(TXHexEdit& editor, bool hexMode, std::string_view findText,
                                 std::string_view replaceText, bool global,
                                 std::string_view fromText, std::string_view toText) {
  std::string find, replace;
  if (hexMode) {
    if (!ParseDialogHex(findText, find) || !ParseDialogHex(replaceText, replace)) find.clear();
  } else {
    find = std::string(findText);
    replace = std::string(replaceText);
  }
  int64_t from = 0, to = static_cast<int64_t>(editor.DataSize()) - 1;
  if (!global) {
    if (!ParseHexOffset(toText, to) || to >= editor.DataSize()) {
      Services().ShowWarning("Scope Range Error", "Incorrect Range To Value");
      return -1;
    }
    if (!ParseHexOffset(fromText, from) || from > to) {
      Services().ShowWarning("Scope Range Error", "Incorrect Range From Value");
      return -1;
    }
  }
  if (find.empty() || replace.empty()) {
    if (editor.OnBeep) editor.OnBeep(editor);
    return 0;
  }
  // Hex patterns are bytes: they are compared exactly, never case-folded.
  const bool exact = hexMode;
  StopReplace = false;
  int count = 0;
  int64_t position = from - 1;
  while (!StopReplace) {
    if (!editor.FindFrom(find, exact, static_cast<int32_t>(to), static_cast<int32_t>(position),
                         false, true))
      break;
    const int32_t start = editor.CaretOffset();
    const int32_t size = editor.DataSize();
    if (editor.ReplaceAt(start, static_cast<int32_t>(find.size()), replace)) {
      ++count;
      position = start + static_cast<int64_t>(replace.size()) - 1;
      to += editor.DataSize() - size;
    } else {
      position = start;
    }
  }
  return count;
}
