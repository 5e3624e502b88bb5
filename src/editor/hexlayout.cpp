#include "editor/hexlayout.h"

#include <algorithm>

std::string OffsetSampleText(const THexCellFormat& format) {
  switch (format.OffsetMode) {
  case omHex:
    return std::string(static_cast<size_t>(std::clamp(format.OffsetDigits, 1, 8)), 'E') +
           format.OffsetSeparator;
  case omDec:
    return std::string(static_cast<size_t>(format.DecimalOffsetDigits()), '0') +
           format.OffsetSeparator;
  case omOctal:
    return "00000000" + format.OffsetSeparator;
  }
  return format.OffsetSeparator;
}

std::string DataSampleText(THexMode mode) {
  switch (mode) {
  case hmHex:
    return "AA";
  case hmDec:
  case hmOctal:
    return "000";
  case hmBin:
    return "00000000";
  }
  return "AA";
}

// ---------------------------------------------------------------- columns

void THexLayout::Compute() {
  BytesPerLine = std::max(BytesPerLine, 1);
  HexGroup = std::max(HexGroup, 1);
  Metrics.RowHeight = std::max(Metrics.RowHeight, 1);
  DataSize = std::max(DataSize, 0);
  int x = LeftMargin;
  if (OffsetVisible) x += Metrics.OffsetWidth + (HexPos == -1 ? Gap() : std::max(HexPos, 0));
  DataStart = x;
  if (HexVisible)
    TextStart = DataEnd() + (TextPos == -1 ? Gap() : std::max(TextPos, 0));
  else
    TextStart = DataStart;
}

int THexLayout::Gap() const {
  // Only -1 has a meaning below zero; a negative gap would overlap cells.
  return HexGap == -1 ? Metrics.WWidth / 2 : std::max(HexGap, 0);
}

int THexLayout::DataX(int cell) const {
  return DataStart + cell * Metrics.DataWidth + (cell / HexGroup) * Gap();
}

int THexLayout::DataEnd() const {
  return HexVisible ? DataX(BytesPerLine - 1) + Metrics.DataWidth : DataStart;
}

int THexLayout::TextX(int cell) const {
  return TextStart + cell * Metrics.TextWidth;
}

int THexLayout::TextEnd() const {
  return ShowsText() ? TextX(BytesPerLine) : DataEnd();
}

int THexLayout::RowWidth() const {
  return TextEnd() + LeftMargin;
}

// ---------------------------------------------------------------- rows

int THexLayout::VisibleRows() const {
  return std::max(1, (ClientHeight - TopMargin) / Metrics.RowHeight);
}

int32_t THexLayout::PageBytes() const {
  return BytesPerLine * (VisibleRows() - 1);
}

int32_t THexLayout::MaxFirstOffset() const {
  return std::max(0, RowStart(std::max(0, DataSize - PageBytes())));
}

int32_t THexLayout::ClampFirstOffset(int32_t first) const {
  return std::clamp(RowStart(std::max(first, 0)), 0, MaxFirstOffset());
}

int32_t THexLayout::ScrollToShow(int32_t first, int32_t caret) const {
  const int32_t row = RowStart(std::clamp(caret, 0, DataSize));
  if (row < first)
    first = row;
  else if (row > first + PageBytes())
    first = row - PageBytes();
  return ClampFirstOffset(first);
}

// ---------------------------------------------------------------- hit testing

THexHit THexLayout::HitTest(int x, int y, int32_t firstOffset) const {
  THexHit hit;
  const int dy = y - TopMargin;
  hit.Row = dy >= 0 ? dy / Metrics.RowHeight : -((-dy + Metrics.RowHeight - 1) / Metrics.RowHeight);
  int row = hit.Row;
  int cell = 0;
  const int textEnd = TextEnd();
  if (HexVisible && x < DataEnd()) {
    if (x >= DataStart && Metrics.DataWidth > 0) {
      const int groupWidth = HexGroup * Metrics.DataWidth + Gap();
      const int group = (x - DataStart) / groupWidth;
      const int within = (x - DataStart) - group * groupWidth;
      cell = std::min(group * HexGroup + std::min(within / Metrics.DataWidth, HexGroup - 1),
                      BytesPerLine - 1);
      hit.OnCell = x < DataX(cell) + Metrics.DataWidth;
    }
  } else if (ShowsText() && x >= TextStart && x < textEnd && Metrics.TextWidth > 0) {
    cell = std::min((x - TextStart) / Metrics.TextWidth, BytesPerLine - 1);
    hit.InText = true;
    hit.OnCell = true;
  } else if (ShowsText() && !HexVisible && x < TextStart) {
    hit.InText = true; // left of a lone text column: its first cell
  } else if (HexVisible && ShowsText() && x < TextStart) {
    ++row; // the gap between the columns: first data cell of the next row
  } else {
    ++row; // beyond the last cell: first cell of the next row in the last column
    hit.InText = ShowsText();
  }
  const int64_t offset = int64_t{firstOffset} + int64_t{row} * BytesPerLine + cell;
  hit.Offset = static_cast<int32_t>(std::clamp<int64_t>(offset, 0, DataSize));
  if (hit.OnCell && (offset < 0 || offset >= DataSize || hit.Row < 0 || hit.Row > VisibleRows()))
    hit.OnCell = false;
  return hit;
}

// ---------------------------------------------------------------- keyboard

THexMove THexLayout::Move(THexMoveKey key, int32_t caret, int32_t firstOffset) const {
  // One page is at least one row, so paging never gets stuck on a low view.
  const int32_t page = std::max(PageBytes(), BytesPerLine);
  int64_t to = caret;
  int32_t first = ClampFirstOffset(firstOffset);
  switch (key) {
  case mkLeft:
    to = int64_t{caret} - 1;
    break;
  case mkRight:
    to = int64_t{caret} + 1;
    break;
  case mkUp:
    to = int64_t{caret} - BytesPerLine;
    break;
  case mkDown:
    to = int64_t{caret} + BytesPerLine;
    break;
  case mkHome:
    to = RowStart(caret);
    break;
  case mkEnd:
    to = std::min(RowStart(caret) + BytesPerLine - 1, std::max(RowStart(caret), DataSize - 1));
    break;
  case mkCtrlHome:
    to = 0;
    break;
  case mkCtrlEnd:
    to = DataSize;
    break;
  case mkPageUp:
    if (first > 0) {
      const int32_t scrolled = ClampFirstOffset(first - page);
      to = int64_t{caret} - (first - scrolled); // the caret keeps its place on screen
      first = scrolled;
    } else {
      to = 0;
    }
    break;
  case mkPageDown:
    if (int64_t{caret} + page < DataSize) {
      to = int64_t{caret} + page;
      first = ClampFirstOffset(first + page);
    } else {
      to = DataSize;
    }
    break;
  }
  THexMove move;
  move.Caret = static_cast<int32_t>(std::clamp<int64_t>(to, 0, DataSize));
  move.FirstOffset = ScrollToShow(first, move.Caret);
  return move;
}

// ---------------------------------------------------------------- printing

int ClampPrintMargin(int margin, int pageSize, int lineSize) {
  return std::clamp(margin, 0, std::max(0, pageSize - std::max(lineSize, 0)));
}

int PrintLinesPerPage(int pageHeight, int topMargin, int lineHeight) {
  return std::max(1, (pageHeight - topMargin) / std::max(lineHeight, 1));
}

int32_t PrintRowCount(int32_t first, int32_t last, int bytesPerLine) {
  if (last < first || first < 0) return 0;
  const int32_t bpl = std::max(bytesPerLine, 1);
  return (last / bpl - first / bpl) + 1;
}

int32_t PrintPageCount(int32_t rows, int linesPerPage) {
  if (rows <= 0) return 0;
  const int32_t lines = std::max(linesPerPage, 1);
  return (rows + lines - 1) / lines;
}
