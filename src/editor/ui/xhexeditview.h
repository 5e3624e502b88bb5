#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/hexcells.h"
#include "editor/hexlayout.h"
#include "editor/xhexedit.h"

class QMenu;
class QAction;
class QMimeData;
class QPagedPaintDevice;
class QPainter;

// How the caret's twin in the other column is drawn.
enum TInactiveCaret : uint8_t { icFrame, icDotFrame, icUnderLine, icNone, icInvertRectangle };

// What one print run laid out.
struct THexPrintReport {
  int Pages = 0;
  int LinesPerPage = 0;
  std::vector<int> LinesOnPage;
};

// The hex editor widget over a TXHexEdit buffer: offset, data and text
// columns, caret and selection by keys and mouse, typing, both clipboard
// formats, printing, dropped files and the built-in context menu. Only the
// visible rows are drawn; texts of one colour go out in one glyph run.
class TXHexEditView : public QAbstractScrollArea {
  Q_OBJECT
public:
  explicit TXHexEditView(QWidget* parent = nullptr);
  ~TXHexEditView() override;

  TXHexEdit& Buffer(); // owned; the view sets only its OnRefreshView, OnResetView, OnBeep
  // Modes, offset digits, separator, base address, mask char. After changing
  // it directly, call ResetView.
  THexCellFormat& CellFormat();

  void SetBytesPerLine(int n); // 0 and 255 ignored; caret keeps its offset
  int BytesPerLine() const;
  void SetOffsetMode(TOffsetMode m);
  TOffsetMode OffsetMode() const;
  void SetHexMode(THexMode m); // also Buffer().SetHexMode
  THexMode HexMode() const;
  void CycleBytesPerLine();
  void CycleOffsetMode();
  void CycleHexMode();
  void SetFonts(const QFont& offset, const QFont& hex, const QFont& text);
  void SetColours(const QColor& bg, const QColor& highlight, const QColor& highlightText);
  void SetTextColours(const QColor& offset, const QColor& hex, const QColor& text);
  void SetHexGroup(int group); // 0 ignored
  void SetHexGap(int gap);     // -1: half the width of "W"
  void SetHexPos(int pos);     // -1: the gap
  void SetTextPos(int pos);    // -1: the gap
  void SetColumnsVisible(bool offset, bool hex, bool text);
  void SetTextAllChars(bool all);
  void SetOffsetDigits(int digits); // 1..8, others ignored
  bool DropFileEnable = true;
  bool DragAndDropEnable = false;
  bool WantTab = true;
  TInactiveCaret InactiveCaret = icFrame;
  QColor InactiveCaretColor = QColor(192, 192, 192);
  int PrintLeftMargin = 300; // printer units
  int PrintTopMargin = 300;
  QFont PrintFont;

  // Built-in context menu items shown (New/Open/Save/SaveAs/Print/Close are
  // the page's business and hidden unless asked for).
  bool MenuUndoRedo = true, MenuCutCopyPaste = true, MenuDelete = true, MenuBytesPerLine = true;
  bool MenuNew = false, MenuOpen = false, MenuSave = false, MenuSaveAs = false, MenuPrint = false,
       MenuClose = false;
  void SetContextMenu(QMenu* menu); // nullptr: the built-in menu
  QMenu* ContextMenu() const;       // the menu a right click opens
  void UpdateContextMenu();         // enabled and visible states of the built-in items

  void RefreshView(); // repaint visible rows now
  void ResetView();   // relayout, focus, re-announce undo/selection state
  void ScrollToCaret();
  int VisibleRows() const;
  int32_t FirstVisibleOffset() const;
  void SetFirstVisibleOffset(int32_t offset); // snapped to a row start, kept in range
  const THexLayout& Layout() const;
  QString HintAt(const QPoint& viewportPos) const; // the hover hint there ("" off the cells)

  // clipboard: plain text and the private format under HexTextMimeType
  static const char* const HexTextMimeType;
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void PasteHexFromClipboard();
  void CopyDumpToClipboard();
  bool CanPaste() const;

  void PrintWithDialog();
  // What the dialog runs: the selection or the whole buffer, whole rows, in PrintFont.
  THexPrintReport Print(QPagedPaintDevice& device, bool selectionOnly);

  // The editor that had the focus last (nullptr once it is gone).
  static TXHexEditView* LastFocused();

  // Per-cell text colour hooks (the page colours modified bytes): return true to use `colour`.
  std::function<bool(int32_t offset, QColor&colour)> OnDrawHex, OnDrawText;
  std::function<void(const std::string& fileName)> OnDropFile;
  // Asked before a dropped file replaces the buffer; false refuses the drop.
  std::function<bool()> OnBeforeDrop;
  std::function<void(bool enable)> OnPasteEnable;
  std::function<void()> OnGetFocus, OnKillFocus, OnClose;
  // File dialogs of the built-in menu (tests replace them); empty = cancelled.
  std::function<std::string()> OnOpenDialog;
  std::function<std::string(const std::string& start)> OnSaveAsDialog;

  // Drops the files as the desktop would (what dropEvent runs).
  void DropFiles(const std::vector<std::string>& fileNames);

  // The caret bar blinks at the desktop's cursor flash rate while the view
  // has the focus; every caret move shows it again.
  void BlinkCaret();
  bool CaretShown() const { return CaretOn; }

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  struct TPainterCache;

  void Relayout();
  void UpdateScrollBars();
  void PaintRows(QPainter& painter, const QRect& clip);
  void DrawCarets(QPainter& painter);
  bool HandleMoveKey(QKeyEvent* event);
  void MoveTo(int32_t caret, bool extend);
  THexHit HitAt(const QPoint& viewportPos) const;
  void DragTo(const QPoint& viewportPos);
  void AutoScrollTick();
  void FirePasteEnable();
  void BuildBuiltInMenu();
  void MenuNewClick();
  void MenuOpenClick();
  void MenuSaveClick();
  void MenuSaveAsClick();
  void PutOnClipboard(const TClipboardData& data);

  TXHexEdit BufferValue;
  THexCellFormat Format;
  THexLayout LayoutValue;
  int32_t FirstOffset = 0;
  int32_t LastCaretShown = 0;
  QFont OffsetFont, HexFont, TextFont;
  QColor BGColor, HighLightColor, HighLightTextColor, OffsetColor, HexColor, TextColor;
  std::unique_ptr<TPainterCache> Cache;

  QTimer BlinkTimer;
  bool CaretOn = true;

  // mouse
  QTimer AutoScrollTimer;
  QPoint LastMousePos;
  bool Selecting = false;
  bool DraggingSelection = false;
  int WheelRemainder = 0;

  QMenu* AssignedMenu = nullptr;
  QMenu* BuiltInMenu = nullptr;
  QAction *UndoItem = nullptr, *RedoItem = nullptr, *CutItem = nullptr, *CopyItem = nullptr,
          *PasteItem = nullptr, *DeleteItem = nullptr, *BytesPerLineItem = nullptr,
          *NewItem = nullptr, *OpenItem = nullptr, *SaveItem = nullptr, *SaveAsItem = nullptr,
          *PrintItem = nullptr, *CloseItem = nullptr, *AboutItem = nullptr;
};
