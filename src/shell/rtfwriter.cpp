#include "shell/rtfwriter.h"

#include <algorithm>
#include <cstdio>

#include "shell/textcodec.h"

namespace {

std::string Hex2(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\'%02x", v & 0xFF);
  return buf;
}

void AppendEscaped(std::string& out, const std::string& text) {
  for (char32_t cp : DecodeUtf8(text)) {
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == '\n') {
      out += "\\line ";
    } else if (cp == '\t') {
      out += "\\tab ";
    } else if (cp == '\r' || cp < 0x20) {
      // control characters have no place in rich text
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (auto b = UnicodeToCp1252(cp)) {
      out += Hex2(*b);
    } else if (cp > 0xFFFF) { // a UTF-16 pair, each half with its fallback
      char32_t v = cp - 0x10000;
      out += "\\u" + std::to_string(static_cast<int>(0xD800 + (v >> 10)) - 65536) + "?";
      out += "\\u" + std::to_string(static_cast<int>(0xDC00 + (v & 0x3FF)) - 65536) + "?";
    } else {
      int signed16 = cp >= 0x8000 ? static_cast<int>(cp) - 65536 : static_cast<int>(cp);
      out += "\\u" + std::to_string(signed16) + "?";
    }
  }
}

} // namespace

std::string TRtfWriter::Write(const TRichDocument& doc) {
  std::vector<std::string> fonts{""};
  std::vector<std::uint32_t> colors;
  for (const auto& para : doc.Paragraphs)
    for (const auto& run : para.Runs) {
      if (std::find(fonts.begin(), fonts.end(), run.Format.FontName) == fonts.end())
        fonts.push_back(run.Format.FontName);
      if (run.Format.Color &&
          std::find(colors.begin(), colors.end(), *run.Format.Color) == colors.end())
        colors.push_back(*run.Format.Color);
    }

  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    // Font 0 is the document's default; a name-less default is written as such.
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
    std::string name = fonts[i];
    name.erase(std::remove(name.begin(), name.end(), ';'), name.end());
    AppendEscaped(out, name);
    out += ";}";
  }
  out += "}\r\n{\\colortbl ;";
  for (auto c : colors)
    out += "\\red" + std::to_string(c & 255) + "\\green" + std::to_string((c >> 8) & 255) +
           "\\blue" + std::to_string((c >> 16) & 255) + ";";
  out += "}\r\n";

  for (const auto& para : doc.Paragraphs) {
    out += "\\pard";
    switch (para.Align) {
    case TRichAlign::Right:
      out += "\\qr";
      break;
    case TRichAlign::Center:
      out += "\\qc";
      break;
    case TRichAlign::Justify:
      out += "\\qj";
      break;
    case TRichAlign::Left:
      break;
    }
    if (para.Bullet)
      out += "{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}\\fi-360\\li720";
    for (const auto& run : para.Runs) {
      const auto& f = run.Format;
      auto font = std::find(fonts.begin(), fonts.end(), f.FontName) - fonts.begin();
      out += "{\\f" + std::to_string(font) + "\\fs" + std::to_string(f.HalfPoints);
      if (f.Color)
        out += "\\cf" + std::to_string(std::find(colors.begin(), colors.end(), *f.Color) -
                                       colors.begin() + 1);
      if (f.Bold) out += "\\b";
      if (f.Italic) out += "\\i";
      if (f.Underline) out += "\\ul";
      if (f.Strike) out += "\\strike";
      out += ' ';
      AppendEscaped(out, run.Text);
      out += '}';
    }
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}
