#include "editor/ui/hexglyphs.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>

namespace {

// What 80h..9Fh show as.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar HexByteToChar(uint8_t b) {
  return (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
}

int HexCharToByte(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
  for (size_t i = 0; i < Cp1252High.size(); ++i)
    if (Cp1252High[i] == u) return static_cast<int>(0x80 + i);
  return -1;
}

QString HexBytesToText(const std::string& bytes) {
  QString s;
  s.reserve(static_cast<qsizetype>(bytes.size()));
  for (char c : bytes)
    s += HexByteToChar(static_cast<uint8_t>(c));
  return s;
}

std::string HexTextToBytes(const QString& text) {
  std::string s;
  s.reserve(static_cast<size_t>(text.size()));
  for (QChar c : text) {
    const int b = HexCharToByte(c);
    s += static_cast<char>(b < 0 ? '?' : b);
  }
  return s;
}

void THexGlyphFont::Build(const QFont& font) {
  const QFontMetrics fm(font);
  Ascent = fm.ascent();
  Descent = fm.descent();
  Raw = QRawFont::fromFont(font);
  Glyph.fill(0);
  Advance.fill(0);
  for (int b = 0; b < 256; ++b)
    Advance[static_cast<size_t>(b)] = fm.horizontalAdvance(HexByteToChar(static_cast<uint8_t>(b)));
  if (!Raw.isValid()) return;
  QString chars;
  for (int b = 0; b < 256; ++b)
    chars += HexByteToChar(static_cast<uint8_t>(b));
  const QList<quint32> glyphs = Raw.glyphIndexesForString(chars);
  if (glyphs.size() != 256) return;
  const QList<QPointF> advances = Raw.advancesForGlyphIndexes(glyphs);
  // Bytes with nothing to show (control characters, the code page's gaps,
  // glyphs the font lacks) are drawn as a dot, not as the missing-glyph box.
  const int dot = '.';
  for (int b = 0; b < 256; ++b) {
    const QChar c = HexByteToChar(static_cast<uint8_t>(b));
    const bool showable = c.category() != QChar::Other_Control && Raw.supportsCharacter(c);
    const int from = showable && glyphs[b] ? b : dot;
    Glyph[static_cast<size_t>(b)] = glyphs[from];
    if (glyphs[from]) Advance[static_cast<size_t>(b)] = advances[from].x();
  }
}

void THexGlyphBatch::Draw(QPainter& painter) {
  for (auto& b : Buckets) {
    if (b.Glyphs.isEmpty()) continue;
    QGlyphRun run;
    run.setRawFont(Font->Raw);
    run.setGlyphIndexes(b.Glyphs);
    run.setPositions(b.Positions);
    painter.setPen(QColor::fromRgba(b.Colour));
    painter.drawGlyphRun(QPointF(0, 0), run);
  }
  if (!Fallback.empty()) {
    painter.setFont(*QtFont);
    for (const auto& f : Fallback) {
      painter.setPen(QColor::fromRgba(f.Colour));
      painter.drawText(f.Pos, QString(HexByteToChar(f.Ch)));
    }
  }
}

THexGlyphBatch::TBucket& THexGlyphBatch::BucketFor(QRgb colour) {
  for (auto& b : Buckets)
    if (b.Colour == colour && !b.Glyphs.isEmpty()) return b;
  for (auto& b : Buckets)
    if (b.Glyphs.isEmpty()) {
      b.Colour = colour;
      return b;
    }
  Buckets.emplace_back();
  Buckets.back().Colour = colour;
  return Buckets.back();
}
