#include <gtest/gtest.h>

#include "support/tempdir.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor/xhexedit.h"
#include "support/recorderservices.h"

namespace {

using TBytes = std::vector<uint8_t>;

void Fill(TXHexEdit& e, const TBytes& bytes) {
  e.NewData("test.bin", static_cast<int32_t>(bytes.size()) - 1);
  if (!bytes.empty()) std::memcpy(e.Data(), bytes.data(), bytes.size());
}

TBytes Bytes(const TXHexEdit& e) {
  return TBytes(e.Data(), e.Data() + e.DataSize());
}

void Type(TXHexEdit& e, const std::string& keys) {
  for (char c : keys)
    e.TypeChar(c);
}

// Restores the process-wide modes a test changed.
struct TSharedModes {
  ~TSharedModes() {
    TXHexEdit::SetInsertMode(false);
    TXHexEdit probe;
    probe.SetHexMode(hmHex);
    probe.SetMaxUndo(25);
  }
};

TEST(XHexEditBuffer, SizeCapacityAndStaleBytes) {
  TXHexEdit e;
  EXPECT_EQ(e.DataSize(), 0);
  Fill(e, {1, 2, 3, 4, 5, 6, 7, 8});
  e.SetLastIndex(-1);
  EXPECT_EQ(e.DataSize(), 0);
  e.SetLastIndex(7);
  EXPECT_EQ(Bytes(e), (TBytes{1, 2, 3, 4, 5, 6, 7, 8})) << "old bytes come back, not zeros";
  e.SetLastIndex(2);
  const int32_t capacity = e.Capacity();
  e.SetLastIndex(capacity + 99);
  EXPECT_GE(e.Capacity(), capacity + 100);
  EXPECT_EQ(e.GetByte(5), 6) << "stale byte inside the old capacity";
  EXPECT_EQ(e.GetByte(capacity + 50), 0) << "new capacity is zero-filled";
  e.SetLastIndex(-5); // below -1: ignored
  EXPECT_EQ(e.DataSize(), capacity + 100);
}

TEST(XHexEditBuffer, OutOfRangeBytesAreHarmless) {
  TXHexEdit e;
  Fill(e, {9, 8});
  e.SetByte(-1, 1);
  e.SetByte(2, 1);
  e.SetByte(1, 7);
  EXPECT_EQ(Bytes(e), (TBytes{9, 7}));
  EXPECT_EQ(e.GetByte(-1), 0);
  EXPECT_EQ(e.GetByte(2), 0);
  EXPECT_FALSE(e.Modified()) << "SetByte does not mark the document";
  EXPECT_FALSE(e.CanUndo());
}

TEST(XHexEditBuffer, MoveBlockInsertsAndDeletes) {
  struct {
    const char* Name;
    int32_t From, Last, To;
    TBytes Expected;
  } const cases[] = {
      {"gap of 2 at 1 keeps stale bytes", 1, 4, 3, {0, 1, 2, 1, 2, 3, 4}},
      {"delete [1,2]", 3, 4, 1, {0, 3, 4}},
      {"delete to the end", 5, 4, 2, {0, 1}},
      {"append at the end", 5, 4, 6, {0, 1, 2, 3, 4, 0}},
  };
  for (const auto& c : cases) {
    TXHexEdit e;
    Fill(e, {0, 1, 2, 3, 4});
    e.MoveBlock(c.From, c.Last, c.To);
    EXPECT_EQ(Bytes(e), c.Expected) << c.Name;
  }
}

TEST(XHexEditBuffer, SelectionIsNormalisedBeforeUse) {
  TXHexEdit e;
  Fill(e, {0, 1, 2, 3, 4, 5});
  int32_t first, last;
  e.SetSelection(true, 4, 1);
  ASSERT_TRUE(e.NormalisedSelection(first, last));
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 4);
  int32_t s, t;
  EXPECT_TRUE(e.GetSelection(s, t));
  EXPECT_EQ(s, 4) << "the stored pair stays as set";
  e.SetSelection(true, -3, 99);
  ASSERT_TRUE(e.NormalisedSelection(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 5);
  e.SetSelection(false, 1, 2);
  EXPECT_FALSE(e.NormalisedSelection(first, last));
}

TEST(XHexEditBuffer, OperationsIgnoreASelectionLeftBeyondAShrunkenBuffer) {
  TXHexEdit e;
  Fill(e, TBytes(16, 0x11));
  e.SetSelection(true, 10, 15);
  e.SetLastIndex(7); // a smaller device: the remembered range is now outside
  const std::vector<std::pair<const char*, std::function<bool()>>> ops = {
      {"FillSelection", [&] { return e.FillSelection(0xFF); }},
      {"FillCounter", [&] { return e.FillCounter(); }},
      {"FillRandom", [&] { return e.FillRandom(); }},
      {"SwapBytes", [&] { return e.SwapBytes(); }},
  };
  for (const auto& [name, op] : ops) {
    EXPECT_FALSE(op()) << name;
    EXPECT_EQ(Bytes(e), TBytes(8, 0x11)) << name;
    EXPECT_FALSE(e.CanUndo()) << name;
    EXPECT_FALSE(e.Modified()) << name;
  }
}

TEST(XHexEditBuffer, KeyboardSelectionFollowsTheAnchor) {
  TXHexEdit e;
  Fill(e, TBytes(10));
  e.SetCaretOffset(4);
  int32_t s, t;
  e.MoveCaret(6, true);
  ASSERT_TRUE(e.GetSelection(s, t));
  EXPECT_EQ(s, 4);
  EXPECT_EQ(t, 5);
  e.MoveCaret(2, true);
  ASSERT_TRUE(e.GetSelection(s, t));
  EXPECT_EQ(s, 2);
  EXPECT_EQ(t, 3);
  e.MoveCaret(4, true);
  EXPECT_FALSE(e.SelActive()) << "caret back on the anchor";
  e.MoveCaret(7, true);
  e.MoveCaret(8, false);
  EXPECT_FALSE(e.SelActive());
  e.SetCaretOffset(99);
  EXPECT_EQ(e.CaretOffset(), 10) << "clamped to DataSize";
}

// ---------------------------------------------------------------- typing

TEST(XHexEditTyping, DigitsAndCharacters) {
  TSharedModes restore;
  struct TCase {
    const char* Name;
    THexMode Mode;
    bool TextColumn;
    bool Insert;
    TBytes Start;
    int32_t Caret;
    std::string Keys;
    TBytes Expected;
    int32_t CaretAfter;
    int Beeps;
  };
  const TCase cases[] = {
      {"hex 4 then 1 over 00", hmHex, false, false, {0, 0}, 0, "41", {0x41, 0}, 1, 0},
      {"hex first digit only", hmHex, false, false, {0xFF}, 0, "4", {0x04}, 0, 0},
      {"hex lower-case digits", hmHex, false, false, {0, 0}, 0, "ab", {0xAB, 0}, 1, 0},
      {"invalid hex digit beeps", hmHex, false, false, {7}, 0, "g", {7}, 0, 1},
      {"decimal 3 0 0: 300 beeps, 30 stays", hmDec, false, false, {0, 0}, 0, "300", {30, 0}, 0, 1},
      {"decimal 2 5 5", hmDec, false, false, {0, 0}, 0, "255", {255, 0}, 1, 0},
      {"octal 3 7 7", hmOctal, false, false, {0, 0}, 0, "377", {255, 0}, 1, 0},
      {"octal rejects 8", hmOctal, false, false, {0}, 0, "8", {0}, 0, 1},
      {"binary eight digits", hmBin, false, false, {0, 0}, 0, "10000001", {0x81, 0}, 1, 0},
      {"appends at DataSize in overwrite mode", hmHex, false, false, {1}, 1, "7", {1, 7}, 1, 0},
      {"insert mode inserts", hmHex, false, true, {1, 2}, 1, "AB", {1, 0xAB, 2}, 2, 0},
      {"text column types the code", hmHex, true, false, {0, 0, 0}, 0, "Hi", {'H', 'i', 0}, 2, 0},
      {"text column ignores control codes", hmHex, true, false, {0}, 0, "\t", {0}, 0, 0},
  };
  for (const auto& c : cases) {
    TXHexEdit e;
    int beeps = 0;
    e.OnBeep = [&](TXHexEdit&) { ++beeps; };
    e.SetHexMode(c.Mode);
    TXHexEdit::SetInsertMode(c.Insert);
    e.CaretInText = c.TextColumn;
    Fill(e, c.Start);
    e.SetCaretOffset(c.Caret);
    Type(e, c.Keys);
    EXPECT_EQ(Bytes(e), c.Expected) << c.Name;
    EXPECT_EQ(e.CaretOffset(), c.CaretAfter) << c.Name;
    EXPECT_EQ(beeps, c.Beeps) << c.Name;
  }
}

TEST(XHexEditTyping, OverflowStillMarksModifiedAndEndsTheByte) {
  TSharedModes restore;
  TXHexEdit e;
  e.SetHexMode(hmDec);
  Fill(e, {0, 0});
  Type(e, "30");
  EXPECT_EQ(e.DigitsTyped(), 2);
  e.SetModified(false);
  Type(e, "0");
  EXPECT_TRUE(e.Modified());
  EXPECT_EQ(e.DigitsTyped(), 0);
  EXPECT_EQ(e.GetByte(0), 30);
  Type(e, "5"); // a new byte starts at the same caret
  EXPECT_EQ(e.GetByte(0), 5);
}

TEST(XHexEditTyping, SelectionIsReplacedByTheTypedByte) {
  TXHexEdit e;
  Fill(e, {1, 2, 3, 4});
  e.SetSelection(true, 2, 1);
  Type(e, "EE");
  EXPECT_EQ(Bytes(e), (TBytes{1, 0xEE, 4}));
  EXPECT_FALSE(e.SelActive());
  EXPECT_EQ(e.CaretOffset(), 2);
}

TEST(XHexEditTyping, OnChangeFiresForTypedBytesOnly) {
  TXHexEdit e;
  std::vector<std::pair<int32_t, uint8_t>> changes;
  e.OnChange = [&](TXHexEdit&, uint8_t value, int32_t offset) {
    changes.emplace_back(offset, value);
  };
  Fill(e, {0, 0, 0});
  Type(e, "41");
  e.SetSelection(true, 2, 2);
  e.FillSelection(9);
  e.PasteHex("77");
  EXPECT_EQ(changes, (std::vector<std::pair<int32_t, uint8_t>>{{0, 0x04}, {0, 0x41}}));
}

TEST(XHexEditTyping, ReadOnlyBlocksEditingButNotFills) {
  TXHexEdit e;
  Fill(e, {1, 2, 3});
  e.ReadOnly = true;
  TClipboardData clip;
  clip.HasText = true;
  clip.Text = "xy";
  Type(e, "5");
  e.SetSelection(true, 0, 1);
  EXPECT_FALSE(e.DeleteAtCaret());
  EXPECT_FALSE(e.CutToClipboard(clip));
  EXPECT_FALSE(e.PasteFromClipboard(clip));
  EXPECT_FALSE(e.PasteHex("AA"));
  EXPECT_EQ(Bytes(e), (TBytes{1, 2, 3}));
  EXPECT_FALSE(e.Modified());
  EXPECT_TRUE(e.FillSelection(0));
  EXPECT_EQ(Bytes(e), (TBytes{0, 0, 3}));
}

// ---------------------------------------------------------------- undo and redo

struct TState {
  TBytes Data;
  bool Sel;
  int32_t SelStart, SelEnd; // checked only when Sel
  int32_t Caret;
  bool Modified, CanUndo, CanRedo;
};

void ExpectState(const TXHexEdit& e, const TState& s, const std::string& where) {
  EXPECT_EQ(Bytes(e), s.Data) << where;
  EXPECT_EQ(e.SelActive(), s.Sel) << where;
  if (s.Sel) {
    int32_t a, b;
    e.GetSelection(a, b);
    EXPECT_EQ(a, s.SelStart) << where;
    EXPECT_EQ(b, s.SelEnd) << where;
  }
  EXPECT_EQ(e.CaretOffset(), s.Caret) << where;
  EXPECT_EQ(e.Modified(), s.Modified) << where;
  EXPECT_EQ(e.CanUndo(), s.CanUndo) << where;
  EXPECT_EQ(e.CanRedo(), s.CanRedo) << where;
}

TEST(XHexEditHistory, StepsReplayBytesSelectionCaretAndFlags) {
  TSharedModes restore;
  struct TStep {
    std::function<void(TXHexEdit&)> Do;
    TState After;
  };
  struct TCase {
    const char* Name;
    TBytes Start;
    std::vector<TStep> Steps;
  };
  auto undo = [](TXHexEdit& e) { e.Undo(); };
  auto redo = [](TXHexEdit& e) { e.Redo(); };
  const TBytes five = {1, 2, 3, 4, 5, 6, 7};
  const TCase cases[] = {
      {"two digits are two overwrite steps",
       {0, 0},
       {{[](TXHexEdit& e) { Type(e, "41"); }, {{0x41, 0}, false, 0, 0, 1, true, true, false}},
        {undo, {{0x04, 0}, false, 0, 0, 0, true, true, true}},
        {undo, {{0, 0}, false, 0, 0, 0, false, false, true}},
        {redo, {{0x04, 0}, false, 0, 0, 0, true, true, true}},
        {redo, {{0x41, 0}, false, 0, 0, 0, true, true, false}}}},
      {"paste of 3 bytes over a 5-byte selection",
       five,
       {{[](TXHexEdit& e) {
           e.SetSelection(true, 1, 5);
           e.PasteHex("AA BB CC");
         },
         {{1, 0xAA, 0xBB, 0xCC, 7}, true, 1, 3, 4, true, true, false}},
        {undo, {five, true, 1, 5, 6, false, false, true}},
        {redo, {{1, 0xAA, 0xBB, 0xCC, 7}, true, 1, 3, 4, true, true, false}}}},
      {"a single inserted byte",
       {1, 2},
       {{[](TXHexEdit& e) {
           TXHexEdit::SetInsertMode(true);
           e.SetCaretOffset(1);
           Type(e, "9");
           TXHexEdit::SetInsertMode(false);
         },
         {{1, 9, 2}, false, 0, 0, 1, true, true, false}},
        {undo, {{1, 2}, false, 0, 0, 1, false, false, true}},
        {redo, {{1, 9, 2}, false, 0, 0, 2, true, true, false}}}},
      {"deleting the last byte",
       {1, 2, 3},
       {{[](TXHexEdit& e) {
           e.SetCaretOffset(2);
           EXPECT_TRUE(e.DeleteAtCaret());
         },
         {{1, 2}, false, 0, 0, 2, true, true, false}},
        {undo, {{1, 2, 3}, false, 0, 0, 3, false, false, true}}}},
      {"delete at DataSize records nothing",
       {1, 2},
       {{[](TXHexEdit& e) {
           e.SetCaretOffset(2);
           EXPECT_FALSE(e.DeleteAtCaret());
         },
         {{1, 2}, false, 0, 0, 2, false, false, false}}}},
      {"cut a selection, undo selects it again",
       five,
       {{[](TXHexEdit& e) {
           TClipboardData clip;
           e.SetSelection(true, 2, 4);
           EXPECT_TRUE(e.CutToClipboard(clip));
         },
         {{1, 2, 6, 7}, false, 0, 0, 2, true, true, false}},
        {undo, {five, true, 2, 4, 5, false, false, true}}}},
      {"undo then a new edit: no redo",
       {0, 0},
       {{[](TXHexEdit& e) { Type(e, "1"); }, {{1, 0}, false, 0, 0, 0, true, true, false}},
        {undo, {{0, 0}, false, 0, 0, 0, false, false, true}},
        {[](TXHexEdit& e) {
           e.SetCaretOffset(1);
           Type(e, "2");
         },
         {{0, 2}, false, 0, 0, 1, true, true, false}},
        {redo, {{0, 2}, false, 0, 0, 1, true, true, false}}}},
      {"fill and swap are in-place replace steps",
       {1, 2, 3, 4},
       {{[](TXHexEdit& e) {
           e.SetSelection(true, 0, 3);
           e.SwapBytes();
         },
         {{2, 1, 4, 3}, true, 0, 3, 0, true, true, false}},
        {[](TXHexEdit& e) { e.FillCounter(); }, {{0, 1, 2, 3}, true, 0, 3, 0, true, true, false}},
        {undo, {{2, 1, 4, 3}, true, 0, 3, 4, true, true, true}},
        {undo, {{1, 2, 3, 4}, true, 0, 3, 4, false, false, true}}}},
  };
  for (const auto& c : cases) {
    TXHexEdit e;
    Fill(e, c.Start);
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      c.Steps[i].Do(e);
      ExpectState(e, c.Steps[i].After, std::string(c.Name) + ", step " + std::to_string(i + 1));
    }
  }
}

TEST(XHexEditHistory, FullRingDropsTheOldestSteps) {
  TXHexEdit e;
  ASSERT_EQ(e.History().Capacity(), 25);
  Fill(e, TBytes(30, 0));
  for (int i = 0; i < 30; ++i) {
    e.SetCaretOffset(i);
    Type(e, "F");
  }
  int undone = 0;
  while (e.CanUndo()) {
    e.Undo();
    ++undone;
  }
  EXPECT_EQ(undone, 25);
  TBytes expected(30, 0);
  for (int i = 0; i < 5; ++i)
    expected[static_cast<size_t>(i)] = 0x0F;
  EXPECT_EQ(Bytes(e), expected);
  e.Undo(); // the 26th does nothing
  EXPECT_EQ(Bytes(e), expected);
  int redone = 0;
  while (e.CanRedo()) {
    e.Redo();
    ++redone;
  }
  EXPECT_EQ(redone, 25);
  EXPECT_EQ(Bytes(e), TBytes(30, 0x0F));
}

TEST(XHexEditHistory, SizeChangesOutsideTheHistoryClearIt) {
  const std::vector<std::pair<const char*, std::function<void(TXHexEdit&)>>> changes = {
      {"SetLastIndex", [](TXHexEdit& e) { e.SetLastIndex(1); }},
      {"MoveBlock", [](TXHexEdit& e) { e.MoveBlock(2, 3, 1); }},
      {"NewData", [](TXHexEdit& e) { e.NewData("other", 3); }},
  };
  for (const auto& [name, change] : changes) {
    TXHexEdit e;
    Fill(e, {1, 2, 3, 4});
    e.SetSelection(true, 0, 3);
    e.PasteHex("AA BB CC DD EE"); // 5 bytes now, one step
    ASSERT_TRUE(e.CanUndo());
    change(e);
    EXPECT_FALSE(e.CanUndo()) << name;
    EXPECT_FALSE(e.CanRedo()) << name;
    const TBytes before = Bytes(e);
    e.Undo();
    EXPECT_EQ(Bytes(e), before) << name;
  }
  TXHexEdit same; // a resize to the same size keeps the steps
  Fill(same, {1, 2});
  Type(same, "5");
  same.SetLastIndex(1);
  EXPECT_TRUE(same.CanUndo());
}

TEST(XHexEditHistory, MaxUndoIsSharedAndRecreatesTheRing) {
  TSharedModes restore;
  TXHexEdit e;
  Fill(e, {0});
  Type(e, "1");
  for (int bad : {0, -1, 5000}) {
    e.SetMaxUndo(bad);
    EXPECT_EQ(TXHexEdit::MaxUndo(), 25) << bad;
    EXPECT_TRUE(e.CanUndo()) << bad;
  }
  e.SetMaxUndo(30);
  EXPECT_EQ(TXHexEdit::MaxUndo(), 30);
  EXPECT_EQ(e.History().Capacity(), 30);
  EXPECT_FALSE(e.CanUndo());
  TXHexEdit other;
  EXPECT_EQ(other.History().Capacity(), 30) << "new editors take the shared value";
}

TEST(XHexEditHistory, UndoRedoAnnouncesTheFlags) {
  TXHexEdit e;
  std::vector<std::pair<bool, bool>> flags;
  e.OnUndoRedo = [&](TXHexEdit&, bool u, bool r) { flags.emplace_back(u, r); };
  Fill(e, {0});
  flags.clear();
  Type(e, "1");
  e.Undo();
  e.Undo(); // nothing to undo: only re-announces
  EXPECT_EQ(flags,
            (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}, {false, true}}));
}

// ---------------------------------------------------------------- clipboard

TEST(XHexEditClipboard, CopyGivesBothFormats) {
  TXHexEdit e;
  Fill(e, {0x41, 0x0A, 0x42});
  e.SetSelection(true, 0, 1);
  TClipboardData clip;
  ASSERT_TRUE(e.CopyToClipboard(clip));
  EXPECT_EQ(clip.Text, "41 0A ");
  EXPECT_EQ(clip.HexText, (TBytes{2, 0, 0, 0, 0x41, 0x0A}));
  e.CaretInText = true;
  ASSERT_TRUE(e.CopyToClipboard(clip));
  EXPECT_EQ(clip.Text, "A.");
  e.SetSelection(false, 0, 1);
  EXPECT_FALSE(e.CopyToClipboard(clip));
}

TEST(XHexEditClipboard, PastePrefersTheHexFormatAndTrustsOnlyThePresentBytes) {
  struct {
    const char* Name;
    TClipboardData Clip;
    bool Pasted;
    TBytes Expected;
  } const cases[] = {
      {"hex format", {true, "zz", true, {2, 0, 0, 0, 0xAA, 0xBB}}, true, {1, 0xAA, 0xBB, 2}},
      {"count larger than the bytes",
       {false, "", true, {0xFF, 0xFF, 0xFF, 0x7F, 0xCC}},
       true,
       {1, 0xCC, 2}},
      {"count smaller than the bytes",
       {false, "", true, {1, 0, 0, 0, 0xCC, 0xDD}},
       true,
       {1, 0xCC, 2}},
      {"header cut short", {false, "", true, {1, 0}}, false, {1, 2}},
      {"text taken as bytes", {true, "4A", false, {}}, true, {1, '4', 'A', 2}},
      {"nothing pasteable", {false, "", false, {}}, false, {1, 2}},
  };
  for (const auto& c : cases) {
    TXHexEdit e;
    Fill(e, {1, 2});
    e.SetCaretOffset(1);
    EXPECT_EQ(e.PasteFromClipboard(c.Clip), c.Pasted) << c.Name;
    EXPECT_EQ(Bytes(e), c.Expected) << c.Name;
  }
}

TEST(XHexEditClipboard, PasteHexTokens) {
  struct {
    const char* Text;
    bool Ok;
    TBytes Expected; // the whole buffer after pasting at offset 0 of {0xEE}
  } const cases[] = {
      {"41 42", true, {0x41, 0x42, 0xEE}},
      {"1,2;3", true, {1, 2, 3, 0xEE}},
      {"ABC", true, {0xAB, 0x0C, 0xEE}},
      {"4\r\n5", true, {4, 5, 0xEE}},
      {"  a  ,;b ", true, {0x0A, 0x0B, 0xEE}},
      {"4G", false, {0xEE}},
      {"41 x", false, {0xEE}},
      {"", false, {0xEE}},
      {" ;, ", false, {0xEE}},
  };
  for (const auto& c : cases) {
    TXHexEdit e;
    Fill(e, {0xEE});
    EXPECT_EQ(e.PasteHex(c.Text), c.Ok) << c.Text;
    EXPECT_EQ(Bytes(e), c.Expected) << c.Text;
    if (c.Ok) {
      int32_t s, t;
      EXPECT_TRUE(e.GetSelection(s, t)) << c.Text;
      EXPECT_EQ(e.CaretOffset(), t + 1) << c.Text;
    }
  }
}

TEST(XHexEditEditing, BackspaceDeletesBeforeTheCaret) {
  TXHexEdit e;
  Fill(e, {1, 2, 3});
  EXPECT_FALSE(e.Backspace()) << "caret at 0";
  e.SetCaretOffset(3);
  EXPECT_TRUE(e.Backspace());
  EXPECT_EQ(Bytes(e), (TBytes{1, 2}));
  EXPECT_EQ(e.CaretOffset(), 2);
}

TEST(XHexEditEditing, ModifiedFollowsSaveEditUndo) {
  TRecorderServices rec;
  TServicesScope scope(rec);
  const std::string path = TestTempPath("xhexedit_modified.bin").string();
  std::remove(path.c_str());
  TXHexEdit e;
  std::vector<bool> seen;
  e.OnModified = [&](TXHexEdit&, bool m) { seen.push_back(m); };
  Fill(e, {1, 2});
  Type(e, "7");
  ASSERT_TRUE(e.SaveToFile(path));
  EXPECT_FALSE(e.Modified());
  EXPECT_FALSE(e.CanUndo()) << "saving clears the history";
  Type(e, "8");
  EXPECT_TRUE(e.Modified());
  e.Undo();
  EXPECT_FALSE(e.Modified());
  EXPECT_EQ(seen, (std::vector<bool>{false, true, false, true, false}));
}

} // namespace

namespace {

TEST(XHexEditBuffer, FileTitleDropsTheFolderAndEverythingFromTheFirstDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/u/firmware.v2.hex", "firmware"},
      {"C:\\work\\dump.bin", "dump"},
      {"Untited1", "Untited1"},
      {"rel/dir.d/image", "image"}, // a dot in a folder name is not the file's
  };
  for (const auto& [name, title] : cases) {
    SCOPED_TRACE(name);
    TXHexEdit e;
    e.NewData(name, 0);
    EXPECT_EQ(e.GetFileTitle(), title);
  }
}

} // namespace
