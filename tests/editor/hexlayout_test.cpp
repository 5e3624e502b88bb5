#include <gtest/gtest.h>

#include "editor/hexlayout.h"

namespace {

// Round numbers: offset cell 56, data cell 16, text cell and "W" 8, rows 16.
THexLayout MakeLayout(int32_t dataSize = 1000, int clientHeight = 2 + 16 * 10) {
  THexLayout l;
  l.Metrics = {56, 16, 8, 8, 16};
  l.ClientHeight = clientHeight;
  l.DataSize = dataSize;
  l.Compute();
  return l;
}

TEST(HexLayout, SampleTexts) {
  struct {
    TOffsetMode Mode;
    int Digits;
    const char* Expected;
  } const offsets[] = {
      {omHex, 6, "EEEEEE:"}, {omHex, 3, "EEE:"},        {omDec, 6, "00000000:"},
      {omDec, 4, "00000:"},  {omOctal, 3, "00000000:"}, {omHex, 12, "EEEEEEEE:"},
  };
  for (const auto& c : offsets) {
    THexCellFormat f;
    f.OffsetMode = c.Mode;
    f.OffsetDigits = c.Digits;
    EXPECT_EQ(OffsetSampleText(f), c.Expected) << c.Mode << "/" << c.Digits;
  }
  EXPECT_EQ(DataSampleText(hmHex), "AA");
  EXPECT_EQ(DataSampleText(hmDec), "000");
  EXPECT_EQ(DataSampleText(hmOctal), "000");
  EXPECT_EQ(DataSampleText(hmBin), "00000000");
}

TEST(HexLayout, ColumnPositions) {
  struct {
    const char* Name;
    int Group, Gap, HexPos, TextPos;
    bool Offset, Hex, Text;
    int Data0, Data1, Data4, DataEnd, Text0, Text1, RowWidth;
  } const cases[] = {
      // margin 3 + offset 56 + gap 4 = 63; cells 16 wide, a gap after each.
      {"defaults", 1, 4, -1, -1, true, true, true, 63, 83, 143, 379, 383, 391, 514},
      {"groups of four", 4, 4, -1, -1, true, true, true, 63, 79, 131, 331, 335, 343, 466},
      {"automatic gap is half a W", 1, -1, -1, -1, true, true, true, 63, 83, 143, 379, 383, 391,
       514},
      {"explicit column positions", 1, 4, 20, 10, true, true, true, 79, 99, 159, 395, 405, 413,
       536},
      {"no offset column", 1, 4, -1, -1, false, true, true, 3, 23, 83, 319, 323, 331, 454},
      {"no text column", 1, 4, -1, -1, true, true, false, 63, 83, 143, 379, -1, -1, 382},
      {"hidden data forces text", 1, 4, -1, -1, true, false, false, 63, -1, -1, 63, 63, 71, 194},
      {"negative gap other than -1 is none", 1, -7, -1, -1, true, true, true, 59, 75, 123, 315, 315,
       323, 446},
  };
  for (const auto& c : cases) {
    THexLayout l;
    l.Metrics = {56, 16, 8, 8, 16};
    l.HexGroup = c.Group;
    l.HexGap = c.Gap;
    l.HexPos = c.HexPos;
    l.TextPos = c.TextPos;
    l.OffsetVisible = c.Offset;
    l.HexVisible = c.Hex;
    l.TextVisible = c.Text;
    l.Compute();
    if (c.Data1 >= 0) {
      EXPECT_EQ(l.DataX(0), c.Data0) << c.Name;
      EXPECT_EQ(l.DataX(1), c.Data1) << c.Name;
      EXPECT_EQ(l.DataX(4), c.Data4) << c.Name;
    }
    EXPECT_EQ(l.DataEnd(), c.DataEnd) << c.Name;
    if (c.Text0 >= 0) {
      EXPECT_TRUE(l.ShowsText()) << c.Name;
      EXPECT_EQ(l.TextX(0), c.Text0) << c.Name;
      EXPECT_EQ(l.TextX(1), c.Text1) << c.Name;
    } else {
      EXPECT_FALSE(l.ShowsText()) << c.Name;
    }
    EXPECT_EQ(l.RowWidth(), c.RowWidth) << c.Name;
  }
}

TEST(HexLayout, RowsAndByteCountedScrolling) {
  struct {
    const char* Name;
    int32_t DataSize;
    int ClientHeight;
    int Rows;
    int32_t Page, MaxFirst;
  } const cases[] = {
      {"ten whole rows", 1000, 162, 10, 144, 848},
      {"a partial row does not count", 1000, 161, 9, 128, 864},
      {"a tiny view still has one row", 1000, 5, 1, 0, 992},
      {"data shorter than a page", 100, 162, 10, 144, 0},
      {"empty buffer", 0, 162, 10, 144, 0},
      // The caret's row past the last byte (offset 1024) must stay reachable.
      {"size a multiple of the row", 1024, 162, 10, 144, 880},
  };
  for (const auto& c : cases) {
    const THexLayout l = MakeLayout(c.DataSize, c.ClientHeight);
    EXPECT_EQ(l.VisibleRows(), c.Rows) << c.Name;
    EXPECT_EQ(l.PageBytes(), c.Page) << c.Name;
    EXPECT_EQ(l.MaxFirstOffset(), c.MaxFirst) << c.Name;
    EXPECT_EQ(l.MaxFirstOffset() % 16, 0) << c.Name;
    EXPECT_LE(l.MaxFirstOffset(), std::max(0, c.DataSize - c.Page)) << c.Name;
    // the row holding the caret at DataSize is visible at the bottom
    EXPECT_LE(l.RowStart(c.DataSize), l.MaxFirstOffset() + c.Page) << c.Name;
  }
  const THexLayout l = MakeLayout();
  EXPECT_EQ(l.ClampFirstOffset(37), 32) << "snapped to a row start";
  EXPECT_EQ(l.ClampFirstOffset(-50), 0);
  EXPECT_EQ(l.ClampFirstOffset(5000), 848);
  EXPECT_EQ(l.ScrollToShow(0, 150), 0) << "caret on the last whole row";
  EXPECT_EQ(l.ScrollToShow(0, 160), 16) << "one row below: scroll by one row";
  EXPECT_EQ(l.ScrollToShow(480, 100), 96) << "above: its row becomes the first";
  EXPECT_EQ(l.ScrollToShow(0, 1000), 848) << "caret at DataSize";
}

TEST(HexLayout, HitTesting) {
  // Rows start at y = 2; row 3 spans y 50..65. The view shows offset 64 first.
  struct {
    const char* Name;
    int Group, X, Y;
    int32_t Offset;
    bool InText, OnCell;
  } const cases[] = {
      {"first data cell", 1, 63, 2, 64, false, true},
      {"right half of a data cell", 1, 78, 50, 64 + 48, false, true},
      {"the gap after a cell belongs to it", 1, 80, 50, 112, false, false},
      {"second cell", 1, 83, 50, 113, false, true},
      {"last data cell", 1, 378, 50, 127, false, true},
      {"between the columns: next row's first data cell", 1, 380, 50, 128, false, false},
      {"first text cell", 1, 383, 50, 112, true, true},
      {"last text cell", 1, 510, 50, 127, true, true},
      {"beyond the text: next row's first text cell", 1, 600, 50, 128, true, false},
      {"in the offset column: the row's first data cell", 1, 10, 50, 112, false, false},
      {"groups of four: within a group", 4, 63 + 16 * 3 + 5, 2, 67, false, true},
      {"groups of four: the gap after a group", 4, 63 + 64 + 1, 2, 67, false, false},
      {"groups of four: next group", 4, 63 + 68, 2, 68, false, true},
      {"past the end of the data: clamped to DataSize", 1, 63, 2 + 16 * 9, 200, false, false},
      {"above the rows: rows before the first", 1, 63, -40, 16, false, false},
  };
  for (const auto& c : cases) {
    THexLayout l = MakeLayout(200);
    l.HexGroup = c.Group;
    l.Compute();
    const THexHit hit = l.HitTest(c.X, c.Y, 64);
    EXPECT_EQ(hit.Offset, c.Offset) << c.Name;
    EXPECT_EQ(hit.InText, c.InText) << c.Name;
    EXPECT_EQ(hit.OnCell, c.OnCell) << c.Name;
  }
}

TEST(HexLayout, HitTestingWithOneColumn) {
  THexLayout l = MakeLayout(200);
  l.TextVisible = false;
  l.Compute();
  THexHit hit = l.HitTest(400, 2, 0);
  EXPECT_EQ(hit.Offset, 16) << "beyond the data column: next row's first data cell";
  EXPECT_FALSE(hit.InText);

  l.TextVisible = true;
  l.HexVisible = false;
  l.Compute();
  hit = l.HitTest(10, 2, 0);
  EXPECT_EQ(hit.Offset, 0);
  EXPECT_TRUE(hit.InText) << "a lone text column takes every click";
  hit = l.HitTest(l.TextX(3) + 1, 2, 0);
  EXPECT_EQ(hit.Offset, 3);
  EXPECT_TRUE(hit.OnCell);
}

TEST(HexLayout, MovementKeys) {
  // 1000 bytes, 10 rows (page 144), the view shows offset 320 first.
  struct {
    const char* Name;
    THexMoveKey Key;
    int32_t Caret, First;
    int32_t ToCaret, ToFirst;
  } const cases[] = {
      {"right", mkRight, 330, 320, 331, 320},
      {"left at 0 stays", mkLeft, 0, 0, 0, 0},
      {"right at DataSize stays", mkRight, 1000, 848, 1000, 848},
      {"up", mkUp, 340, 320, 324, 320},
      {"up from the first row scrolls", mkUp, 325, 320, 309, 304},
      {"up in row 0 of the buffer", mkUp, 5, 0, 0, 0},
      {"down off the last row scrolls", mkDown, 470, 320, 486, 336},
      {"down near the end: DataSize", mkDown, 990, 848, 1000, 848},
      {"home", mkHome, 333, 320, 320, 320},
      {"end", mkEnd, 333, 320, 335, 320},
      {"end on the last, short row", mkEnd, 995, 848, 999, 848},
      {"end with the caret past the last byte", mkEnd, 1000, 848, 999, 848},
      {"ctrl+home", mkCtrlHome, 500, 480, 0, 0},
      {"ctrl+end", mkCtrlEnd, 5, 0, 1000, 848},
      {"page up keeps the caret's place on screen", mkPageUp, 350, 320, 206, 176},
      {"page up near the top scrolls what is left", mkPageUp, 70, 32, 38, 0},
      {"page up at the top: caret to 0", mkPageUp, 70, 0, 0, 0},
      {"page down", mkPageDown, 350, 320, 494, 464},
      {"page down with the view at the bottom still moves", mkPageDown, 850, 848, 994, 848},
      {"page down without a page left: DataSize", mkPageDown, 900, 848, 1000, 848},
  };
  const THexLayout l = MakeLayout();
  for (const auto& c : cases) {
    const THexMove m = l.Move(c.Key, c.Caret, c.First);
    EXPECT_EQ(m.Caret, c.ToCaret) << c.Name;
    EXPECT_EQ(m.FirstOffset, c.ToFirst) << c.Name;
  }
}

TEST(HexLayout, PagingNeverStallsOnAOneRowView) {
  const THexLayout l = MakeLayout(100, 10); // one row: the page is empty
  ASSERT_EQ(l.PageBytes(), 0);
  const THexMove m = l.Move(mkPageDown, 0, 0);
  EXPECT_EQ(m.Caret, 16);
  EXPECT_EQ(m.FirstOffset, 16);
}

TEST(HexLayout, PrintPages) {
  struct {
    const char* Name;
    int PageHeight, Margin, LineHeight;
    int ClampedMargin, Lines;
  } const cases[] = {
      {"a4 at 600 dpi", 6600, 300, 60, 300, 105},
      {"margin larger than the page", 500, 300000, 60, 440, 1},
      {"negative margin", 500, -20, 60, 0, 8},
      {"line taller than the page still prints", 50, 300, 60, 0, 1},
  };
  for (const auto& c : cases) {
    const int margin = ClampPrintMargin(c.Margin, c.PageHeight, c.LineHeight);
    EXPECT_EQ(margin, c.ClampedMargin) << c.Name;
    EXPECT_EQ(PrintLinesPerPage(c.PageHeight, margin, c.LineHeight), c.Lines) << c.Name;
  }
  struct {
    int32_t First, Last;
    int Bpl;
    int32_t Rows;
    int Lines;
    int32_t Pages;
  } const ranges[] = {
      {0, 255, 16, 16, 10, 2}, {5, 5, 16, 1, 10, 1},  {15, 16, 16, 2, 1, 2},
      {0, -1, 16, 0, 10, 0},   {0, 99, 8, 13, 13, 1}, {0, 16777215, 16, 1048576, 105, 9987},
  };
  for (const auto& r : ranges) {
    EXPECT_EQ(PrintRowCount(r.First, r.Last, r.Bpl), r.Rows) << r.First << ".." << r.Last;
    EXPECT_EQ(PrintPageCount(r.Rows, r.Lines), r.Pages) << r.First << ".." << r.Last;
  }
}

} // namespace
