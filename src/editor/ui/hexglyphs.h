#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QPainter;

// Bytes are shown and exchanged as the Western desktop code page: Latin-1
// with the printable characters of 80h..9Fh.
QChar HexByteToChar(uint8_t b);
int HexCharToByte(QChar c); // -1: no byte for it
QString HexBytesToText(const std::string& bytes);
std::string HexTextToBytes(const QString& text); // "?" for characters without a byte

// One font's glyphs for the 256 byte characters, so that a whole colour's
// worth of cells goes out in one glyph run.
struct THexGlyphFont {
  QRawFont Raw;
  std::array<quint32, 256> Glyph{};
  std::array<qreal, 256> Advance{};
  int Ascent = 0;
  int Descent = 0;

  void Build(const QFont& font);
  int Baseline(int rowTop, int rowHeight) const {
    return rowTop + (rowHeight - (Ascent + Descent)) / 2 + Ascent;
  }
};

// Glyphs of one font waiting to be drawn, bucketed by colour.
class THexGlyphBatch {
public:
  void Reset(const THexGlyphFont* font, const QFont* qfont) {
    Font = font;
    QtFont = qfont;
    for (auto& b : Buckets) {
      b.Glyphs.clear();
      b.Positions.clear();
    }
    Fallback.clear();
  }
  void Add(uint8_t ch, qreal x, qreal y, QRgb colour) {
    const quint32 glyph = Font->Glyph[ch];
    if (!glyph) {
      Fallback.push_back({ch, QPointF(x, y), colour});
      return;
    }
    TBucket& b = BucketFor(colour);
    b.Glyphs.push_back(glyph);
    b.Positions.push_back(QPointF(x, y));
  }
  void AddText(const char* text, qreal x, qreal y, QRgb colour) {
    for (; *text; ++text) {
      const auto ch = static_cast<uint8_t>(*text);
      Add(ch, x, y, colour);
      x += Font->Advance[ch];
    }
  }
  void Draw(QPainter& painter);

private:
  struct TBucket {
    QRgb Colour = 0;
    QList<quint32> Glyphs;
    QList<QPointF> Positions;
  };
  struct TFallback {
    uint8_t Ch;
    QPointF Pos;
    QRgb Colour;
  };
  TBucket& BucketFor(QRgb colour);
  const THexGlyphFont* Font = nullptr;
  const QFont* QtFont = nullptr;
  std::vector<TBucket> Buckets;
  std::vector<TFallback> Fallback;
};
