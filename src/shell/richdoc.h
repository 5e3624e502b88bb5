#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Rich text as the text page keeps it between the editor and an RTF file:
// paragraphs of runs of equally formatted UTF-8 text. A "\n" inside a run is a
// line break within the paragraph, a "\t" a tab.
struct TRichFormat {
  std::string FontName;               // empty: the document's default font
  int HalfPoints = 24;                // size in half points (12 pt)
  std::optional<std::uint32_t> Color; // RGB, red in the low byte; none: automatic
  bool Bold = false, Italic = false, Underline = false, Strike = false;
  bool operator==(const TRichFormat&) const = default;
};

struct TRichRun {
  std::string Text;
  TRichFormat Format;
  bool operator==(const TRichRun&) const = default;
};

enum class TRichAlign { Left, Right, Center, Justify };

struct TRichParagraph {
  TRichAlign Align = TRichAlign::Left;
  bool Bullet = false;
  std::vector<TRichRun> Runs;
  bool operator==(const TRichParagraph&) const = default;

  std::string Text() const;
  // Appends text, joining it to the last run when the format is the same.
  void Append(const std::string& text, const TRichFormat& format);
};

struct TRichDocument {
  std::vector<TRichParagraph> Paragraphs;
  bool operator==(const TRichDocument&) const = default;

  // The paragraphs' text joined with "\n".
  std::string PlainText() const;
};
