#include "shell/richdoc.h"

std::string TRichParagraph::Text() const {
  std::string text;
  for (const auto& run : Runs)
    text += run.Text;
  return text;
}

void TRichParagraph::Append(const std::string& text, const TRichFormat& format) {
  if (text.empty()) return;
  if (!Runs.empty() && Runs.back().Format == format)
    Runs.back().Text += text;
  else
    Runs.push_back({text, format});
}

std::string TRichDocument::PlainText() const {
  std::string text;
  for (std::size_t i = 0; i < Paragraphs.size(); ++i) {
    if (i) text += '\n';
    text += Paragraphs[i].Text();
  }
  return text;
}
