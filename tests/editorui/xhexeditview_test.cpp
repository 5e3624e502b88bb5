#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPdfWriter>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editor/ui/xhexeditview.h"
#include "support/recorderservices.h"
#include "support/tempdir.h"
#include "support/widgettest.h"

namespace {

using Bytes = std::vector<uint8_t>;

QClipboard& Clipboard() {
  return *QGuiApplication::clipboard();
}

QByteArray HexTextOnClipboard() {
  const QMimeData* mime = Clipboard().mimeData();
  return mime ? mime->data(QString::fromLatin1(TXHexEditView::HexTextMimeType)) : QByteArray();
}

// Runs the event loop until `done` holds (the auto-scroll timer's ticks).
template <typename F> bool ProcessUntil(F done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 5000)
    QTest::qWait(10);
  return done();
}

class HexView : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    SetServices(&Rec);
    TXHexEdit::SetInsertMode(false);
    View = std::make_unique<TXHexEditView>();
    View->resize(720, 300);
    View->show();
    QApplication::processEvents();
    Clipboard().clear();
  }
  void TearDown() override {
    View.reset();
    SetServices(nullptr);
    TXHexEdit::SetInsertMode(false);
  }

  TXHexEdit& Buffer() { return View->Buffer(); }

  void Fill(const Bytes& bytes) {
    Buffer().NewData("Untitled", static_cast<int32_t>(bytes.size()) - 1);
    for (size_t i = 0; i < bytes.size(); ++i)
      Buffer().SetByte(static_cast<int32_t>(i), bytes[i]);
    View->RefreshView();
  }
  void FillCounting(int32_t size) {
    Bytes bytes(static_cast<size_t>(size));
    for (size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<uint8_t>(i);
    Fill(bytes);
  }
  Bytes Contents() { return Bytes(Buffer().Data(), Buffer().Data() + Buffer().DataSize()); }
  void Select(int32_t first, int32_t last) {
    Buffer().SetSelection(true, first, last);
    View->RefreshView();
  }
  // The middle of a byte's cell in the viewport.
  QPoint CellPoint(int32_t offset, bool text = false) {
    const THexLayout& l = View->Layout();
    const int32_t rel = offset - View->FirstVisibleOffset();
    const int row = rel / l.BytesPerLine, col = rel % l.BytesPerLine;
    const int x = text ? l.TextX(col) + l.Metrics.TextWidth / 2 : l.DataX(col) + 2;
    return QPoint(x - View->horizontalScrollBar()->value(), l.RowY(row) + l.Metrics.RowHeight / 2);
  }
  void Wheel(int angle) {
    const QPointF pos(10, 10);
    QWheelEvent event(pos, View->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View->viewport(), &event);
  }
  QAction* MenuItem(const char* text) {
    for (QAction* a : View->ContextMenu()->actions())
      if (a->text() == QString::fromLatin1(text)) return a;
    return nullptr;
  }

  TRecorderServices Rec;
  std::unique_ptr<TXHexEditView> View;
};

// ---------------------------------------------------------------- typing

TEST_F(HexView, TypingDigitsInEachMode) {
  struct {
    const char* Name;
    THexMode Mode;
    bool TextColumn;
    const char* Keys;
    Bytes Expected;
    int32_t Caret;
    bool Modified;
  } const cases[] = {
      {"hex, two digits", hmHex, false, "41", {0x41, 0, 0, 0}, 1, true},
      {"hex, first digit only", hmHex, false, "4", {0x04, 0, 0, 0}, 0, true},
      {"hex, lower case", hmHex, false, "a5", {0xA5, 0, 0, 0}, 1, true},
      {"hex, two bytes", hmHex, false, "4142", {0x41, 0x42, 0, 0}, 2, true},
      {"hex refuses G", hmHex, false, "G", {0, 0, 0, 0}, 0, false},
      {"decimal 3,0,0: 300 beeps and leaves 30", hmDec, false, "300", {0x1E, 0, 0, 0}, 0, true},
      {"decimal 255", hmDec, false, "255", {0xFF, 0, 0, 0}, 1, true},
      {"decimal refuses A", hmDec, false, "A", {0, 0, 0, 0}, 0, false},
      {"octal 101", hmOctal, false, "101", {0x41, 0, 0, 0}, 1, true},
      {"octal refuses 8", hmOctal, false, "8", {0, 0, 0, 0}, 0, false},
      {"binary", hmBin, false, "01000001", {0x41, 0, 0, 0}, 1, true},
      {"binary refuses 2", hmBin, false, "2", {0, 0, 0, 0}, 0, false},
      {"text column", hmHex, true, "AB", {0x41, 0x42, 0, 0}, 2, true},
      {"text column takes digits as characters", hmDec, true, "7", {0x37, 0, 0, 0}, 1, true},
  };
  for (const auto& c : cases) {
    Fill({0, 0, 0, 0});
    View->SetHexMode(c.Mode);
    Buffer().CaretInText = c.TextColumn;
    QTest::keyClicks(View.get(), QString::fromLatin1(c.Keys));
    EXPECT_EQ(Contents(), c.Expected) << c.Name;
    EXPECT_EQ(Buffer().CaretOffset(), c.Caret) << c.Name;
    EXPECT_EQ(Buffer().Modified(), c.Modified) << c.Name;
  }
}

TEST_F(HexView, TypingAppendsAtTheEndAndInsertsInInsertMode) {
  Fill({1, 2});
  QTest::keyClick(View.get(), Qt::Key_End, Qt::ControlModifier);
  ASSERT_EQ(Buffer().CaretOffset(), 2);
  QTest::keyClicks(View.get(), "7F");
  EXPECT_EQ(Contents(), (Bytes{1, 2, 0x7F})) << "overwrite mode appends at DataSize";
  EXPECT_EQ(Buffer().CaretOffset(), 3);

  Fill({1, 2});
  QTest::keyClick(View.get(), Qt::Key_Right);
  QTest::keyClick(View.get(), Qt::Key_Insert);
  ASSERT_TRUE(TXHexEdit::InsertMode());
  QTest::keyClicks(View.get(), "AB");
  EXPECT_EQ(Contents(), (Bytes{1, 0xAB, 2}));
  EXPECT_EQ(Buffer().CaretOffset(), 2);
}

TEST_F(HexView, TypingFollowsThisViewsModeAfterAnotherEditorChangedTheDigits) {
  Fill({0, 0});
  View->SetHexMode(hmDec);
  TXHexEditView other;
  other.SetHexMode(hmHex); // the shared digit set now takes A..F
  QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
  QApplication::sendEvent(View.get(), &focusIn);
  QTest::keyClicks(View.get(), "1A");
  EXPECT_EQ(Contents(), (Bytes{1, 0})) << "A is no decimal digit";
}

TEST_F(HexView, EditingKeys) {
  struct {
    const char* Name;
    int32_t Caret;
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> Keys;
    Bytes Expected;
    int32_t CaretAfter;
  } const cases[] = {
      {"backspace", 1, {{Qt::Key_Backspace, {}}}, {2, 3}, 0},
      {"backspace at 0 does nothing", 0, {{Qt::Key_Backspace, {}}}, {1, 2, 3}, 0},
      {"delete", 1, {{Qt::Key_Delete, {}}}, {1, 3}, 1},
      {"delete at the end removes nothing", 3, {{Qt::Key_Delete, {}}}, {1, 2, 3}, 3},
      {"ctrl+z undoes the delete",
       0,
       {{Qt::Key_Delete, {}}, {Qt::Key_Z, Qt::ControlModifier}},
       {1, 2, 3},
       1},
      {"ctrl+y redoes it",
       0,
       {{Qt::Key_Delete, {}}, {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_Y, Qt::ControlModifier}},
       {2, 3},
       0},
  };
  for (const auto& c : cases) {
    Fill({1, 2, 3});
    Buffer().SetCaretOffset(c.Caret);
    for (const auto& [key, mods] : c.Keys)
      QTest::keyClick(View.get(), key, mods);
    EXPECT_EQ(Contents(), c.Expected) << c.Name;
    EXPECT_EQ(Buffer().CaretOffset(), c.CaretAfter) << c.Name;
  }
}

// ---------------------------------------------------------------- selection

TEST_F(HexView, ShiftArrowsSelect) {
  using K = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;
  const auto S = Qt::ShiftModifier;
  struct {
    const char* Name;
    K Keys;
    bool Active;
    int32_t First, Last, Caret;
  } const cases[] = {
      {"three right",
       {{Qt::Key_Right, S}, {Qt::Key_Right, S}, {Qt::Key_Right, S}},
       true,
       20,
       22,
       23},
      {"two left", {{Qt::Key_Left, S}, {Qt::Key_Left, S}}, true, 18, 19, 18},
      {"back to the anchor clears", {{Qt::Key_Right, S}, {Qt::Key_Left, S}}, false, 0, 0, 20},
      {"down", {{Qt::Key_Down, S}}, true, 20, 35, 36},
      {"up", {{Qt::Key_Up, S}}, true, 4, 19, 4},
      {"home", {{Qt::Key_Home, S}}, true, 16, 19, 16},
      {"end", {{Qt::Key_End, S}}, true, 20, 30, 31},
      {"a plain move ends it",
       {{Qt::Key_Right, S}, {Qt::Key_Right, S}, {Qt::Key_Right, {}}},
       false,
       0,
       0,
       23},
  };
  for (const auto& c : cases) {
    FillCounting(64);
    Buffer().SetCaretOffset(20);
    for (const auto& [key, mods] : c.Keys)
      QTest::keyClick(View.get(), key, mods);
    int32_t first = 0, last = 0;
    EXPECT_EQ(Buffer().NormalisedSelection(first, last), c.Active) << c.Name;
    if (c.Active) {
      EXPECT_EQ(first, c.First) << c.Name;
      EXPECT_EQ(last, c.Last) << c.Name;
    }
    EXPECT_EQ(Buffer().CaretOffset(), c.Caret) << c.Name;
  }
}

TEST_F(HexView, ClickAndDragSelect) {
  struct {
    const char* Name;
    int32_t From, To;
    bool Text;
    int32_t First, Last, Caret;
  } const cases[] = {
      {"forward in the data column", 16, 35, false, 16, 34, 35},
      {"backward", 40, 30, false, 30, 39, 30},
      {"in the text column", 3, 6, true, 3, 5, 6},
  };
  for (const auto& c : cases) {
    FillCounting(256);
    QWidget* vp = View->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(c.From, c.Text));
    QTest::mouseMove(vp, CellPoint(c.To, c.Text));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(c.To, c.Text));
    int32_t first = 0, last = 0;
    ASSERT_TRUE(Buffer().NormalisedSelection(first, last)) << c.Name;
    EXPECT_EQ(first, c.First) << c.Name;
    EXPECT_EQ(last, c.Last) << c.Name;
    EXPECT_EQ(Buffer().CaretOffset(), c.Caret) << c.Name;
    EXPECT_EQ(Buffer().CaretInText, c.Text) << c.Name;
  }

  // A plain click places the caret and drops the selection.
  QTest::mouseClick(View->viewport(), Qt::LeftButton, {}, CellPoint(50));
  EXPECT_FALSE(Buffer().SelActive());
  EXPECT_EQ(Buffer().CaretOffset(), 50);
  EXPECT_FALSE(Buffer().CaretInText);

  // Between the columns: the first data cell of the next row.
  const THexLayout& l = View->Layout();
  const int gapX = (l.DataEnd() + l.TextX(0)) / 2;
  QTest::mouseClick(View->viewport(), Qt::LeftButton, {}, QPoint(gapX, CellPoint(0).y()));
  EXPECT_EQ(Buffer().CaretOffset(), 16);
}

TEST_F(HexView, DraggingBelowTheViewScrollsIt) {
  FillCounting(4096);
  QWidget* vp = View->viewport();
  QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(4));
  QTest::mouseMove(vp, QPoint(CellPoint(4).x(), vp->height() + 20));
  ASSERT_TRUE(ProcessUntil([&] { return View->FirstVisibleOffset() >= 32; }));
  QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(CellPoint(4).x(), vp->height() + 20));
  int32_t first = 0, last = 0;
  ASSERT_TRUE(Buffer().NormalisedSelection(first, last));
  EXPECT_EQ(first, 4);
  EXPECT_EQ(last, Buffer().CaretOffset() - 1);
  EXPECT_GE(Buffer().CaretOffset(), View->FirstVisibleOffset()) << "the caret stays in view";
}

TEST_F(HexView, DragAndDropMovesTheSelection) {
  Fill({0, 1, 2, 3, 4, 5, 6, 7});
  View->DragAndDropEnable = true;
  Select(1, 2);
  QWidget* vp = View->viewport();
  QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(1));
  QTest::mouseMove(vp, CellPoint(6));
  QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(6));
  EXPECT_EQ(Contents(), (Bytes{0, 3, 4, 5, 1, 2, 6, 7}));
  EXPECT_TRUE(Buffer().Modified());
  EXPECT_TRUE(Clipboard().text().isEmpty()) << "the user's clipboard is left alone";
}

TEST_F(HexView, HoverHintShowsTheOffset) {
  FillCounting(64);
  View->CellFormat().OffsetBaseAddress = 0x1000;
  EXPECT_EQ(View->HintAt(CellPoint(0x12)), "001012:");
  EXPECT_EQ(View->HintAt(CellPoint(0x13, true)), "001013:");
  EXPECT_EQ(View->HintAt(QPoint(1, CellPoint(0).y())), "") << "offset column";
  EXPECT_EQ(View->HintAt(CellPoint(60) + QPoint(0, 8 * View->Layout().Metrics.RowHeight)), "")
      << "beyond the data";
}

// ---------------------------------------------------------------- scrolling

TEST_F(HexView, WheelScrollsOneRowPerNotch) {
  FillCounting(4096);
  struct {
    int Angle;
    int32_t First;
  } const steps[] = {{-120, 16}, {-240, 48}, {120, 32}, {-60, 32}, {-60, 48}, {600, 0}, {120, 0}};
  for (const auto& s : steps) {
    Wheel(s.Angle);
    EXPECT_EQ(View->FirstVisibleOffset(), s.First) << s.Angle;
  }
}

TEST_F(HexView, PageUpAndDown) {
  FillCounting(4096);
  const int32_t page = View->Layout().PageBytes();
  ASSERT_GT(page, 0);
  Buffer().SetCaretOffset(3);
  QTest::keyClick(View.get(), Qt::Key_PageDown);
  EXPECT_EQ(Buffer().CaretOffset(), 3 + page);
  EXPECT_EQ(View->FirstVisibleOffset(), page);
  QTest::keyClick(View.get(), Qt::Key_PageUp);
  EXPECT_EQ(Buffer().CaretOffset(), 3) << "the caret keeps its place on screen";
  EXPECT_EQ(View->FirstVisibleOffset(), 0);
  QTest::keyClick(View.get(), Qt::Key_PageUp);
  EXPECT_EQ(Buffer().CaretOffset(), 0) << "at the top: to the start";

  Buffer().SetCaretOffset(4096 - page / 2);
  QTest::keyClick(View.get(), Qt::Key_PageDown);
  EXPECT_EQ(Buffer().CaretOffset(), 4096) << "no page left: to the end";
  EXPECT_EQ(View->FirstVisibleOffset(), View->Layout().MaxFirstOffset());

  Buffer().SetCaretOffset(0);
  View->SetFirstVisibleOffset(0);
  QTest::keyClick(View.get(), Qt::Key_PageDown, Qt::ShiftModifier);
  int32_t first = 0, last = 0;
  ASSERT_TRUE(Buffer().NormalisedSelection(first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, page - 1);
}

TEST_F(HexView, BytesPerLineKeepsTheCaret) {
  FillCounting(4096);
  Buffer().SetCaretOffset(3000);
  View->ScrollToCaret();
  for (int n : {0, 255, 2, 4, 8, 16}) {
    View->SetBytesPerLine(n);
    EXPECT_EQ(View->BytesPerLine(), n == 0 || n == 255 ? 16 : n);
    EXPECT_EQ(Buffer().CaretOffset(), 3000);
    EXPECT_EQ(View->FirstVisibleOffset() % View->BytesPerLine(), 0);
    EXPECT_LE(View->FirstVisibleOffset(), 3000);
    EXPECT_GE(View->FirstVisibleOffset() + View->Layout().PageBytes() + View->BytesPerLine(), 3000)
        << "caret in view at " << n;
  }
  View->CycleBytesPerLine();
  EXPECT_EQ(View->BytesPerLine(), 2);
}

// ---------------------------------------------------------------- clipboard

TEST_F(HexView, CopyPutsBothFormats) {
  struct {
    const char* Name;
    bool Text;
    Qt::Key Key;
    Qt::KeyboardModifiers Mods;
    const char* ExpectedText;
  } const cases[] = {
      {"ctrl+c, data column", false, Qt::Key_C, Qt::ControlModifier, "41 0A "},
      {"ctrl+insert", false, Qt::Key_Insert, Qt::ControlModifier, "41 0A "},
      {"text column", true, Qt::Key_C, Qt::ControlModifier, "A."},
  };
  // Outlives the loop: the view keeps calling the hook on later clipboard changes.
  bool pasteEnabled = false;
  View->OnPasteEnable = [&](bool enable) { pasteEnabled = enable; };
  for (const auto& c : cases) {
    Clipboard().clear();
    Fill({0x41, 0x0A, 0x33});
    Buffer().CaretInText = c.Text;
    Select(0, 1);
    pasteEnabled = false;
    QTest::keyClick(View.get(), c.Key, c.Mods);
    EXPECT_EQ(Clipboard().text().toStdString(), c.ExpectedText) << c.Name;
    EXPECT_EQ(HexTextOnClipboard().toStdString(), std::string("\x02\x00\x00\x00\x41\x0A", 6))
        << c.Name;
    EXPECT_TRUE(pasteEnabled) << c.Name;
    EXPECT_EQ(Contents(), (Bytes{0x41, 0x0A, 0x33})) << c.Name;
  }

  Select(1, 2);
  Buffer().CaretInText = false;
  QTest::keyClick(View.get(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Contents(), (Bytes{0x41}));
  EXPECT_EQ(Clipboard().text().toStdString(), "0A 33 ");
}

TEST_F(HexView, PasteTakesThePrivateFormatFirst) {
  struct {
    const char* Name;
    QByteArray Private; // empty: none
    const char* Text;   // nullptr: none
    Bytes Expected;
    int32_t Caret;
  } const cases[] = {
      {"private format, with a zero byte",
       QByteArray("\x03\x00\x00\x00\x00\xFF\x10", 7),
       "zz",
       {9, 0x00, 0xFF, 0x10, 8, 7},
       4},
      {"text taken as bytes, not parsed", QByteArray(), "4 1", {9, '4', ' ', '1', 8, 7}, 4},
      {"a count beyond the payload takes only what is there",
       QByteArray("\x09\x00\x00\x00\xAA", 5),
       nullptr,
       {9, 0xAA, 8, 7},
       2},
      {"nothing pasteable: nothing happens", QByteArray(), nullptr, {9, 8, 7}, 1},
  };
  for (const auto& c : cases) {
    Fill({9, 8, 7});
    Buffer().SetCaretOffset(1);
    auto* mime = new QMimeData;
    if (!c.Private.isEmpty())
      mime->setData(QString::fromLatin1(TXHexEditView::HexTextMimeType), c.Private);
    if (c.Text) mime->setText(QString::fromLatin1(c.Text));
    Clipboard().setMimeData(mime);
    QTest::keyClick(View.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Contents(), c.Expected) << c.Name;
    EXPECT_EQ(Buffer().CaretOffset(), c.Caret) << c.Name;
    if (c.Caret > 1) {
      int32_t first = 0, last = 0;
      ASSERT_TRUE(Buffer().NormalisedSelection(first, last)) << c.Name;
      EXPECT_EQ(first, 1) << c.Name;
      EXPECT_EQ(last, c.Caret - 1) << c.Name;
    }
  }

  // Shift+Insert pastes too; a copy from a view pastes back byte for byte.
  Fill({0x00, 0x80, 0x9F, 0xFF});
  Buffer().CaretInText = true;
  Select(0, 3);
  View->CopyToClipboard();
  Clipboard().setText(Clipboard().text()); // only the text is left
  Buffer().MoveCaret(4, false);
  QTest::keyClick(View.get(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Contents(), (Bytes{0x00, 0x80, 0x9F, 0xFF, '.', 0x80, 0x9F, 0xFF}));
}

TEST_F(HexView, PasteHexParsesTheClipboardText) {
  Fill({1, 2});
  Buffer().SetCaretOffset(1);
  Clipboard().setText("0A,B;c0");
  View->PasteHexFromClipboard();
  EXPECT_EQ(Contents(), (Bytes{1, 0x0A, 0x0B, 0xC0, 2}));
  Clipboard().setText("12 zz");
  View->PasteHexFromClipboard();
  EXPECT_EQ(Contents(), (Bytes{1, 0x0A, 0x0B, 0xC0, 2})) << "an invalid token changes nothing";
}

TEST_F(HexView, CopyDumpTakesWholeRows) {
  Fill({'A', 'B', 'C', 'D', 0x01, 'F', 'G', 'H', 'I', 'J'});
  View->SetBytesPerLine(4);
  Clipboard().setText("kept");
  View->CopyDumpToClipboard();
  EXPECT_EQ(Clipboard().text().toStdString(), "kept") << "nothing without a selection";
  Select(4, 4);
  View->CopyDumpToClipboard();
  const std::string row4 = "000004: 01 46 47 48  .FGH";
  EXPECT_EQ(Clipboard().text().toStdString(), row4) << "a one-byte selection dumps its row";
  Select(7, 9);
  View->CopyDumpToClipboard();
  const std::string row8 = "000008: 49 4A " + std::string(2 * 3, ' ') + " IJ  ";
  EXPECT_EQ(Clipboard().text().toStdString(), row4 + "\r\n" + row8);
}

// ---------------------------------------------------------------- printing

int PdfPageCount(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int pages = 0;
  for (size_t at = pdf.find("/Type /Page"); at != std::string::npos;
       at = pdf.find("/Type /Page", at + 1))
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  return pages;
}

TEST_F(HexView, PrintLaysOutWholeRowsPerPage) {
  const auto dir = TestTempPath("hexprint");
  std::filesystem::create_directories(dir);
  FillCounting(4096);
  struct {
    const char* Name;
    int32_t SelFirst, SelLast; // -1: none
    bool SelectionOnly;
    int32_t Rows;
  } const cases[] = {
      {"whole buffer", -1, -1, false, 256},
      {"selection, from the row of its first byte", 100, 200, true, 7},
      {"a selection but the whole buffer chosen", 100, 200, false, 256},
  };
  for (const auto& c : cases) {
    if (c.SelFirst >= 0)
      Select(c.SelFirst, c.SelLast);
    else
      Buffer().SetSelection(false, 0, 0);
    const auto file = dir / (std::string("p") + std::to_string(&c - cases) + ".pdf");
    THexPrintReport report;
    {
      QPdfWriter writer(QString::fromStdString(file.string()));
      report = View->Print(writer, c.SelectionOnly);
      const int lineHeight = QFontMetrics(QFont(View->PrintFont, &writer), &writer).height();
      EXPECT_EQ(report.LinesPerPage, (writer.height() - 300) / lineHeight) << c.Name;
    }
    ASSERT_GT(report.LinesPerPage, 0) << c.Name;
    EXPECT_EQ(report.Pages, (c.Rows + report.LinesPerPage - 1) / report.LinesPerPage) << c.Name;
    ASSERT_EQ(static_cast<int>(report.LinesOnPage.size()), report.Pages) << c.Name;
    int total = 0;
    for (size_t i = 0; i < report.LinesOnPage.size(); ++i) {
      if (i + 1 < report.LinesOnPage.size()) {
        EXPECT_EQ(report.LinesOnPage[i], report.LinesPerPage) << c.Name << " page " << i;
      }
      total += report.LinesOnPage[i];
    }
    EXPECT_EQ(total, c.Rows) << c.Name;
    EXPECT_EQ(PdfPageCount(file), report.Pages) << c.Name;
  }

  // Selection only without a selection, or an empty buffer: nothing is printed.
  Buffer().SetSelection(false, 0, 0);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((dir / "none.pdf").string()));
  EXPECT_EQ(View->Print(printer, true).Pages, 0);
  Fill({});
  EXPECT_EQ(View->Print(printer, false).Pages, 0);

  // Margins beyond the page are clamped; printing still ends.
  FillCounting(64);
  View->PrintTopMargin = 1'000'000;
  View->PrintLeftMargin = -5;
  printer.setOutputFileName(QString::fromStdString((dir / "margins.pdf").string()));
  const THexPrintReport clamped = View->Print(printer, false);
  EXPECT_EQ(clamped.LinesPerPage, 1);
  EXPECT_EQ(clamped.Pages, 4);
  std::filesystem::remove_all(dir);
}

// ---------------------------------------------------------------- dropped files

TEST_F(HexView, DroppedFileLoadsRawBytes) {
  const auto dir = TestTempPath("hexdrop");
  std::filesystem::create_directories(dir);
  const auto hexFile = dir / "data.hex";
  const std::string text = ":0100000041BE\r\n:00000001FF\r\n";
  std::ofstream(hexFile, std::ios::binary) << text;

  struct {
    const char* Name;
    std::string File;
    bool Refuse;
    bool Loads;
    bool Announced;
  } const cases[] = {
      {"an Intel HEX file comes in as its text", hexFile.string(), false, true, true},
      {"a missing file is announced only", (dir / "missing.bin").string(), false, false, true},
      {"the page refuses", hexFile.string(), true, false, false},
  };
  for (const auto& c : cases) {
    Fill({1, 2, 3});
    std::string announced;
    View->OnDropFile = [&](const std::string& name) { announced = name; };
    View->OnBeforeDrop = [&] { return !c.Refuse; };
    View->DropFiles({c.File, (dir / "second.bin").string()});
    const Bytes expected = c.Loads ? Bytes(text.begin(), text.end()) : Bytes{1, 2, 3};
    EXPECT_EQ(Contents(), expected) << c.Name;
    EXPECT_EQ(announced, c.Announced ? c.File : "") << c.Name;
  }

  // Through the desktop's drop event; a modified buffer asks first (No: keep it).
  View->OnBeforeDrop = nullptr;
  View->OnDropFile = nullptr;
  Fill({1, 2, 3});
  Buffer().SetModified(true);
  Rec.Answers = {TAnswer::Cancel};
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(hexFile.string()))});
  auto dragAndDrop = [&] {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View->viewport(), &drop);
  };
  dragAndDrop();
  EXPECT_EQ(Contents(), (Bytes{1, 2, 3})) << "cancelled: the edits stay";
  Rec.Answers = {TAnswer::No};
  dragAndDrop();
  EXPECT_EQ(Contents(), Bytes(text.begin(), text.end()));

  View->DropFileEnable = false;
  Fill({5});
  View->DropFiles({hexFile.string()});
  EXPECT_EQ(Contents(), (Bytes{5}));
  std::filesystem::remove_all(dir);
}

TEST_F(HexView, EditingKeysWinOverWindowShortcuts) {
  QWidget window;
  auto* view = new TXHexEditView(&window);
  view->resize(600, 200);
  int fired = 0;
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::Key_Delete),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
    auto* action = new QAction(&window);
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, [&] { ++fired; });
    window.addAction(action);
  }
  window.show();
  window.activateWindow();
  view->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  view->Buffer().NewData("Untitled", 2);
  view->Buffer().SetSelection(true, 0, 0);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard().text().toStdString(), "00 ");
  QTest::keyClick(view, Qt::Key_Delete);
  EXPECT_EQ(view->Buffer().DataSize(), 2);
  EXPECT_EQ(fired, 0) << "the focused editor keeps its keys";
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(fired, 1) << "keys it does not use reach the window";
  EXPECT_EQ(view->Buffer().DataSize(), 2);
}

// ---------------------------------------------------------------- context menu and focus

TEST_F(HexView, ContextMenuStates) {
  struct {
    const char* Name;
    bool Selection, Clip, Edit, Undone, ReadOnly;
    bool Cut, Copy, Paste, Delete, Undo, Redo; // enabled
  } const cases[] = {
      {"fresh", false, false, false, false, false, false, false, false, false, false, false},
      {"selection and clipboard", true, true, false, false, false, true, true, true, true, false,
       false},
      {"after an edit", false, false, true, false, false, false, false, false, false, true, false},
      {"after an undo", false, false, true, true, false, false, false, false, false, false, true},
  };
  for (const auto& c : cases) {
    Fill({1, 2, 3});
    Buffer().ReadOnly = c.ReadOnly;
    if (c.Clip)
      Clipboard().setText("x");
    else
      Clipboard().clear();
    if (c.Edit) QTest::keyClick(View.get(), Qt::Key_Delete);
    if (c.Undone) Buffer().Undo();
    if (c.Selection) Select(0, 1);
    View->UpdateContextMenu();
    EXPECT_EQ(MenuItem("Cut")->isEnabled(), c.Cut) << c.Name;
    EXPECT_EQ(MenuItem("Copy")->isEnabled(), c.Copy) << c.Name;
    EXPECT_EQ(MenuItem("Paste")->isEnabled(), c.Paste) << c.Name;
    EXPECT_EQ(MenuItem("Delete")->isEnabled(), c.Delete) << c.Name;
    EXPECT_EQ(MenuItem("Undo")->isEnabled(), c.Undo) << c.Name;
    EXPECT_EQ(MenuItem("Redo")->isEnabled(), c.Redo) << c.Name;
  }
  for (const char* hidden : {"New", "Open", "Save", "SaveAs", "Print", "Close", "About"})
    EXPECT_FALSE(MenuItem(hidden)->isVisible()) << hidden;

  Buffer().ReadOnly = true;
  View->UpdateContextMenu();
  EXPECT_FALSE(MenuItem("Cut")->isVisible());
  EXPECT_FALSE(MenuItem("Paste")->isVisible());
  EXPECT_FALSE(MenuItem("Delete")->isVisible());
  EXPECT_TRUE(MenuItem("Copy")->isVisible());
  Buffer().ReadOnly = false;

  View->MenuNew = View->MenuClose = true;
  View->UpdateContextMenu();
  EXPECT_TRUE(MenuItem("New")->isVisible());
  bool closed = false;
  View->OnClose = [&] { closed = true; };
  MenuItem("Close")->trigger();
  EXPECT_TRUE(closed);
  MenuItem("Bytes per Line")->trigger();
  EXPECT_EQ(View->BytesPerLine(), 2);

  // "New" over unsaved edits asks first; Cancel keeps them.
  Fill({1, 2, 3});
  Buffer().SetModified(true);
  Rec.Answers = {TAnswer::Cancel};
  MenuItem("New")->trigger();
  EXPECT_EQ(Contents(), (Bytes{1, 2, 3}));
  Rec.Answers = {TAnswer::No};
  MenuItem("New")->trigger();
  EXPECT_EQ(Buffer().DataSize(), 1);
  EXPECT_EQ(Buffer().FileName(), "Untitled");

  QMenu own;
  View->SetContextMenu(&own);
  EXPECT_EQ(View->ContextMenu(), &own);
  View->SetContextMenu(nullptr);
  EXPECT_NE(View->ContextMenu(), &own);
}

TEST_F(HexView, FocusAnnouncesPasteAndModifiedState) {
  int gotFocus = 0, lostFocus = 0, modifiedEvents = 0;
  std::vector<bool> paste;
  {
    TXHexEditView view; // hidden: only the events below reach it
    view.Buffer().NewData("Untitled", 0);
    view.Buffer().SetModified(true);
    view.OnGetFocus = [&] { ++gotFocus; };
    view.OnKillFocus = [&] { ++lostFocus; };
    view.OnPasteEnable = [&](bool enable) { paste.push_back(enable); };
    view.Buffer().OnModified = [&](TXHexEdit&, bool modified) { modifiedEvents += modified; };
    Clipboard().clear();
    QFocusEvent in1(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&view, &in1);
    Clipboard().setText("x");
    QFocusEvent in2(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&view, &in2);
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(&view, &out);
    EXPECT_EQ(TXHexEditView::LastFocused(), &view);
  }
  EXPECT_EQ(gotFocus, 2);
  EXPECT_EQ(lostFocus, 1);
  EXPECT_EQ(modifiedEvents, 2) << "the current flag is announced on each focus gain";
  EXPECT_EQ(paste, (std::vector<bool>{false, true}));
  EXPECT_EQ(TXHexEditView::LastFocused(), nullptr) << "a destroyed view is forgotten";
}

// ---------------------------------------------------------------- drawing

TEST_F(HexView, CellColourHooksAndSelectionDecideTheColour) {
  FillCounting(64);
  View->SetColours(Qt::white, QColor(0x0A, 0x24, 0x6A), Qt::white);
  View->SetTextColours(Qt::black, Qt::black, Qt::black);
  View->OnDrawHex = [](int32_t offset, QColor& colour) {
    if (offset != 3 && offset != 5) return false;
    colour = Qt::red;
    return true;
  };
  auto redPixels = [&](int32_t offset) {
    QImage image(View->viewport()->size(), QImage::Format_ARGB32);
    View->viewport()->render(&image);
    const THexLayout& l = View->Layout();
    const QPoint p = CellPoint(offset);
    int count = 0;
    for (int x = l.DataX(offset % 16); x < l.DataX(offset % 16) + l.Metrics.DataWidth; ++x)
      for (int y = p.y() - l.Metrics.RowHeight / 2; y < p.y() + l.Metrics.RowHeight / 2; ++y) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 150 && c.green() < 100 && c.blue() < 100) ++count;
      }
    return count;
  };
  EXPECT_GT(redPixels(3), 0);
  EXPECT_EQ(redPixels(4), 0);
  Select(5, 5);
  EXPECT_EQ(redPixels(5), 0) << "the selection's colours win";
}

TEST_F(HexView, TheCaretBlinksAndEveryMoveShowsItAgain) {
  FillCounting(64);
  View->setFocus();
  QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
  QApplication::sendEvent(View.get(), &in);
  // The caret bar's pixels in the data column.
  auto caretPixels = [&] {
    QImage image(View->viewport()->size(), QImage::Format_ARGB32);
    View->viewport()->render(&image);
    const QPoint p = CellPoint(Buffer().CaretOffset());
    const int x = View->Layout().DataX(Buffer().CaretOffset() % 16);
    int dark = 0;
    // At the top of the row, above the digits' glyphs.
    const int y = p.y() - View->Layout().Metrics.RowHeight / 2 + 1;
    for (int dx = 0; dx < 2; ++dx)
      dark += image.pixelColor(x + dx, y).lightness() < 100;
    return dark;
  };
  ASSERT_TRUE(View->CaretShown());
  EXPECT_EQ(caretPixels(), 2);
  View->BlinkCaret();
  EXPECT_FALSE(View->CaretShown());
  EXPECT_EQ(caretPixels(), 0);
  QTest::keyClick(View.get(), Qt::Key_Right);
  EXPECT_TRUE(View->CaretShown()) << "a move shows the caret at once";
  EXPECT_EQ(caretPixels(), 2);
}

TEST_F(HexView, BytesWithNothingToShowAreDrawnAsADot) {
  FillCounting(16);
  View->SetColours(Qt::white, Qt::blue, Qt::white);
  View->SetTextColours(Qt::black, Qt::black, Qt::black);
  // The text cell of one byte, as pixels.
  auto textCell = [&](int32_t offset) {
    QImage image(View->viewport()->size(), QImage::Format_ARGB32);
    View->viewport()->render(&image);
    const THexLayout& l = View->Layout();
    const int x = l.TextX(offset % 16);
    const int y = CellPoint(offset).y() - l.Metrics.RowHeight / 2;
    return image.copy(x, y, l.TextX(offset % 16 + 1) - x, l.Metrics.RowHeight);
  };
  Buffer().Data()[0] = '.';
  const QImage dot = textCell(0);
  // DEL, the code page's gaps and a C1 control character: no glyph of their own.
  for (uint8_t b : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    SCOPED_TRACE(b);
    Buffer().Data()[0] = b;
    EXPECT_EQ(textCell(0), dot);
  }
  Buffer().Data()[0] = 'A';
  EXPECT_NE(textCell(0), dot);
}

TEST_F(HexView, Screenshot) {
  FillCounting(256);
  View->resize(640, 330);
  View->show();
  Select(0x20, 0x4F);
  Buffer().SetCaretOffset(0x50);
  View->setFocus();
  SaveScreenshot(View.get(), "hexview");
  EXPECT_EQ(View->FirstVisibleOffset(), 0);
}

} // namespace
