#include <gtest/gtest.h>

#include "shell/rtfreader.h"
#include "shell/rtfwriter.h"

namespace {

TRichFormat Fmt(std::string font = "", int halfPoints = 24) {
  TRichFormat f;
  f.FontName = std::move(font);
  f.HalfPoints = halfPoints;
  return f;
}

TEST(RtfReader, TextOfCommonFiles) {
  struct Case {
    const char* Name;
    const char* Rtf;
    const char* Text;
  } cases[] = {
      {"two paragraphs", R"({\rtf1\ansi Hello\par World\par})", "Hello\nWorld"},
      {"no final par", R"({\rtf1 abc})", "abc"},
      {"escaped symbols", R"({\rtf1 a\\b\{c\}})", "a\\b{c}"},
      {"code page bytes", R"({\rtf1\ansi caf\'e9 \'80\'93})",
       "caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x9C"},
      {"unicode with fallback", R"({\rtf1\uc1 \u937?\u-4064?x})", "\xCE\xA9\xEF\x80\xA0x"},
      {"unicode skip of two", R"({\rtf1\uc2 \u8364\'80\'80!})", "\xE2\x82\xAC!"},
      {"surrogate pair", R"({\rtf1 \u-10179?\u-8704?})", "\xF0\x9F\x98\x80"},
      {"line and tab", R"({\rtf1 a\line b\tab c})", "a\nb\tc"},
      {"skips info and stylesheet",
       R"({\rtf1{\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}}Body})", "Body"},
      {"skips unknown starred destination", R"({\rtf1{\*\generator Writer;}{\*\xyz hidden}Seen})",
       "Seen"},
      {"field shows its result", R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})",
       "link"},
      {"picture bytes are not text", R"({\rtf1 a{\pict\pngblip 89504e47}b})", "ab"},
      {"binary data is skipped", "{\\rtf1 a{\\object\\bin3 }{}}b}", "ab"},
      {"symbol words", R"({\rtf1 \ldblquote q\rdblquote\~\emdash})",
       "\xE2\x80\x9Cq\xE2\x80\x9D\xC2\xA0\xE2\x80\x94"},
      {"backslash newline is a paragraph", "{\\rtf1 a\\\nb}", "a\nb"},
      {"unbalanced close and open", "{\\rtf1 a}}}b", "a"},
      {"truncated", "{\\rtf1 {\\b bold", "bold"},
      {"truncated escape", "{\\rtf1 x\\'4", "x\x04"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TRtfReader::Read(c.Rtf).PlainText(), c.Text) << c.Name;
}

TEST(RtfReader, CharacterFormatFollowsGroups) {
  auto doc = TRtfReader::Read(
      R"({\rtf1\deff0{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fmodern{\*\panose 02}Courier New;}})"
      R"({\colortbl ;\red255\green0\blue0;\red0\green0\blue255;})"
      R"(plain {\b bold {\i both}} \ul under\ulnone  {\strike s}{\f1\fs40\cf2 big}\plain\cf1 red\par})");
  ASSERT_EQ(doc.Paragraphs.size(), 1u);
  const auto& runs = doc.Paragraphs[0].Runs;
  auto find = [&](const std::string& text) -> const TRichFormat& {
    for (const auto& r : runs)
      if (r.Text == text) return r.Format;
    ADD_FAILURE() << "no run " << text;
    static TRichFormat none;
    return none;
  };
  EXPECT_EQ(find("plain ").FontName, "Arial");
  EXPECT_FALSE(find("plain ").Bold);
  EXPECT_TRUE(find("bold ").Bold);
  EXPECT_TRUE(find("both").Bold && find("both").Italic);
  EXPECT_TRUE(find("under").Underline);
  EXPECT_FALSE(find(" ").Underline);
  EXPECT_TRUE(find("s").Strike);
  EXPECT_EQ(find("big").FontName, "Courier New");
  EXPECT_EQ(find("big").HalfPoints, 40);
  EXPECT_EQ(find("big").Color, 0xFF0000u);
  EXPECT_EQ(find("red").Color, 0x0000FFu);
  EXPECT_FALSE(find("red").Underline);
}

TEST(RtfReader, ParagraphAlignmentAndBullets) {
  auto doc = TRtfReader::Read(
      R"({\rtf1\pard\qc centred\par right\qr\par\pard left\par)"
      R"(\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'B7}}\fi-360\li720 item one\par)"
      R"({\pntext\'B7\tab}item two\par\pard{\listtext 1.\tab}\ls1 listed\par\pard after\par})");
  struct Expect {
    const char* Text;
    TRichAlign Align;
    bool Bullet;
  } expected[] = {
      {"centred", TRichAlign::Center, false}, {"right", TRichAlign::Right, false},
      {"left", TRichAlign::Left, false},      {"item one", TRichAlign::Left, true},
      {"item two", TRichAlign::Left, true},   {"listed", TRichAlign::Left, true},
      {"after", TRichAlign::Left, false},
  };
  ASSERT_EQ(doc.Paragraphs.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(doc.Paragraphs[i].Text(), expected[i].Text) << i;
    EXPECT_EQ(doc.Paragraphs[i].Align, expected[i].Align) << expected[i].Text;
    EXPECT_EQ(doc.Paragraphs[i].Bullet, expected[i].Bullet) << expected[i].Text;
  }
}

TEST(RtfReader, RecognisesRtfByItsHeader) {
  EXPECT_TRUE(TRtfReader::LooksLikeRtf("{\\rtf1 x}"));
  EXPECT_TRUE(TRtfReader::LooksLikeRtf("\xEF\xBB\xBF \r\n{\\rtf1}"));
  EXPECT_FALSE(TRtfReader::LooksLikeRtf("plain {\\rtf1}"));
  EXPECT_FALSE(TRtfReader::LooksLikeRtf(""));
}

TEST(RtfWriter, DocumentsComeBackUnchanged) {
  TRichFormat bold = Fmt("Arial", 28);
  bold.Bold = true;
  TRichFormat styled = Fmt("Courier New", 20);
  styled.Italic = styled.Underline = styled.Strike = true;
  styled.Color = 0x3366CC;
  TRichFormat red = Fmt();
  red.Color = 0x0000FF;

  TRichDocument doc;
  doc.Paragraphs.push_back({TRichAlign::Left, false, {{"Plain ", Fmt()}, {"bold", bold}}});
  doc.Paragraphs.push_back({TRichAlign::Center, false, {{"braces {} and \\", styled}}});
  doc.Paragraphs.push_back({TRichAlign::Right, true, {{"caf\xC3\xA9 \xE2\x82\xAC", red}}});
  doc.Paragraphs.push_back(
      {TRichAlign::Justify, true, {{"\xCE\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80", Fmt("Font;Name")}}});
  doc.Paragraphs.push_back({TRichAlign::Left, false, {}}); // an empty last line
  doc.Paragraphs.push_back({TRichAlign::Left, false, {{"a\nb\tc", Fmt()}}});

  std::string rtf = TRtfWriter::Write(doc);
  for (char c : rtf)
    ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is 7-bit text";
  auto back = TRtfReader::Read(rtf);
  doc.Paragraphs[3].Runs[0].Format.FontName = "FontName"; // ';' ends a font table entry
  EXPECT_EQ(back, doc) << rtf;
}

TEST(RtfWriter, EmptyDocument) {
  EXPECT_TRUE(TRtfReader::Read(TRtfWriter::Write(TRichDocument())).Paragraphs.empty());
}

} // namespace
