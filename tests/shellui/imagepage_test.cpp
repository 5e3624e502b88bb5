#include <QFile>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

#include "shell/ui/imgform.h"
#include "shelluifixture.h"

namespace {

class TImagePageTest : public TMainFormTest {
protected:
  void SetUp() override {
    TMainFormTest::SetUp();
    Form->RegisterPageKind(TPageKind::Image, [](TMainForm& m) { return new TImagePage(m); });
    Form->AnswerQuestion = [this](const std::string&, const std::string& text, bool) {
      Boxes.push_back(text);
      return TAnswer::Yes;
    };
  }
  QString Picture(const char* name, const char* format, QSize size = {100, 50}) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(30, 90, 160));
    for (int x = 0; x < size.width(); ++x)
      image.setPixelColor(x, x * size.height() / size.width(), Qt::yellow);
    QString path = Dir.filePath(name);
    EXPECT_TRUE(image.save(path, format)) << name;
    return path;
  }
  TImagePage* Open(const QString& path) {
    Form->OpenFileByExtension(path.toStdString());
    return dynamic_cast<TImagePage*>(Form->GetActivePage());
  }
  QTemporaryDir Dir;
  std::vector<std::string> Boxes;
};

TEST_F(TImagePageTest, ZoomStepsFromTheCurrentSize) {
  TImagePage* page = Open(Picture("board.png", "PNG"));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->ImageSize(), QSize(100, 50));
  struct Step {
    const char* Action;
    QSize Size;
  } steps[] = {
      // a single-precision factor: 50 x 1.05f rounds to 52
      {"ZoomInAction", {105, 52}},
      {"ZoomInAction", {110, 55}},
      {"ZoomOutAction", {105, 52}},
      {"ActualViewAction", {100, 50}},
  };
  for (const auto& s : steps) {
    Form->QtAction(s.Action)->trigger();
    EXPECT_EQ(page->ImageSize(), s.Size) << s.Action;
  }
  Form->QtAction("FitInWindowAction")->trigger();
  EXPECT_EQ(page->ImageSize(), page->ScrollBox()->viewport()->size());
  // The picture keeps its proportions inside the stretched view.
  QRect drawn = page->View()->PictureRect();
  EXPECT_NEAR(double(drawn.width()) / drawn.height(), 2.0, 0.05);
  Screenshot(Form.get(), "image_page");
}

TEST_F(TImagePageTest, WheelZoomsAndScrollRangesFollow) {
  TImagePage* page = Open(Picture("big.png", "PNG", {400, 300}));
  ASSERT_NE(page, nullptr);
  QWidget* viewport = page->ScrollBox()->viewport();
  page->FitInWindow();
  QApplication::processEvents();
  EXPECT_EQ(page->ScrollBox()->horizontalScrollBar()->maximum(), 0);
  for (int i = 0; i < 10; ++i) {
    QWheelEvent up(QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &up);
  }
  QApplication::processEvents();
  EXPECT_GT(page->ImageSize().width(), viewport->width());
  EXPECT_EQ(page->ScrollBox()->horizontalScrollBar()->maximum(),
            page->ImageSize().width() - viewport->width());
  QWheelEvent down(QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QSize before = page->ImageSize();
  QApplication::sendEvent(viewport, &down);
  EXPECT_LT(page->ImageSize().width(), before.width());
}

TEST_F(TImagePageTest, ZoomStaysWithinBounds) {
  TImagePage* page = Open(Picture("tiny.png", "PNG", {2, 1}));
  ASSERT_NE(page, nullptr);
  for (int i = 0; i < 40; ++i)
    page->ZoomOut();
  EXPECT_GE(page->ImageSize().width(), 1);
  EXPECT_GE(page->ImageSize().height(), 1);
  for (int i = 0; i < 400; ++i)
    page->ZoomIn();
  EXPECT_LE(page->ImageSize().width(), TImagePage::MaxSide);
}

TEST_F(TImagePageTest, EveryPictureKindOpensAndBrokenOnesDoNot) {
  struct Case {
    const char* File;
    const char* Format; // nullptr: the bytes below (Qt writes no GIF)
    QSize Size;
  } cases[] = {{"a.jpg", "JPEG", {32, 16}},
               {"b.gif", nullptr, {1, 1}},
               {"c.png", "PNG", {32, 16}},
               {"d.bmp", "BMP", {32, 16}},
               {"e.ico", "ICO", {32, 16}}};
  static const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                            "!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                            "\x00\x02\x02D\x01\x00;";
  for (const auto& c : cases) {
    QString path;
    if (c.Format) {
      path = Picture(c.File, c.Format, c.Size);
    } else {
      QFile file(path = Dir.filePath(c.File));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(gif, sizeof gif - 1);
    }
    TImagePage* page = Open(path);
    ASSERT_NE(page, nullptr) << c.File;
    EXPECT_EQ(page->PictureSize(), c.Size) << c.File;
    EXPECT_EQ(page->Caption().toStdString(), std::string(c.File).substr(0, 1));
    EXPECT_TRUE(Form->QtAction("ZoomInAction")->isEnabled());
    EXPECT_FALSE(Form->QtAction("SaveAction")->isEnabled());
  }
  int pages = Form->Pages().size();
  QFile broken(Dir.filePath("broken.png"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("not a picture");
  broken.close();
  Boxes.clear();
  Form->OpenFileByExtension(broken.fileName().toStdString());
  EXPECT_EQ(Form->Pages().size(), pages);
  EXPECT_EQ(Boxes.size(), 1u);
}

} // namespace
