#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TXHexEdit;

inline constexpr size_t MaxFindPattern = 64;

// Hex text of a find-bar edit as typed so far: spaces are skipped; a token is
// two characters, or one when a space follows; the last character is left for
// the next keystroke; at most 64 bytes. False at an invalid token (the edit
// is then cleared and the control beeps).
bool ParseFindBarHex(std::string_view text, std::string& bytes);
// Hex text of the Replace dialog: the same tokens, the last character included.
bool ParseDialogHex(std::string_view text, std::string& bytes);
// "%2.2x " per byte: how hex patterns are written back into the edits.
std::string PatternToHexText(std::string_view bytes);

// The find and replace state of a programmer page and the Replace dialog's
// logic. Every replacement passes through BeforeReplace (hook it to the
// editor's OnBeforeReplace), which asks "Replace?" when PromptOnReplace.
class TFindReplace {
public:
  bool FindHex = true;         // the find bar's edits hold hex bytes
  bool MatchCase = false;      // text searches ignore the case of ASCII letters
  bool StopReplace = false;    // the user answered Cancel to the prompt
  bool PromptOnReplace = true; // the dialog's "Prompt on replace"
  std::string FindPattern;
  std::string ReplacePattern;

  // The find bar's edits changed. False: invalid token, pattern cleared; the
  // caller clears the edit and beeps.
  bool SetFindText(std::string_view text);
  bool SetReplaceText(std::string_view text);
  bool CanFind() const { return !FindPattern.empty(); }
  bool CanReplace() const { return !FindPattern.empty() && !ReplacePattern.empty(); }
  // Flips FindHex and gives the edits' new texts.
  void ToggleHex(std::string& findText, std::string& replaceText);
  const char* HexCaption() const { return FindHex ? "Hex" : "Text"; }
  bool Exact() const { return FindHex || MatchCase; }

  bool Next(TXHexEdit& editor) const;
  bool Prev(TXHexEdit& editor) const;
  bool Replace(TXHexEdit& editor) const;
  // From offset 0, replaces until the search fails or the user cancels.
  // Returns the number of replacements.
  int ReplaceAll(TXHexEdit& editor);

  void BeforeReplace(bool& cancel);

  // The Replace dialog's "Replace All". Range: From and To are hex texts and
  // must satisfy From <= To < DataSize, else the box "Incorrect Range To
  // Value" / "Incorrect Range From Value" ("Scope Range Error") and nothing is
  // replaced. Hex mode compares bytes exactly; text mode ignores the case of
  // ASCII letters. Returns the number of replacements, or -1 on a range error.
  int ReplaceInScope(TXHexEdit& editor, bool hexMode, std::string_view findText,
                     std::string_view replaceText, bool global, std::string_view fromText,
                     std::string_view toText);

private:
  bool SetPattern(std::string_view text, std::string& pattern) const;
};
