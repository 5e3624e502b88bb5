#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/findreplace.h"
#include "editor/search.h"
#include "editor/xhexedit.h"
#include "support/recorderservices.h"

namespace {

void Fill(TXHexEdit& e, std::string_view text) {
  e.NewData("t", static_cast<int32_t>(text.size()) - 1);
  std::memcpy(e.Data(), text.data(), text.size());
}

std::string Text(const TXHexEdit& e) {
  return std::string(reinterpret_cast<const char*>(e.Data()), static_cast<size_t>(e.DataSize()));
}

const std::string NotFound = "Warning|String or Hex Data not Found";

TEST(Search, SkipTableSearchOverRawMemory) {
  struct {
    const char* Name;
    std::string Buffer, Pattern;
    bool Exact;
    int64_t Limit, From;
    bool Forward;
    int64_t Expected;
  } const cases[] = {
      {"match at from is skipped", "abcabc", "abc", true, 5, 0, true, 3},
      {"from -1 sees offset 0", "abcabc", "abc", true, 5, -1, true, 0},
      {"letters fold to lower case", "xxAB", "ab", false, 3, -1, true, 2},
      {"pattern folds too", "xxab", "AB", false, 3, -1, true, 2},
      {"exact does not fold", "xxAB", "ab", true, 3, -1, true, -1},
      {"folding is ASCII letters only", "\xC1", "\xE1", false, 0, -1, true, -1},
      {"limit bounds the match's last byte", "aaXab", "ab", true, 3, -1, true, -1},
      {"limit reached exactly", "aaXab", "ab", true, 4, -1, true, 3},
      {"limit past the end is clamped", "ab", "ab", true, 99, -1, true, 0},
      {"empty pattern", "ab", "", true, 1, -1, true, -1},
      {"pattern longer than the buffer", "ab", "abc", true, 1, -1, true, -1},
      {"shift on a repeated last byte", "aaaaab", "aab", true, 5, -1, true, 3},
      {"backward starts before from", "abcabc", "abc", true, 0, 3, false, 0},
      {"backward finds the nearest", "abcabcabc", "abc", true, 0, 9, false, 6},
      {"backward window past the end not compared", "xabc", "abc", true, 0, 4, false, 1},
      {"backward limit", "abcXabc", "abc", true, 1, 7, false, 4},
      {"backward limit excludes", "abcX", "abc", true, 1, 4, false, -1},
      {"backward folds", "AbC", "abc", false, 0, 3, false, 0},
      {"backward from 0 still looks at 0", "abc", "abc", true, 0, 0, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SearchBytes(reinterpret_cast<const uint8_t*>(c.Buffer.data()),
                          static_cast<int64_t>(c.Buffer.size()), c.Pattern, c.Exact, c.Limit,
                          c.From, c.Forward),
              c.Expected)
        << c.Name;
  }
}

TEST(Search, FindMovesCaretAndSelection) {
  TRecorderServices rec;
  TServicesScope scope(rec);
  TXHexEdit e;
  Fill(e, "xxABxxab");
  e.SetCaretOffset(2);
  ASSERT_TRUE(e.Find("ab", false, true)) << "the occurrence at the caret is skipped";
  EXPECT_EQ(e.CaretOffset(), 6);
  int32_t s, t;
  EXPECT_TRUE(e.GetSelection(s, t));
  EXPECT_EQ(s, 6);
  EXPECT_EQ(t, 7);
  ASSERT_TRUE(e.Find("ab", false, false));
  EXPECT_EQ(e.CaretOffset(), 2);
  EXPECT_FALSE(e.Find("zz", true, true));
  EXPECT_EQ(e.CaretOffset(), 8);
  EXPECT_FALSE(e.Find("zz", true, false));
  EXPECT_EQ(e.CaretOffset(), 0);
  EXPECT_EQ(rec.Boxes, (std::vector<std::string>{NotFound, NotFound}));
}

TEST(FindPatterns, FindBarAndDialogHexTokens) {
  struct {
    const char* Text;
    bool BarOk;
    std::string Bar;
    bool DialogOk;
    std::string Dialog;
  } const cases[] = {
      {"12 3", true, "\x12", true, "\x12\x03"},
      {"12 34", true, "\x12\x34", true, "\x12\x34"},
      {"1", true, "", true, "\x01"},
      {"1G", false, "", false, ""},
      {"1 2 ", true, std::string("\x01\x02"), true, std::string("\x01\x02")},
      {"  ab", true, "\xAB", true, "\xAB"},
      {"00 ff", true, std::string("\x00\xFF", 2), true, std::string("\x00\xFF", 2)},
  };
  for (const auto& c : cases) {
    std::string bytes;
    EXPECT_EQ(ParseFindBarHex(c.Text, bytes), c.BarOk) << c.Text;
    if (c.BarOk) {
      EXPECT_EQ(bytes, c.Bar) << c.Text;
    }
    EXPECT_EQ(ParseDialogHex(c.Text, bytes), c.DialogOk) << c.Text;
    if (c.DialogOk) {
      EXPECT_EQ(bytes, c.Dialog) << c.Text;
    }
  }
  std::string many;
  for (int i = 0; i < 70; ++i)
    many += "AB";
  std::string bytes;
  ASSERT_TRUE(ParseFindBarHex(many, bytes));
  EXPECT_EQ(bytes.size(), 64u);
  EXPECT_EQ(PatternToHexText(std::string("\x0A\xFF", 2)), "0A FF ");
}

TEST(FindReplace, FindBarEditsAndToggle) {
  TFindReplace fr;
  EXPECT_TRUE(fr.SetFindText("12 3"));
  EXPECT_EQ(fr.FindPattern, "\x12");
  EXPECT_TRUE(fr.SetFindText("12 34"));
  EXPECT_EQ(fr.FindPattern, "\x12\x34");
  EXPECT_TRUE(fr.CanFind());
  EXPECT_FALSE(fr.CanReplace());
  EXPECT_FALSE(fr.SetFindText("1G"));
  EXPECT_FALSE(fr.CanFind());
  fr.SetFindText("41 42");
  fr.SetReplaceText("43 ");
  std::string findText, replaceText;
  fr.ToggleHex(findText, replaceText);
  EXPECT_STREQ(fr.HexCaption(), "Text");
  EXPECT_EQ(findText, "AB");
  EXPECT_EQ(replaceText, "C");
  EXPECT_FALSE(fr.Exact()) << "text searches ignore case";
  fr.SetFindText(std::string(70, 'x'));
  EXPECT_EQ(fr.FindPattern.size(), 64u);
  fr.ToggleHex(findText, replaceText);
  EXPECT_STREQ(fr.HexCaption(), "Hex");
  EXPECT_EQ(replaceText, "43 ");
}

struct TReplaceCase {
  const char* Name;
  std::string Buffer;
  bool Hex;
  std::string Find, Replace;
  std::vector<TAnswer> Answers; // empty: no prompting
  std::string Expected;
  int Count;
};

TEST(FindReplace, ReplaceAllFromTheFindBar) {
  const TReplaceCase cases[] = {
      {"match at offset 0, replacement holds the pattern", "AA", false, "A", "BA", {}, "BABA", 2},
      {"text mode ignores case", "aXa", false, "A", "b", {}, "bXb", 2},
      {"hex mode is exact", "Aa", true, "41 ", "42 ", {}, "Ba", 1},
      {"shrinking replacement", "abab", false, "ab", "c", {}, "cc", 2},
      {"No skips one match",
       "aaa",
       false,
       "a",
       "b",
       {TAnswer::No, TAnswer::Yes, TAnswer::Yes},
       "abb",
       2},
      {"Cancel ends the run", "aaa", false, "a", "b", {TAnswer::Yes, TAnswer::Cancel}, "baa", 1},
      {"no match", "xyz", false, "a", "b", {}, "xyz", 0},
  };
  for (const auto& c : cases) {
    TRecorderServices rec;
    TServicesScope scope(rec);
    rec.Answers.assign(c.Answers.begin(), c.Answers.end());
    TXHexEdit e;
    TFindReplace fr;
    fr.PromptOnReplace = !c.Answers.empty();
    fr.FindHex = c.Hex;
    e.OnBeforeReplace = [&](TXHexEdit&, int32_t, int32_t, bool& cancel) {
      fr.BeforeReplace(cancel);
    };
    Fill(e, c.Buffer);
    fr.SetFindText(c.Find);
    fr.SetReplaceText(c.Replace);
    EXPECT_EQ(fr.ReplaceAll(e), c.Count) << c.Name;
    EXPECT_EQ(Text(e), c.Expected) << c.Name;
    EXPECT_TRUE(rec.Answers.empty()) << c.Name << ": every scripted answer was asked for";
  }
}

TEST(FindReplace, ReplaceNextReplacesTheFoundMatchAndIsOneUndoStep) {
  TRecorderServices rec;
  TServicesScope scope(rec);
  TXHexEdit e;
  TFindReplace fr;
  fr.FindHex = false;
  Fill(e, "one two two");
  fr.SetFindText("two");
  fr.SetReplaceText("2");
  ASSERT_TRUE(fr.Next(e));
  EXPECT_EQ(e.CaretOffset(), 4);
  ASSERT_TRUE(fr.Replace(e));
  EXPECT_EQ(Text(e), "one 2 two");
  EXPECT_EQ(e.CaretOffset(), 5);
  EXPECT_TRUE(e.Modified());
  e.Undo();
  EXPECT_EQ(Text(e), "one two two");
  EXPECT_FALSE(e.Modified());

  int beeps = 0;
  e.OnBeep = [&](TXHexEdit&) { ++beeps; };
  fr.ReplacePattern.clear();
  EXPECT_FALSE(fr.Replace(e)) << "an empty replacement replaces nothing";
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(Text(e), "one two two");
}

TEST(FindReplace, ReplaceDialogScope) {
  struct TDialogCase {
    const char* Name;
    std::string Buffer;
    bool Hex;
    std::string Find, Replace;
    bool Global;
    std::string From, To;
    std::vector<TAnswer> Answers;
    std::string Expected;
    int Count;
    std::vector<std::string> Boxes;
  };
  std::string range(0x30, 'a');
  std::string rangeDone = range;
  for (int i = 0x10; i <= 0x1F; ++i)
    rangeDone[static_cast<size_t>(i)] = 'b';
  const TDialogCase cases[] = {
      {"global, text mode folds case", "aAxa", false, "a", "b", true, "", "", {}, "bbxb", 3, {}},
      {"hex mode is exact", "Aa", true, "41", "42", true, "", "", {}, "Ba", 1, {}},
      {"range keeps to 10h..1Fh", range, false, "a", "b", false, "10", "1F", {}, rangeDone, 16, {}},
      {"a match crossing the range end is left",
       "xaab",
       false,
       "ab",
       "Z",
       false,
       "0",
       "2",
       {},
       "xaab",
       0,
       {}},
      {"range end follows a growing buffer",
       "aaaa",
       false,
       "a",
       "bb",
       false,
       "1",
       "2",
       {},
       "abbbba",
       2,
       {}},
      {"Cancel at the first prompt",
       "aaa",
       false,
       "a",
       "b",
       true,
       "",
       "",
       {TAnswer::Cancel},
       "aaa",
       0,
       {"Confirm|Replace?"}},
      {"No then Yes",
       "aa",
       false,
       "a",
       "b",
       true,
       "",
       "",
       {TAnswer::No, TAnswer::Yes},
       "ab",
       1,
       {"Confirm|Replace?", "Confirm|Replace?"}},
      {"To beyond the buffer",
       "aaaa",
       false,
       "a",
       "b",
       false,
       "0",
       "4",
       {},
       "aaaa",
       -1,
       {"Scope Range Error|Incorrect Range To Value"}},
      {"To not hex",
       "aaaa",
       false,
       "a",
       "b",
       false,
       "0",
       "",
       {},
       "aaaa",
       -1,
       {"Scope Range Error|Incorrect Range To Value"}},
      {"From above To",
       "aaaa",
       false,
       "a",
       "b",
       false,
       "3",
       "2",
       {},
       "aaaa",
       -1,
       {"Scope Range Error|Incorrect Range From Value"}},
      {"From not hex",
       "aaaa",
       false,
       "a",
       "b",
       false,
       "x",
       "2",
       {},
       "aaaa",
       -1,
       {"Scope Range Error|Incorrect Range From Value"}},
  };
  for (const auto& c : cases) {
    TRecorderServices rec;
    TServicesScope scope(rec);
    rec.Answers.assign(c.Answers.begin(), c.Answers.end());
    TXHexEdit e;
    TFindReplace fr;
    fr.PromptOnReplace = !c.Answers.empty();
    e.OnBeforeReplace = [&](TXHexEdit&, int32_t, int32_t, bool& cancel) {
      fr.BeforeReplace(cancel);
    };
    Fill(e, c.Buffer);
    EXPECT_EQ(fr.ReplaceInScope(e, c.Hex, c.Find, c.Replace, c.Global, c.From, c.To), c.Count)
        << c.Name;
    EXPECT_EQ(Text(e), c.Expected) << c.Name;
    EXPECT_EQ(rec.Boxes, c.Boxes) << c.Name;
  }
}

} // namespace
