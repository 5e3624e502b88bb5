#pragma once

#include <cstdint>
#include <string>

#include "editor/hexcells.h"

// Pixel sizes measured by the widget in its fonts; everything else about the
// hex view's geometry is computed here, so it is testable without a display.
struct THexMetrics {
  int OffsetWidth = 0; // OffsetSampleText in the offset font
  int DataWidth = 0;   // DataSampleText in the hex font
  int TextWidth = 0;   // "W" in the text font
  int WWidth = 0;      // "W" in the text font (half of it is the automatic gap)
  int RowHeight = 1;   // the largest line height of the three fonts
};

// The strings whose widths make the cells: the widest offset with its
// separator, and the widest data text.
std::string OffsetSampleText(const THexCellFormat& format);
std::string DataSampleText(THexMode mode);

// Where a point of the view lands.
struct THexHit {
  int32_t Offset = 0;  // clamped to 0 .. DataSize (the caret's range)
  bool InText = false; // text column (else data column)
  bool OnCell = false; // over a byte's cell (the hover hint's rule)
  int Row = 0;         // visible row, may be < 0 or >= VisibleRows for points outside
};

// Keys the view moves the caret with.
enum THexMoveKey {
  mkLeft,
  mkRight,
  mkUp,
  mkDown,
  mkHome,
  mkEnd,
  mkPageUp,
  mkPageDown,
  mkCtrlHome,
  mkCtrlEnd
};

// Where a movement key leaves the caret and the first visible offset.
struct THexMove {
  int32_t Caret = 0;
  int32_t FirstOffset = 0;
};

// Layout of the offset, data and text columns, the byte-counted vertical
// scrolling and the keyboard's caret movement.
class THexLayout {
public:
  static constexpr int LeftMarginDefault = 3;
  static constexpr int TopMarginDefault = 2;

  // ---- settings (call Compute after changing any of them)
  int BytesPerLine = 16;
  int HexGroup = 1; // gap after every HexGroup data cells
  int HexGap = 4;   // -1: half the width of "W"
  int HexPos = -1;  // extra space before the data column; -1: the gap
  int TextPos = -1; // extra space before the text column; -1: the gap
  bool OffsetVisible = true;
  bool HexVisible = true;
  bool TextVisible = true; // forced on while the data column is hidden
  int LeftMargin = LeftMarginDefault;
  int TopMargin = TopMarginDefault;
  THexMetrics Metrics;
  int ClientHeight = 0;
  int32_t DataSize = 0;

  void Compute();

  // ---- columns (content x, before horizontal scrolling)
  int Gap() const;
  bool ShowsText() const { return TextVisible || !HexVisible; }
  int OffsetX() const { return LeftMargin; }
  int DataX(int cell) const;
  int DataEnd() const; // right edge of the last data cell
  int TextX(int cell) const;
  int TextEnd() const;
  int RowWidth() const; // full row width plus the margin, for horizontal scrolling

  // ---- rows and vertical scrolling (in bytes)
  int RowY(int row) const { return TopMargin + row * Metrics.RowHeight; }
  int VisibleRows() const;   // whole rows, at least 1
  int32_t PageBytes() const; // BytesPerLine x (visible rows - 1)
  int32_t MaxFirstOffset() const;
  // A scroll position snapped to a row start and kept in range.
  int32_t ClampFirstOffset(int32_t first) const;
  int32_t RowStart(int32_t offset) const { return offset - offset % BytesPerLine; }
  // The first visible offset that shows `caret`, moving as little as possible.
  int32_t ScrollToShow(int32_t first, int32_t caret) const;

  // ---- hit testing (x in content coordinates, y in viewport coordinates)
  THexHit HitTest(int x, int y, int32_t firstOffset) const;

  // ---- keyboard
  THexMove Move(THexMoveKey key, int32_t caret, int32_t firstOffset) const;

private:
  int DataStart = 0;
  int TextStart = 0;
};

// Printing: margins kept on the page with room for a line, and the lines a
// page holds (at least one, so printing always ends).
int ClampPrintMargin(int margin, int pageSize, int lineSize);
int PrintLinesPerPage(int pageHeight, int topMargin, int lineHeight);
// Rows of a byte range [first, last] printed as whole rows, and the pages.
int32_t PrintRowCount(int32_t first, int32_t last, int bytesPerLine);
int32_t PrintPageCount(int32_t rows, int linesPerPage);
