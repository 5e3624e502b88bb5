#include "editor/ui/xhexeditview.h"

#include "editor/ui/hexglyphs.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

const char* const TXHexEditView::HexTextMimeType =
    "application/x-qt-windows-mime;value=\"CF_HexText\"";

namespace {

QPointer<TXHexEditView> LastFocusedView;

bool IsMoveKey(int key) {
  switch (key) {
  case Qt::Key_Left:
  case Qt::Key_Right:
  case Qt::Key_Up:
  case Qt::Key_Down:
  case Qt::Key_Home:
  case Qt::Key_End:
  case Qt::Key_PageUp:
  case Qt::Key_PageDown:
    return true;
  default:
    return false;
  }
}

THexMoveKey MoveKeyOf(int key) {
  switch (key) {
  case Qt::Key_Left:
    return mkLeft;
  case Qt::Key_Right:
    return mkRight;
  case Qt::Key_Up:
    return mkUp;
  case Qt::Key_Down:
    return mkDown;
  case Qt::Key_Home:
    return mkHome;
  case Qt::Key_End:
    return mkEnd;
  case Qt::Key_PageUp:
    return mkPageUp;
  default:
    return mkPageDown;
  }
}

} // namespace

struct TXHexEditView::TPainterCache {
  THexGlyphFont Offset, Hex, Text;
  bool FontsValid = false;
  THexMode DataMode = hmHex;
  std::array<std::array<char, 9>, 256> DataTexts{};
  bool DataTextsValid = false;
  THexGlyphBatch OffsetBatch, HexBatch, TextBatch;
};

// ---------------------------------------------------------------- construction

TXHexEditView::TXHexEditView(QWidget* parent)
    : QAbstractScrollArea(parent), Cache(std::make_unique<TPainterCache>()) {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  OffsetFont = HexFont = TextFont = fixed;
  PrintFont = QFont(QStringLiteral("Courier New"), 10);
  PrintFont.setStyleHint(QFont::TypeWriter);
  const QPalette pal = palette();
  BGColor = pal.color(QPalette::Base);
  HighLightColor = pal.color(QPalette::Highlight);
  HighLightTextColor = pal.color(QPalette::HighlightedText);
  OffsetColor = HexColor = TextColor = pal.color(QPalette::Text);

  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setCursor(Qt::IBeamCursor);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  verticalScrollBar()->setSingleStep(16);
  horizontalScrollBar()->setSingleStep(10);

  BufferValue.OnRefreshView = [this](TXHexEdit&) {
    LayoutValue.DataSize = BufferValue.DataSize();
    LayoutValue.Compute();
    FirstOffset = LayoutValue.ClampFirstOffset(FirstOffset);
    // An operation that moved the caret (paste, undo, find) brings it into view.
    if (BufferValue.CaretOffset() != LastCaretShown) ScrollToCaret();
    UpdateScrollBars();
    viewport()->update();
  };
  BufferValue.OnResetView = [this](TXHexEdit&) {
    Relayout();
    FirstOffset = LayoutValue.ScrollToShow(LayoutValue.ClampFirstOffset(FirstOffset),
                                           BufferValue.CaretOffset());
    LastCaretShown = BufferValue.CaretOffset();
    UpdateScrollBars();
    viewport()->update();
    if (isVisible()) {
      if (!isWindow()) raise(); // in front of its siblings on the page
      setFocus();
    }
  };
  BufferValue.OnBeep = [](TXHexEdit&) { QApplication::beep(); };

  // A flash time of 0 or less means the desktop wants a steady caret.
  BlinkTimer.setInterval(std::max(QApplication::cursorFlashTime() / 2, 1));
  connect(&BlinkTimer, &QTimer::timeout, this, [this] { BlinkCaret(); });

  AutoScrollTimer.setInterval(50);
  connect(&AutoScrollTimer, &QTimer::timeout, this, [this] { AutoScrollTick(); });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    if (hasFocus()) FirePasteEnable();
  });
  BuildBuiltInMenu();
  Relayout();
}

TXHexEditView::~TXHexEditView() {
  BufferValue.OnRefreshView = nullptr;
  BufferValue.OnResetView = nullptr;
  BufferValue.OnBeep = nullptr;
}

TXHexEdit& TXHexEditView::Buffer() {
  return BufferValue;
}

THexCellFormat& TXHexEditView::CellFormat() {
  return Format;
}

TXHexEditView* TXHexEditView::LastFocused() {
  return LastFocusedView.data();
}

// ---------------------------------------------------------------- settings

void TXHexEditView::SetBytesPerLine(int n) {
  if (n <= 0 || n >= 255) return;
  Format.BytesPerLine = n;
  Relayout();
  ScrollToCaret();
  viewport()->update();
}

int TXHexEditView::BytesPerLine() const {
  return Format.BytesPerLine;
}

void TXHexEditView::SetOffsetMode(TOffsetMode m) {
  Format.OffsetMode = m;
  Relayout();
  viewport()->update();
}

TOffsetMode TXHexEditView::OffsetMode() const {
  return Format.OffsetMode;
}

void TXHexEditView::SetHexMode(THexMode m) {
  Format.HexMode = m;
  BufferValue.SetHexMode(m);
  Relayout();
  viewport()->update();
}

THexMode TXHexEditView::HexMode() const {
  return Format.HexMode;
}

void TXHexEditView::CycleBytesPerLine() {
  SetBytesPerLine(NextBytesPerLine(Format.BytesPerLine));
}

void TXHexEditView::CycleOffsetMode() {
  SetOffsetMode(NextOffsetMode(Format.OffsetMode));
}

void TXHexEditView::CycleHexMode() {
  SetHexMode(NextHexMode(Format.HexMode));
}

void TXHexEditView::SetFonts(const QFont& offset, const QFont& hex, const QFont& text) {
  OffsetFont = offset;
  HexFont = hex;
  TextFont = text;
  Cache->FontsValid = false;
  Relayout();
  viewport()->update();
}

void TXHexEditView::SetColours(const QColor& bg, const QColor& highlight,
                               const QColor& highlightText) {
  BGColor = bg;
  HighLightColor = highlight;
  HighLightTextColor = highlightText;
  viewport()->update();
}

void TXHexEditView::SetTextColours(const QColor& offset, const QColor& hex, const QColor& text) {
  OffsetColor = offset;
  HexColor = hex;
  TextColor = text;
  viewport()->update();
}

void TXHexEditView::SetHexGroup(int group) {
  if (group <= 0) return;
  LayoutValue.HexGroup = group;
  Relayout();
  viewport()->update();
}

void TXHexEditView::SetHexGap(int gap) {
  LayoutValue.HexGap = gap;
  Relayout();
  viewport()->update();
}

void TXHexEditView::SetHexPos(int pos) {
  LayoutValue.HexPos = pos;
  Relayout();
  viewport()->update();
}

void TXHexEditView::SetTextPos(int pos) {
  LayoutValue.TextPos = pos;
  Relayout();
  viewport()->update();
}

void TXHexEditView::SetColumnsVisible(bool offset, bool hex, bool text) {
  LayoutValue.OffsetVisible = offset;
  LayoutValue.HexVisible = hex;
  LayoutValue.TextVisible = text || !hex;
  if (!hex) BufferValue.CaretInText = true;
  if (!LayoutValue.TextVisible) BufferValue.CaretInText = false;
  Relayout();
  viewport()->update();
}

void TXHexEditView::SetTextAllChars(bool all) {
  Format.TextAllChars = all;
  viewport()->update();
}

void TXHexEditView::SetOffsetDigits(int digits) {
  if (digits < 1 || digits > 8) return;
  Format.OffsetDigits = digits;
  Relayout();
  viewport()->update();
}

// ---------------------------------------------------------------- layout

void TXHexEditView::Relayout() {
  if (Format.BytesPerLine <= 0 || Format.BytesPerLine >= 255) Format.BytesPerLine = 16;
  if (BufferValue.HexMode() != Format.HexMode) BufferValue.SetHexMode(Format.HexMode);
  const QFontMetrics fo(OffsetFont), fh(HexFont), ft(TextFont);
  THexMetrics& m = LayoutValue.Metrics;
  m.OffsetWidth = fo.horizontalAdvance(QString::fromStdString(OffsetSampleText(Format)));
  m.DataWidth = fh.horizontalAdvance(QString::fromStdString(DataSampleText(Format.HexMode)));
  m.TextWidth = m.WWidth = ft.horizontalAdvance(QLatin1Char('W'));
  m.RowHeight = std::max({fo.height(), fh.height(), ft.height()});
  LayoutValue.BytesPerLine = Format.BytesPerLine;
  LayoutValue.ClientHeight = viewport()->height();
  LayoutValue.DataSize = BufferValue.DataSize();
  LayoutValue.Compute();
  FirstOffset = LayoutValue.ClampFirstOffset(FirstOffset);
  UpdateScrollBars();
}

void TXHexEditView::UpdateScrollBars() {
  QScrollBar* v = verticalScrollBar();
  const QSignalBlocker block(v);
  v->setRange(0, LayoutValue.MaxFirstOffset());
  v->setSingleStep(LayoutValue.BytesPerLine);
  v->setPageStep(std::max(LayoutValue.PageBytes(), LayoutValue.BytesPerLine));
  v->setValue(FirstOffset);
  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, std::max(0, LayoutValue.RowWidth() - viewport()->width()));
  h->setPageStep(std::max(1, viewport()->width()));
  h->setSingleStep(10);
}

void TXHexEditView::scrollContentsBy(int, int) {
  const int32_t value = verticalScrollBar()->value();
  FirstOffset = LayoutValue.ClampFirstOffset(value);
  if (value != FirstOffset) {
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setValue(FirstOffset);
  }
  viewport()->update();
}

void TXHexEditView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  LayoutValue.ClientHeight = viewport()->height();
  LayoutValue.Compute();
  FirstOffset = LayoutValue.ClampFirstOffset(FirstOffset);
  UpdateScrollBars();
}

void TXHexEditView::RefreshView() {
  BufferValue.RefreshView();
}

void TXHexEditView::ResetView() {
  BufferValue.ResetView();
}

void TXHexEditView::BlinkCaret() {
  CaretOn = !CaretOn;
  viewport()->update();
}

void TXHexEditView::ScrollToCaret() {
  CaretOn = true;
  if (BlinkTimer.isActive()) BlinkTimer.start(); // a full period before it hides
  LastCaretShown = BufferValue.CaretOffset();
  FirstOffset = LayoutValue.ScrollToShow(FirstOffset, LastCaretShown);
  UpdateScrollBars();
  viewport()->update();
}

int TXHexEditView::VisibleRows() const {
  return LayoutValue.VisibleRows();
}

int32_t TXHexEditView::FirstVisibleOffset() const {
  return FirstOffset;
}

void TXHexEditView::SetFirstVisibleOffset(int32_t offset) {
  FirstOffset = LayoutValue.ClampFirstOffset(offset);
  UpdateScrollBars();
  viewport()->update();
}

const THexLayout& TXHexEditView::Layout() const {
  return LayoutValue;
}

// ---------------------------------------------------------------- painting

void TXHexEditView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  PaintRows(painter, event->rect());
  DrawCarets(painter);
}

void TXHexEditView::PaintRows(QPainter& painter, const QRect& clip) {
  TPainterCache& c = *Cache;
  if (!c.FontsValid) {
    c.Offset.Build(OffsetFont);
    c.Hex.Build(HexFont);
    c.Text.Build(TextFont);
    c.FontsValid = true;
  }
  if (!c.DataTextsValid || c.DataMode != Format.HexMode) {
    for (int b = 0; b < 256; ++b) {
      const std::string t = Format.DataText(static_cast<uint8_t>(b));
      auto& slot = c.DataTexts[static_cast<size_t>(b)];
      slot.fill(0);
      std::copy_n(t.begin(), std::min<size_t>(t.size(), 8), slot.begin());
    }
    c.DataMode = Format.HexMode;
    c.DataTextsValid = true;
  }
  painter.fillRect(clip, BGColor);

  const THexLayout& l = LayoutValue;
  const int dx = -horizontalScrollBar()->value();
  const int rowH = l.Metrics.RowHeight;
  const int bpl = l.BytesPerLine;
  const int32_t size = BufferValue.DataSize();
  const uint8_t* data = BufferValue.Data();
  int32_t selFirst = 0, selLast = -1;
  BufferValue.NormalisedSelection(selFirst, selLast);
  const bool showHex = l.HexVisible, showText = l.ShowsText();
  const QRgb hexRgb = HexColor.rgba(), textRgb = TextColor.rgba(),
             selRgb = HighLightTextColor.rgba();

  c.OffsetBatch.Reset(&c.Offset, &OffsetFont);
  c.HexBatch.Reset(&c.Hex, &HexFont);
  c.TextBatch.Reset(&c.Text, &TextFont);
  const int rows = l.VisibleRows() + 1; // plus the partly visible one
  for (int r = 0; r < rows; ++r) {
    const int y = l.RowY(r);
    if (y > clip.bottom()) break;
    if (y + rowH <= clip.top()) continue;
    const int64_t rowOffset = int64_t{FirstOffset} + int64_t{r} * bpl;
    if (rowOffset >= size) break; // rows beyond the end stay blank
    const int count = static_cast<int>(std::min<int64_t>(bpl, size - rowOffset));
    const auto row = static_cast<int32_t>(rowOffset);

    // selection background of this row
    const int32_t a = std::max(selFirst, row), b = std::min(selLast, row + count - 1);
    if (a <= b) {
      if (showHex)
        painter.fillRect(QRect(l.DataX(a - row) + dx, y,
                               l.DataX(b - row) + l.Metrics.DataWidth - l.DataX(a - row), rowH),
                         HighLightColor);
      if (showText)
        painter.fillRect(QRect(l.TextX(a - row) + dx, y, (b - a + 1) * l.Metrics.TextWidth, rowH),
                         HighLightColor);
    }

    if (l.OffsetVisible)
      c.OffsetBatch.AddText(Format.OffsetText(row).c_str(), l.OffsetX() + dx,
                            c.Offset.Baseline(y, rowH), OffsetColor.rgba());
    const int hexBase = c.Hex.Baseline(y, rowH), textBase = c.Text.Baseline(y, rowH);
    for (int i = 0; i < count; ++i) {
      const int32_t off = row + i;
      const uint8_t value = data[off];
      const bool selected = off >= selFirst && off <= selLast;
      if (showHex) {
        QRgb rgb = hexRgb;
        QColor custom;
        if (OnDrawHex && OnDrawHex(off, custom)) rgb = custom.rgba();
        if (selected) rgb = selRgb;
        c.HexBatch.AddText(c.DataTexts[value].data(), l.DataX(i) + dx, hexBase, rgb);
      }
      if (showText) {
        QRgb rgb = textRgb;
        QColor custom;
        if (OnDrawText && OnDrawText(off, custom)) rgb = custom.rgba();
        if (selected) rgb = selRgb;
        const auto ch = static_cast<uint8_t>(Format.CharText(value));
        c.TextBatch.Add(ch, l.TextX(i) + dx + (l.Metrics.TextWidth - c.Text.Advance[ch]) / 2,
                        textBase, rgb);
      }
    }
  }
  c.OffsetBatch.Draw(painter);
  c.HexBatch.Draw(painter);
  c.TextBatch.Draw(painter);
}

void TXHexEditView::DrawCarets(QPainter& painter) {
  if (!hasFocus()) return;
  const THexLayout& l = LayoutValue;
  const int32_t caret = BufferValue.CaretOffset();
  if (caret < FirstOffset) return;
  const int row = (caret - FirstOffset) / l.BytesPerLine;
  if (row > l.VisibleRows()) return;
  const int cell = (caret - FirstOffset) % l.BytesPerLine;
  const int dx = -horizontalScrollBar()->value();
  const int y = l.RowY(row), h = l.Metrics.RowHeight;
  const bool inText = BufferValue.CaretInText && l.ShowsText();
  const QRect dataCell(l.DataX(cell) + dx, y, l.Metrics.DataWidth, h);
  const QRect textCell(l.TextX(cell) + dx, y, l.Metrics.TextWidth, h);
  const QRect& active = inText ? textCell : dataCell;
  if (CaretOn) painter.fillRect(QRect(active.left(), y, 2, h), inText ? TextColor : HexColor);

  if (!(l.HexVisible && l.TextVisible) || InactiveCaret == icNone) return;
  const QRect& twin = inText ? dataCell : textCell;
  switch (InactiveCaret) {
  case icFrame:
  case icDotFrame:
    painter.setPen(
        QPen(InactiveCaretColor, 1, InactiveCaret == icFrame ? Qt::SolidLine : Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(twin.adjusted(0, 0, -1, -1));
    break;
  case icUnderLine:
  case icInvertRectangle: {
    const QRect area = InactiveCaret == icUnderLine
                           ? QRect(twin.left(), twin.bottom() - 1, twin.width(), 2)
                           : twin;
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(area, Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    break;
  }
  case icNone:
    break;
  }
}

// ---------------------------------------------------------------- keyboard

// The editing keys belong to the focused editor, not to a window shortcut
// that happens to share them.
bool TXHexEditView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int k = key->key();
    bool own = false;
    if (mods == Qt::ControlModifier) {
      own = k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_Insert || k == Qt::Key_C ||
            k == Qt::Key_V || k == Qt::Key_X || k == Qt::Key_Y || k == Qt::Key_Z;
    } else if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
      own = k == Qt::Key_Home || k == Qt::Key_End;
    } else if (!(mods & (Qt::ControlModifier | Qt::AltModifier))) {
      own = IsMoveKey(k) || k == Qt::Key_Insert || k == Qt::Key_Delete || k == Qt::Key_Backspace ||
            k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab || k == Qt::Key_Backtab ||
            (!key->text().isEmpty() && key->text().front().unicode() >= 0x20 &&
             key->text().front().unicode() != 0x7F);
    }
    if (own) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

bool TXHexEditView::focusNextPrevChild(bool next) {
  if (WantTab) return false; // Tab switches the caret's column
  return QAbstractScrollArea::focusNextPrevChild(next);
}

void TXHexEditView::MoveTo(int32_t caret, bool extend) {
  BufferValue.MoveCaret(caret, extend);
  ScrollToCaret();
}

bool TXHexEditView::HandleMoveKey(QKeyEvent* event) {
  const int key = event->key();
  if (!IsMoveKey(key)) return false;
  BufferValue.EndByteInProgress();
  const THexMove move = LayoutValue.Move(MoveKeyOf(key), BufferValue.CaretOffset(), FirstOffset);
  FirstOffset = move.FirstOffset;
  MoveTo(move.Caret, event->modifiers() & Qt::ShiftModifier);
  return true;
}

void TXHexEditView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const bool shift = mods & Qt::ShiftModifier;
  const bool alt = mods & Qt::AltModifier;
  const int key = event->key();

  if (ctrl && !alt) {
    if (shift && key != Qt::Key_Home && key != Qt::Key_End) {
      event->ignore();
      return;
    }
    switch (key) {
    case Qt::Key_Home:
      MoveTo(0, shift);
      break;
    case Qt::Key_End:
      MoveTo(BufferValue.DataSize(), shift);
      break;
    case Qt::Key_Insert:
    case Qt::Key_C:
      CopyToClipboard();
      break;
    case Qt::Key_V:
      PasteFromClipboard();
      break;
    case Qt::Key_X:
      CutToClipboard();
      break;
    case Qt::Key_Y:
      BufferValue.Redo();
      break;
    case Qt::Key_Z:
      BufferValue.Undo();
      break;
    default:
      event->ignore();
      return;
    }
    return;
  }
  if (shift && key == Qt::Key_Insert) {
    PasteFromClipboard();
    return;
  }
  if (HandleMoveKey(event)) return;

  switch (key) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    BufferValue.EndByteInProgress();
    MoveTo(BufferValue.CaretOffset() + 1, false);
    return;
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    BufferValue.EndByteInProgress();
    if (LayoutValue.HexVisible && LayoutValue.TextVisible)
      BufferValue.CaretInText = !BufferValue.CaretInText;
    MoveTo(BufferValue.CaretOffset(), false);
    return;
  case Qt::Key_Backspace:
    BufferValue.Backspace();
    ScrollToCaret();
    return;
  case Qt::Key_Delete:
    BufferValue.DeleteAtCaret();
    ScrollToCaret();
    return;
  case Qt::Key_Insert:
    BufferValue.EndByteInProgress();
    BufferValue.ToggleInsertMode();
    MoveTo(BufferValue.CaretOffset(), false);
    return;
  default:
    break;
  }

  const QString text = event->text();
  if (alt || text.isEmpty() || text.front().unicode() < 0x20 || text.front().unicode() == 0x7F) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  for (QChar ch : text) {
    const int b = HexCharToByte(ch);
    if (b < 0) {
      QApplication::beep(); // no single byte for it
      continue;
    }
    BufferValue.TypeChar(static_cast<char>(b));
  }
  ScrollToCaret();
}

// ---------------------------------------------------------------- mouse

THexHit TXHexEditView::HitAt(const QPoint& viewportPos) const {
  return LayoutValue.HitTest(viewportPos.x() + horizontalScrollBar()->value(), viewportPos.y(),
                             FirstOffset);
}

QString TXHexEditView::HintAt(const QPoint& viewportPos) const {
  const THexHit hit = HitAt(viewportPos);
  if (!hit.OnCell) return {};
  return QString::fromStdString(Format.OffsetText(hit.Offset));
}

bool TXHexEditView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString hint = HintAt(help->pos());
    if (hint.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), hint, viewport());
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void TXHexEditView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint pos = event->position().toPoint();
  LastMousePos = pos;
  const THexHit hit = HitAt(pos);
  int32_t first, last;
  if (DragAndDropEnable && hit.OnCell && BufferValue.NormalisedSelection(first, last) &&
      hit.Offset >= first && hit.Offset <= last) {
    DraggingSelection = true;
    viewport()->setCursor(Qt::DragMoveCursor);
    return;
  }
  BufferValue.EndByteInProgress();
  BufferValue.CaretInText = hit.InText;
  BufferValue.MoveCaret(hit.Offset, false);
  BufferValue.SetAnchor(hit.Offset);
  Selecting = true;
  AutoScrollTimer.start();
  ScrollToCaret();
}

void TXHexEditView::DragTo(const QPoint& viewportPos) {
  // Outside the rows the caret follows along the nearest whole row.
  const int lastRowY = LayoutValue.RowY(LayoutValue.VisibleRows() - 1);
  const int y = std::clamp(viewportPos.y(), LayoutValue.TopMargin, lastRowY);
  const THexHit hit = HitAt(QPoint(viewportPos.x(), y));
  if (hit.Offset != BufferValue.CaretOffset()) {
    BufferValue.MoveCaret(hit.Offset, true);
    LastCaretShown = BufferValue.CaretOffset();
    viewport()->update();
  }
}

void TXHexEditView::mouseMoveEvent(QMouseEvent* event) {
  LastMousePos = event->position().toPoint();
  if (Selecting) DragTo(LastMousePos);
}

void TXHexEditView::AutoScrollTick() {
  if (!Selecting) {
    AutoScrollTimer.stop();
    return;
  }
  int32_t first = FirstOffset;
  if (LastMousePos.y() < 0)
    first -= LayoutValue.BytesPerLine;
  else if (LastMousePos.y() >= viewport()->height())
    first += LayoutValue.BytesPerLine;
  else
    return;
  SetFirstVisibleOffset(first);
  DragTo(LastMousePos);
}

void TXHexEditView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  AutoScrollTimer.stop();
  const QPoint pos = event->position().toPoint();
  if (DraggingSelection) {
    DraggingSelection = false;
    viewport()->setCursor(Qt::IBeamCursor);
    const int32_t drop = HitAt(pos).Offset;
    int32_t first, last;
    if (!BufferValue.NormalisedSelection(first, last)) return;
    if (drop >= first && drop <= last + 1) {
      // Dropped onto itself: a plain click.
      BufferValue.MoveCaret(HitAt(pos).Offset, false);
      ScrollToCaret();
      return;
    }
    // Moved through a private clipboard, so the user's clipboard is kept.
    TClipboardData moved;
    if (!BufferValue.CutToClipboard(moved)) return;
    const int32_t count = last - first + 1;
    BufferValue.SetCaretOffset(drop > last ? drop - count : drop);
    BufferValue.PasteFromClipboard(moved);
    ScrollToCaret();
    return;
  }
  if (Selecting) {
    Selecting = false;
    int32_t start, end;
    if (BufferValue.GetSelection(start, end) && BufferValue.SelActive() &&
        end > BufferValue.DataSize() - 1)
      BufferValue.SetSelection(true, start, BufferValue.DataSize() - 1);
    viewport()->update();
  }
}

void TXHexEditView::wheelEvent(QWheelEvent* event) {
  WheelRemainder += event->angleDelta().y();
  const int notches = WheelRemainder / 120;
  WheelRemainder -= notches * 120;
  if (notches) SetFirstVisibleOffset(FirstOffset - notches * LayoutValue.BytesPerLine);
  event->accept();
}

// ---------------------------------------------------------------- focus

void TXHexEditView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  LastFocusedView = this;
  // The digit set is shared by all editors: typing here follows this view's mode.
  BufferValue.SetHexMode(Format.HexMode);
  CaretOn = true;
  if (QApplication::cursorFlashTime() > 0) BlinkTimer.start();
  viewport()->update();
  if (OnGetFocus) OnGetFocus();
  BufferValue.SetModified(BufferValue.Modified());
  FirePasteEnable();
}

void TXHexEditView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  BlinkTimer.stop();
  viewport()->update();
  if (OnKillFocus) OnKillFocus();
}

// ---------------------------------------------------------------- clipboard

void TXHexEditView::PutOnClipboard(const TClipboardData& data) {
  auto* mime = new QMimeData;
  if (data.HasText) mime->setText(HexBytesToText(data.Text));
  if (data.HasHexText)
    mime->setData(QString::fromLatin1(HexTextMimeType),
                  QByteArray(reinterpret_cast<const char*>(data.HexText.data()),
                             static_cast<qsizetype>(data.HexText.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
}

void TXHexEditView::FirePasteEnable() {
  if (OnPasteEnable) OnPasteEnable(CanPaste());
}

bool TXHexEditView::CanPaste() const {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  return mime && (mime->hasText() || mime->hasFormat(QString::fromLatin1(HexTextMimeType)));
}

void TXHexEditView::CopyToClipboard() {
  TClipboardData data;
  if (!BufferValue.CopyToClipboard(data)) return;
  PutOnClipboard(data);
  FirePasteEnable();
}

void TXHexEditView::CutToClipboard() {
  TClipboardData data;
  if (!BufferValue.CutToClipboard(data)) return;
  PutOnClipboard(data);
  FirePasteEnable();
  ScrollToCaret();
}

void TXHexEditView::PasteFromClipboard() {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return;
  TClipboardData data;
  const QString hexType = QString::fromLatin1(HexTextMimeType);
  if (mime->hasFormat(hexType)) {
    const QByteArray bytes = mime->data(hexType);
    data.HasHexText = true;
    data.HexText.assign(bytes.begin(), bytes.end());
  }
  if (mime->hasText()) {
    data.HasText = true;
    data.Text = HexTextToBytes(mime->text());
  }
  BufferValue.PasteFromClipboard(data);
  ScrollToCaret();
}

void TXHexEditView::PasteHexFromClipboard() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty()) return;
  BufferValue.PasteHex(HexTextToBytes(text));
  ScrollToCaret();
}

void TXHexEditView::CopyDumpToClipboard() {
  const std::string dump = CopyDump(BufferValue, Format);
  if (dump.empty()) return;
  QGuiApplication::clipboard()->setText(HexBytesToText(dump));
  FirePasteEnable();
}

// ---------------------------------------------------------------- context menu

void TXHexEditView::BuildBuiltInMenu() {
  BuiltInMenu = new QMenu(this);
  auto add = [this](const char* text, auto handler) {
    QAction* a = BuiltInMenu->addAction(QString::fromLatin1(text));
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  auto separator = [this] { BuiltInMenu->addSeparator(); };
  UndoItem = add("Undo", [this] { BufferValue.Undo(); });
  RedoItem = add("Redo", [this] { BufferValue.Redo(); });
  separator();
  CutItem = add("Cut", [this] { CutToClipboard(); });
  CopyItem = add("Copy", [this] { CopyToClipboard(); });
  PasteItem = add("Paste", [this] { PasteFromClipboard(); });
  DeleteItem = add("Delete", [this] {
    BufferValue.DeleteAtCaret();
    ScrollToCaret();
  });
  separator();
  BytesPerLineItem = add("Bytes per Line", [this] { CycleBytesPerLine(); });
  separator();
  NewItem = add("New", [this] { MenuNewClick(); });
  OpenItem = add("Open", [this] { MenuOpenClick(); });
  SaveItem = add("Save", [this] { MenuSaveClick(); });
  SaveAsItem = add("SaveAs", [this] { MenuSaveAsClick(); });
  separator();
  PrintItem = add("Print", [this] { PrintWithDialog(); });
  separator();
  CloseItem = add("Close", [this] {
    if (OnClose) OnClose();
  });
  AboutItem = add("About", [] {});
  AboutItem->setVisible(false);
  BuiltInMenu->setSeparatorsCollapsible(true);
  connect(BuiltInMenu, &QMenu::aboutToShow, this, [this] { UpdateContextMenu(); });
}

void TXHexEditView::UpdateContextMenu() {
  int32_t first, last;
  const bool selected = BufferValue.NormalisedSelection(first, last);
  const bool readOnly = BufferValue.ReadOnly;
  UndoItem->setVisible(MenuUndoRedo);
  RedoItem->setVisible(MenuUndoRedo);
  UndoItem->setEnabled(BufferValue.CanUndo());
  RedoItem->setEnabled(BufferValue.CanRedo());
  CutItem->setVisible(MenuCutCopyPaste && !readOnly);
  CopyItem->setVisible(MenuCutCopyPaste);
  PasteItem->setVisible(MenuCutCopyPaste && !readOnly);
  DeleteItem->setVisible(MenuDelete && !readOnly);
  CutItem->setEnabled(selected);
  CopyItem->setEnabled(selected);
  DeleteItem->setEnabled(selected);
  PasteItem->setEnabled(CanPaste());
  BytesPerLineItem->setVisible(MenuBytesPerLine);
  NewItem->setVisible(MenuNew);
  OpenItem->setVisible(MenuOpen);
  SaveItem->setVisible(MenuSave);
  SaveAsItem->setVisible(MenuSaveAs);
  PrintItem->setVisible(MenuPrint);
  CloseItem->setVisible(MenuClose);
}

void TXHexEditView::SetContextMenu(QMenu* menu) {
  AssignedMenu = menu;
}

QMenu* TXHexEditView::ContextMenu() const {
  return AssignedMenu ? AssignedMenu : BuiltInMenu;
}

void TXHexEditView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = ContextMenu();
  if (menu == BuiltInMenu) UpdateContextMenu();
  menu->popup(event->globalPos());
  event->accept();
}

void TXHexEditView::MenuNewClick() {
  // A new buffer replaces the document: unsaved edits are offered for saving first.
  if (!BufferValue.QuerySave()) return;
  BufferValue.NewData("Untitled", 0);
}

void TXHexEditView::MenuOpenClick() {
  if (!BufferValue.QuerySave()) return;
  std::string name = OnOpenDialog
                         ? OnOpenDialog()
                         : QFileDialog::getOpenFileName(this, QStringLiteral("Open")).toStdString();
  if (!name.empty()) BufferValue.LoadFromFile(name);
}

void TXHexEditView::MenuSaveClick() {
  if (BufferValue.FileName().empty() || BufferValue.FileName() == "Untitled")
    MenuSaveAsClick();
  else
    BufferValue.SaveToFile();
}

void TXHexEditView::MenuSaveAsClick() {
  const std::string start = BufferValue.FileName() == "Untitled" ? "" : BufferValue.FileName();
  std::string name = OnSaveAsDialog ? OnSaveAsDialog(start)
                                    : QFileDialog::getSaveFileName(this, QStringLiteral("Save As"),
                                                                   QString::fromStdString(start))
                                          .toStdString();
  if (!name.empty()) BufferValue.SaveToFile(name);
}

// ---------------------------------------------------------------- dropped files

void TXHexEditView::dragEnterEvent(QDragEnterEvent* event) {
  if (DropFileEnable && event->mimeData()->hasUrls() &&
      event->mimeData()->urls().front().isLocalFile())
    event->acceptProposedAction();
  else
    event->ignore();
}

void TXHexEditView::dragMoveEvent(QDragMoveEvent* event) {
  if (DropFileEnable && event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    event->ignore();
}

void TXHexEditView::dropEvent(QDropEvent* event) {
  std::vector<std::string> names;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) names.push_back(url.toLocalFile().toStdString());
  if (names.empty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  DropFiles(names);
}

void TXHexEditView::DropFiles(const std::vector<std::string>& fileNames) {
  if (!DropFileEnable || fileNames.empty()) return;
  const std::string& name = fileNames.front();
  // Replacing a modified buffer needs the user's word first.
  const bool go = OnBeforeDrop ? OnBeforeDrop() : BufferValue.QuerySave();
  if (!go) return;
  std::error_code error;
  if (std::filesystem::is_regular_file(name, error)) BufferValue.LoadFromFile(name);
  if (OnDropFile) OnDropFile(name);
}

// ---------------------------------------------------------------- printing

void TXHexEditView::PrintWithDialog() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  int32_t first, last;
  const bool selected = BufferValue.NormalisedSelection(first, last);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, selected);
  if (dialog.exec() != QDialog::Accepted) return;
  Print(printer, selected && printer.printRange() == QPrinter::Selection);
}

THexPrintReport TXHexEditView::Print(QPagedPaintDevice& device, bool selectionOnly) {
  THexPrintReport report;
  int32_t first = 0, last = BufferValue.DataSize() - 1;
  if (selectionOnly && !BufferValue.NormalisedSelection(first, last)) return report;
  const int bpl = Format.BytesPerLine;
  const int32_t rows = PrintRowCount(first, last, bpl);
  if (rows == 0) return report;

  QPainter painter;
  if (!painter.begin(&device)) return report;
  QFont font(PrintFont, &device);
  painter.setFont(font);
  const QFontMetrics fm(font, &device);

  THexLayout print;
  print.BytesPerLine = bpl;
  print.HexGroup = LayoutValue.HexGroup;
  print.HexGap = -1; // half a "W" between the columns
  print.OffsetVisible = LayoutValue.OffsetVisible;
  print.HexVisible = LayoutValue.HexVisible;
  print.TextVisible = LayoutValue.TextVisible;
  print.Metrics.OffsetWidth =
      fm.horizontalAdvance(QString::fromStdString(OffsetSampleText(Format)));
  print.Metrics.DataWidth =
      fm.horizontalAdvance(QString::fromStdString(DataSampleText(Format.HexMode)));
  print.Metrics.TextWidth = print.Metrics.WWidth = fm.horizontalAdvance(QLatin1Char('W'));
  print.Metrics.RowHeight = std::max(fm.height(), 1);
  const int pageWidth = device.width(), pageHeight = device.height();
  print.LeftMargin = ClampPrintMargin(PrintLeftMargin, pageWidth, 0);
  print.TopMargin = ClampPrintMargin(PrintTopMargin, pageHeight, print.Metrics.RowHeight);
  print.ClientHeight = pageHeight;
  print.DataSize = BufferValue.DataSize();
  print.Compute();

  report.LinesPerPage = PrintLinesPerPage(pageHeight, print.TopMargin, print.Metrics.RowHeight);
  report.Pages = PrintPageCount(rows, report.LinesPerPage);
  const int rowH = print.Metrics.RowHeight;
  const int baseline = (rowH - (fm.ascent() + fm.descent())) / 2 + fm.ascent();
  int32_t row = first - first % bpl;
  for (int page = 0; page < report.Pages; ++page) {
    if (page > 0) device.newPage();
    int lines = 0;
    for (; lines < report.LinesPerPage && row <= last; ++lines, row += bpl) {
      const int y = print.RowY(lines) + baseline;
      painter.setPen(OffsetColor);
      if (print.OffsetVisible)
        painter.drawText(print.OffsetX(), y, QString::fromStdString(Format.OffsetText(row, true)));
      for (int i = 0; i < bpl && row + i < BufferValue.DataSize(); ++i) {
        const uint8_t value = BufferValue.Data()[row + i];
        if (print.HexVisible) {
          painter.setPen(HexColor);
          painter.drawText(print.DataX(i), y, QString::fromStdString(Format.DataText(value)));
        }
        if (print.ShowsText()) {
          painter.setPen(TextColor);
          painter.drawText(print.TextX(i), y,
                           QString(HexByteToChar(static_cast<uint8_t>(Format.CharText(value)))));
        }
      }
    }
    report.LinesOnPage.push_back(lines);
  }
  painter.end();
  return report;
}
