#include "shell/rtfreader.h"

#include <cctype>
#include <cstdint>
#include <map>
#include <set>

#include "shell/textcodec.h"

namespace {

enum class TDest { Text, Skip, FontTable, ColorTable, Bullet };

struct TGroupState {
  TRichFormat Format;
  int FontIndex = -1;
  TDest Dest = TDest::Text;
  int UnicodeSkip = 1; // \ucN
};

struct TParaState {
  TRichAlign Align = TRichAlign::Left;
  bool Bullet = false;
};

// Destinations whose content is not document text.
const std::set<std::string> SkippedDestinations = {"info",
                                                   "stylesheet",
                                                   "pict",
                                                   "object",
                                                   "header",
                                                   "headerl",
                                                   "headerr",
                                                   "headerf",
                                                   "footer",
                                                   "footerl",
                                                   "footerr",
                                                   "footerf",
                                                   "footnote",
                                                   "annotation",
                                                   "xe",
                                                   "tc",
                                                   "txe",
                                                   "rxe",
                                                   "pntext",
                                                   "listtext",
                                                   "listtable",
                                                   "listoverridetable",
                                                   "rsidtbl",
                                                   "themedata",
                                                   "colorschememapping",
                                                   "latentstyles",
                                                   "datastore",
                                                   "generator",
                                                   "filetbl",
                                                   "revtbl",
                                                   "pgdsctbl",
                                                   "fldinst",
                                                   "nonshppict",
                                                   "shppict",
                                                   "bkmkstart",
                                                   "bkmkend",
                                                   "userprops",
                                                   "xmlnstbl",
                                                   "mmathPr",
                                                   "template",
                                                   "docvar",
                                                   "fchars",
                                                   "lchars",
                                                   "pnseclvl",
                                                   "pntxta",
                                                   "pntxtb",
                                                   "private",
                                                   "atnid",
                                                   "atnauthor"};

class TParser {
public:
  explicit TParser(const std::string& s) : Src(s) {}

  TRichDocument Run() {
    Stack.push_back(TGroupState());
    while (Pos < Src.size()) {
      char c = Src[Pos++];
      switch (c) {
      case '{':
        Stack.push_back(Stack.back());
        GroupStart = true;
        break;
      case '}':
        CloseGroup();
        break;
      case '\\':
        ControlWord();
        break;
      case '\r':
      case '\n':
        break;
      default:
        Character(static_cast<unsigned char>(c));
        GroupStart = false;
      }
    }
    FlushText();
    if (!Para.Runs.empty()) EndParagraph();
    return Doc;
  }

private:
  TGroupState& State() { return Stack.back(); }

  void CloseGroup() {
    FlushText();
    GroupStart = false;
    if (State().Dest == TDest::FontTable && !FontName.empty()) EndFontEntry();
    SkipPending = 0;
    if (Stack.size() > 1) Stack.pop_back();
    if (Stack.size() == 1) Pos = Src.size(); // the document's group has ended
  }

  // A byte of text in the current destination (code page bytes or ASCII).
  void Character(unsigned char c) {
    if (SkipPending > 0) {
      --SkipPending;
      return;
    }
    EmitCodePoint(Cp1252ToUnicode(c));
  }

  void EmitCodePoint(char32_t cp) {
    // A UTF-16 pair arrives as two \u words.
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      HighSurrogate = cp;
      return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
      cp = HighSurrogate ? 0x10000 + ((HighSurrogate - 0xD800) << 10) + (cp - 0xDC00) : 0xFFFD;
    } else if (HighSurrogate) {
      AppendUtf8(Pending, 0xFFFD);
    }
    HighSurrogate = 0;
    switch (State().Dest) {
    case TDest::Text:
      AppendUtf8(Pending, cp);
      break;
    case TDest::FontTable:
      if (cp == ';')
        EndFontEntry();
      else
        AppendUtf8(FontName, cp);
      break;
    case TDest::ColorTable:
      if (cp == ';') {
        Colors.push_back(ColorSet ? std::optional<std::uint32_t>(Red | Green << 8 | Blue << 16)
                                  : std::nullopt);
        Red = Green = Blue = 0;
        ColorSet = false;
      }
      break;
    default:
      break;
    }
  }

  void EndFontEntry() {
    std::string name = FontName;
    while (!name.empty() && name.back() == ' ')
      name.pop_back();
    while (!name.empty() && name.front() == ' ')
      name.erase(name.begin());
    if (FontEntryIndex >= 0) Fonts[FontEntryIndex] = name;
    FontName.clear();
    FontEntryIndex = -1;
  }

  void FlushText() {
    if (Pending.empty()) return;
    Para.Append(Pending, CurrentFormat());
    Pending.clear();
  }

  TRichFormat CurrentFormat() {
    TRichFormat f = State().Format;
    auto font = Fonts.find(State().FontIndex >= 0 ? State().FontIndex : DefaultFont);
    f.FontName = font != Fonts.end() ? font->second : std::string();
    return f;
  }

  void EndParagraph() {
    FlushText();
    Para.Align = ParaProps.Align;
    Para.Bullet = ParaProps.Bullet;
    Doc.Paragraphs.push_back(std::move(Para));
    Para = TRichParagraph();
  }

  void FormatChange() { FlushText(); }

  void ControlWord() {
    if (Pos >= Src.size()) return;
    char c = Src[Pos];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++Pos;
      ControlSymbol(c);
      GroupStart = false;
      return;
    }
    std::size_t start = Pos;
    while (Pos < Src.size() && std::isalpha(static_cast<unsigned char>(Src[Pos])) &&
           Pos - start < 32)
      ++Pos;
    std::string word = Src.substr(start, Pos - start);
    bool hasParam = false;
    long long param = 0;
    bool negative = false;
    if (Pos < Src.size() && Src[Pos] == '-' && Pos + 1 < Src.size() &&
        std::isdigit(static_cast<unsigned char>(Src[Pos + 1]))) {
      negative = true;
      ++Pos;
    }
    int digits = 0;
    while (Pos < Src.size() && std::isdigit(static_cast<unsigned char>(Src[Pos]))) {
      if (digits++ < 10) param = param * 10 + (Src[Pos] - '0');
      ++Pos;
      hasParam = true;
    }
    if (negative) param = -param;
    if (param > INT32_MAX) param = INT32_MAX;
    if (param < INT32_MIN) param = INT32_MIN;
    if (Pos < Src.size() && Src[Pos] == ' ') ++Pos;
    bool first = GroupStart;
    GroupStart = false;
    Word(word, hasParam, static_cast<int>(param), first);
  }

  void ControlSymbol(char c) {
    switch (c) {
    case '\\':
    case '{':
    case '}':
      Character(static_cast<unsigned char>(c));
      break;
    case '\'': {
      int value = 0, n = 0;
      while (n < 2 && Pos < Src.size() && std::isxdigit(static_cast<unsigned char>(Src[Pos]))) {
        char h = static_cast<char>(std::tolower(static_cast<unsigned char>(Src[Pos++])));
        value = value * 16 + (h <= '9' ? h - '0' : h - 'a' + 10);
        ++n;
      }
      if (n) Character(static_cast<unsigned char>(value));
      break;
    }
    case '~':
      Special(0xA0);
      break;
    case '_':
      Special(0x2011);
      break;
    case '*':
      // The group is ignorable unless its destination is one we read.
      StarPending = true;
      break;
    case '\r':
    case '\n':
      if (State().Dest == TDest::Text) EndParagraph();
      break;
    default: // \- optional hyphen, \| and others: nothing to show
      break;
    }
  }

  void Special(char32_t cp) {
    if (SkipPending > 0) {
      --SkipPending;
      return;
    }
    EmitCodePoint(cp);
  }

  void Word(const std::string& w, bool hasParam, int p, bool firstInGroup) {
    auto& st = State();
    // After \*, a known destination is still read (\pn); anything else stays skipped.
    if (StarPending) {
      StarPending = false;
      if (w == "pn") {
        st.Dest = TDest::Bullet;
        return;
      }
      st.Dest = TDest::Skip;
      return;
    }
    if (firstInGroup || st.Dest == TDest::Text) {
      if (SkippedDestinations.count(w)) {
        FlushText();
        st.Dest = TDest::Skip;
        return;
      }
    }
    if (w == "fonttbl") {
      st.Dest = TDest::FontTable;
      return;
    }
    if (w == "colortbl") {
      st.Dest = TDest::ColorTable;
      return;
    }
    if (w == "pn") {
      st.Dest = TDest::Bullet;
      return;
    }
    if (w == "bin") { // raw bytes follow: never read them as text
      std::size_t n = hasParam && p > 0 ? static_cast<std::size_t>(p) : 0;
      Pos = n > Src.size() - Pos ? Src.size() : Pos + n;
      return;
    }
    if (w == "uc") {
      st.UnicodeSkip = hasParam && p >= 0 ? p : 1;
      return;
    }
    if (w == "u" && hasParam) {
      int v = p < 0 ? p + 65536 : p;
      if (st.Dest == TDest::Text || st.Dest == TDest::FontTable)
        EmitCodePoint(static_cast<char32_t>(v));
      SkipPending = st.UnicodeSkip;
      return;
    }
    if (SkipPending > 0) { // a control word counts as one fallback character
      --SkipPending;
      return;
    }
    switch (st.Dest) {
    case TDest::FontTable:
      if (w == "f" && hasParam) {
        if (!FontName.empty()) EndFontEntry();
        FontEntryIndex = p;
      }
      return;
    case TDest::ColorTable:
      if (w == "red") Red = static_cast<std::uint32_t>(p & 255), ColorSet = true;
      if (w == "green") Green = static_cast<std::uint32_t>(p & 255), ColorSet = true;
      if (w == "blue") Blue = static_cast<std::uint32_t>(p & 255), ColorSet = true;
      return;
    case TDest::Bullet:
      if (w == "pnlvlblt") ParaProps.Bullet = true;
      return;
    case TDest::Skip:
      return;
    case TDest::Text:
      break;
    }
    TextWord(w, hasParam, p);
  }

  void TextWord(const std::string& w, bool hasParam, int p) {
    auto& f = State().Format;
    bool on = !hasParam || p != 0;
    if (w == "par") {
      EndParagraph();
    } else if (w == "pard") {
      FlushText();
      ParaProps = TParaState();
    } else if (w == "ql" || w == "qr" || w == "qc" || w == "qj") {
      ParaProps.Align = w == "qr"   ? TRichAlign::Right
                        : w == "qc" ? TRichAlign::Center
                        : w == "qj" ? TRichAlign::Justify
                                    : TRichAlign::Left;
    } else if (w == "ls") {
      ParaProps.Bullet = true; // list paragraphs show as bullets
    } else if (w == "line") {
      Special('\n');
    } else if (w == "tab") {
      Special('\t');
    } else if (w == "emdash" || w == "endash" || w == "bullet" || w == "lquote" || w == "rquote" ||
               w == "ldblquote" || w == "rdblquote" || w == "emspace" || w == "enspace") {
      static const std::map<std::string, char32_t> symbols = {
          {"emdash", 0x2014},    {"endash", 0x2013},  {"bullet", 0x2022},
          {"lquote", 0x2018},    {"rquote", 0x2019},  {"ldblquote", 0x201C},
          {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}};
      Special(symbols.at(w));
    } else if (w == "plain") {
      FormatChange();
      f = TRichFormat();
      State().FontIndex = -1;
    } else if (w == "b") {
      FormatChange();
      f.Bold = on;
    } else if (w == "i") {
      FormatChange();
      f.Italic = on;
    } else if (w == "ulnone") {
      FormatChange();
      f.Underline = false;
    } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" ||
               w == "ulwave" || w == "ulth") {
      FormatChange();
      f.Underline = on;
    } else if (w == "strike" || w == "striked") {
      FormatChange();
      f.Strike = on;
    } else if (w == "fs" && hasParam && p > 0 && p <= 3276) {
      FormatChange();
      f.HalfPoints = p;
    } else if (w == "f" && hasParam) {
      FormatChange();
      State().FontIndex = p;
    } else if (w == "cf" && hasParam) {
      FormatChange();
      f.Color = p > 0 && static_cast<std::size_t>(p) < Colors.size() ? Colors[p] : std::nullopt;
    } else if (w == "deff" && hasParam) {
      DefaultFont = p;
    }
  }

  const std::string& Src;
  std::size_t Pos = 0;
  std::vector<TGroupState> Stack;
  TParaState ParaProps;
  TRichParagraph Para;
  TRichDocument Doc;
  std::string Pending;
  std::map<int, std::string> Fonts;
  std::string FontName;
  int FontEntryIndex = -1;
  int DefaultFont = 0;
  std::vector<std::optional<std::uint32_t>> Colors;
  std::uint32_t Red = 0, Green = 0, Blue = 0;
  bool ColorSet = false;
  int SkipPending = 0;
  char32_t HighSurrogate = 0;
  bool GroupStart = false;
  bool StarPending = false;
};

} // namespace

bool TRtfReader::LooksLikeRtf(const std::string& text) {
  std::size_t i = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
    ++i;
  return text.compare(i, 5, "{\\rtf") == 0;
}

TRichDocument TRtfReader::Read(const std::string& rtf) {
  return TParser(rtf).Run();
}
