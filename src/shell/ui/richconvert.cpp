#include "shell/ui/richconvert.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

namespace {

TRichFormat FromCharFormat(const QTextCharFormat& f, const QFont& base) {
  TRichFormat r;
  QStringList families =
      f.hasProperty(QTextFormat::FontFamilies) ? f.fontFamilies().toStringList() : QStringList{};
  r.FontName = (families.isEmpty() ? base.family() : families.first()).toStdString();
  double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF();
  if (points > 0) r.HalfPoints = static_cast<int>(std::lround(points * 2));
  r.Bold = f.fontWeight() >= QFont::Bold;
  r.Italic = f.fontItalic();
  r.Underline = f.fontUnderline();
  r.Strike = f.fontStrikeOut();
  if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
    QColor c = f.foreground().color();
    r.Color = static_cast<std::uint32_t>(c.red() | c.green() << 8 | c.blue() << 16);
  }
  return r;
}

QTextCharFormat ToCharFormat(const TRichFormat& r) {
  QTextCharFormat f;
  if (!r.FontName.empty()) f.setFontFamilies(QStringList{QString::fromStdString(r.FontName)});
  f.setFontPointSize(r.HalfPoints / 2.0);
  f.setFontWeight(r.Bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(r.Italic);
  f.setFontUnderline(r.Underline);
  f.setFontStrikeOut(r.Strike);
  if (r.Color) {
    std::uint32_t c = *r.Color;
    f.setForeground(QColor(c & 255, (c >> 8) & 255, (c >> 16) & 255));
  }
  return f;
}

TRichAlign FromAlignment(Qt::Alignment a) {
  if (a & Qt::AlignRight) return TRichAlign::Right;
  if (a & Qt::AlignHCenter) return TRichAlign::Center;
  if (a & Qt::AlignJustify) return TRichAlign::Justify;
  return TRichAlign::Left;
}

Qt::Alignment ToAlignment(TRichAlign a) {
  switch (a) {
  case TRichAlign::Right:
    return Qt::AlignRight;
  case TRichAlign::Center:
    return Qt::AlignHCenter;
  case TRichAlign::Justify:
    return Qt::AlignJustify;
  case TRichAlign::Left:
    break;
  }
  return Qt::AlignLeft;
}

} // namespace

TRichDocument RichFromDocument(const QTextDocument& doc) {
  TRichDocument rich;
  QFont base = doc.defaultFont();
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    TRichParagraph para;
    para.Align = FromAlignment(block.blockFormat().alignment());
    para.Bullet = block.textList() != nullptr;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      QString text = fragment.text();
      text.replace(QChar::LineSeparator, QChar('\n'));
      text.remove(QChar::ObjectReplacementCharacter); // pictures are not kept
      para.Append(text.toStdString(), FromCharFormat(fragment.charFormat(), base));
    }
    rich.Paragraphs.push_back(std::move(para));
  }
  // The editor always holds one block; an empty one is an empty document.
  if (rich.Paragraphs.size() == 1 && rich.Paragraphs[0].Runs.empty() && !rich.Paragraphs[0].Bullet)
    rich.Paragraphs.clear();
  return rich;
}

void DocumentFromRich(const TRichDocument& rich, QTextDocument& doc) {
  doc.clear();
  QTextCursor cursor(&doc);
  QTextList* list = nullptr;
  for (std::size_t i = 0; i < rich.Paragraphs.size(); ++i) {
    const auto& para = rich.Paragraphs[i];
    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(ToAlignment(para.Align));
    if (i == 0)
      cursor.setBlockFormat(blockFormat);
    else
      cursor.insertBlock(blockFormat);
    if (para.Bullet) {
      if (list)
        list->add(cursor.block());
      else
        list = cursor.createList(QTextListFormat::ListDisc);
    } else {
      list = nullptr;
    }
    for (const auto& run : para.Runs) {
      QString text = QString::fromStdString(run.Text);
      text.replace(QChar('\n'), QChar::LineSeparator);
      cursor.insertText(text, ToCharFormat(run.Format));
    }
  }
}
