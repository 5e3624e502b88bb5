// Repaint of the hex view over a 16 MiB buffer: one full viewport rendered
// into an image, at several scroll positions.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "editor/ui/xhexeditview.h"

namespace {

constexpr int32_t BufferSize = 16 << 20;

TXHexEditView& View() {
  static std::unique_ptr<TXHexEditView> view = [] {
    auto v = std::make_unique<TXHexEditView>();
    v->resize(1000, 760);
    v->Buffer().NewData("bench.bin", BufferSize - 1);
    uint8_t* data = v->Buffer().Data();
    for (int32_t i = 0; i < BufferSize; ++i)
      data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    v->show();
    QApplication::processEvents();
    v->ResetView();
    return v;
  }();
  return *view;
}

// Arg: scroll position in percent of the buffer.
void BM_Repaint(benchmark::State& state) {
  TXHexEditView& view = View();
  view.OnDrawHex = nullptr;
  view.OnDrawText = nullptr;
  view.Buffer().SetSelection(false, 0, 0);
  view.SetFirstVisibleOffset(static_cast<int32_t>(int64_t{BufferSize} * state.range(0) / 100));
  QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state)
    view.viewport()->render(&image);
  state.counters["rows"] = view.VisibleRows();
}
BENCHMARK(BM_Repaint)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// What a programmer page draws: modified bytes coloured and a selection.
void BM_RepaintColouredSelection(benchmark::State& state) {
  TXHexEditView& view = View();
  const int32_t first = BufferSize / 2;
  view.SetFirstVisibleOffset(first);
  view.Buffer().SetSelection(true, first + 40, first + 300);
  auto modified = [](int32_t offset, QColor& colour) {
    if (offset % 5 != 0) return false;
    colour = Qt::red;
    return true;
  };
  view.OnDrawHex = modified;
  view.OnDrawText = modified;
  QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state)
    view.viewport()->render(&image);
}
BENCHMARK(BM_RepaintColouredSelection)->Unit(benchmark::kMillisecond);

// The anchor: the same viewport drawn the plain way, one formatted drawText
// per offset, data and text cell, with nothing cached.
void BM_AnchorCellByCell(benchmark::State& state) {
  TXHexEditView& view = View();
  const QSize size = view.viewport()->size();
  const QFont font = view.font();
  const QFontMetrics metrics(font);
  const int rowHeight = metrics.height();
  const int rows = (size.height() - 2) / rowHeight + 1;
  const int cell = metrics.horizontalAdvance(QStringLiteral("AA")) + 4;
  const int charWidth = metrics.horizontalAdvance(QLatin1Char('W'));
  const uint8_t* data = view.Buffer().Data();
  const int32_t first = BufferSize / 2;
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setFont(font);
    painter.fillRect(image.rect(), Qt::white);
    for (int r = 0; r < rows; ++r) {
      const int32_t offset = first + r * 16;
      const int y = 2 + r * rowHeight;
      painter.drawText(QRect(3, y, 80, rowHeight), Qt::AlignVCenter,
                       QString::asprintf("%6.6X:", static_cast<unsigned>(offset)));
      for (int c = 0; c < 16; ++c) {
        const uint8_t b = data[offset + c];
        painter.drawText(QRect(90 + c * cell, y, cell, rowHeight), Qt::AlignVCenter,
                         QString::asprintf("%2.2X", b));
        painter.drawText(QRect(90 + 16 * cell + 8 + c * charWidth, y, charWidth, rowHeight),
                         Qt::AlignVCenter, QString(QChar(b < 0x20 ? '.' : b)));
      }
    }
  }
}
BENCHMARK(BM_AnchorCellByCell)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
