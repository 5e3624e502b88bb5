#include "scripting/engine/lexer.h"

#include "scripting/engine/types.h"

#include <cctype>
#include <cmath>
#include <unordered_map>

namespace kv::script {

namespace {

const std::unordered_map<std::string, TTok>& Keywords() {
  static const std::unordered_map<std::string, TTok> map = {{"and", TTok::KwAnd},
                                                            {"array", TTok::KwArray},
                                                            {"begin", TTok::KwBegin},
                                                            {"case", TTok::KwCase},
                                                            {"const", TTok::KwConst},
                                                            {"div", TTok::KwDiv},
                                                            {"do", TTok::KwDo},
                                                            {"downto", TTok::KwDownto},
                                                            {"else", TTok::KwElse},
                                                            {"end", TTok::KwEnd},
                                                            {"except", TTok::KwExcept},
                                                            {"finally", TTok::KwFinally},
                                                            {"for", TTok::KwFor},
                                                            {"forward", TTok::KwForward},
                                                            {"function", TTok::KwFunction},
                                                            {"if", TTok::KwIf},
                                                            {"in", TTok::KwIn},
                                                            {"is", TTok::KwIs},
                                                            {"as", TTok::KwAs},
                                                            {"mod", TTok::KwMod},
                                                            {"nil", TTok::KwNil},
                                                            {"not", TTok::KwNot},
                                                            {"of", TTok::KwOf},
                                                            {"or", TTok::KwOr},
                                                            {"out", TTok::KwOut},
                                                            {"procedure", TTok::KwProcedure},
                                                            {"program", TTok::KwProgram},
                                                            {"raise", TTok::KwRaise},
                                                            {"record", TTok::KwRecord},
                                                            {"repeat", TTok::KwRepeat},
                                                            {"set", TTok::KwSet},
                                                            {"shl", TTok::KwShl},
                                                            {"shr", TTok::KwShr},
                                                            {"then", TTok::KwThen},
                                                            {"to", TTok::KwTo},
                                                            {"try", TTok::KwTry},
                                                            {"type", TTok::KwType},
                                                            {"until", TTok::KwUntil},
                                                            {"uses", TTok::KwUses},
                                                            {"var", TTok::KwVar},
                                                            {"while", TTok::KwWhile},
                                                            {"with", TTok::KwWith},
                                                            {"xor", TTok::KwXor},
                                                            {"on", TTok::KwOn},
                                                            {"otherwise", TTok::KwOtherwise}};
  return map;
}

} // namespace

const char* TokName(TTok t) {
  switch (t) {
  case TTok::Eof:
    return "end of file";
  case TTok::Ident:
    return "identifier";
  case TTok::IntLit:
  case TTok::FloatLit:
    return "number";
  case TTok::StrLit:
    return "string";
  case TTok::Semi:
    return "';'";
  case TTok::Colon:
    return "':'";
  case TTok::Comma:
    return "','";
  case TTok::Dot:
    return "'.'";
  case TTok::Assign:
    return "':='";
  case TTok::Eq:
    return "'='";
  case TTok::LParen:
    return "'('";
  case TTok::RParen:
    return "')'";
  case TTok::LBrack:
    return "'['";
  case TTok::RBrack:
    return "']'";
  case TTok::KwBegin:
    return "'begin'";
  case TTok::KwEnd:
    return "'end'";
  case TTok::KwDo:
    return "'do'";
  case TTok::KwThen:
    return "'then'";
  case TTok::KwOf:
    return "'of'";
  case TTok::KwTo:
    return "'to'";
  case TTok::KwUntil:
    return "'until'";
  case TTok::DotDot:
    return "'..'";
  default:
    return "symbol";
  }
}

void TLexer::Advance() {
  if (Pos < Src.size()) {
    if (Src[Pos] == '\n') {
      ++Line;
      Col = 1;
    } else {
      ++Col;
    }
    ++Pos;
  }
}

void TLexer::SkipSpaceAndComments() {
  for (;;) {
    char c = Peek();
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
      Advance();
    } else if (c == '/' && Peek(1) == '/') {
      while (Pos < Src.size() && Peek() != '\n')
        Advance();
    } else if (c == '{') {
      int line = Line, col = Col;
      while (Pos < Src.size() && Peek() != '}')
        Advance();
      if (Pos >= Src.size()) throw TSourceError{"Unterminated comment", line, col};
      Advance();
    } else if (c == '(' && Peek(1) == '*') {
      int line = Line, col = Col;
      Advance();
      Advance();
      while (Pos < Src.size() && !(Peek() == '*' && Peek(1) == ')'))
        Advance();
      if (Pos >= Src.size()) throw TSourceError{"Unterminated comment", line, col};
      Advance();
      Advance();
    } else {
      return;
    }
  }
}

std::vector<TToken> TLexer::Tokenize() {
  std::vector<TToken> out;
  for (;;) {
    out.push_back(Next());
    if (out.back().Kind == TTok::Eof) return out;
  }
}

TToken TLexer::Number(TToken tok) {
  std::string digits;
  if (Peek() == '$') {
    Advance();
    while (std::isxdigit(static_cast<unsigned char>(Peek()))) {
      digits += Peek();
      Advance();
    }
    if (digits.empty() || digits.size() > 16)
      throw TSourceError{"Invalid number", tok.Line, tok.Col};
    tok.Kind = TTok::IntLit;
    tok.Int = static_cast<int64_t>(std::stoull(digits, nullptr, 16));
    return tok;
  }
  while (std::isdigit(static_cast<unsigned char>(Peek()))) {
    digits += Peek();
    Advance();
  }
  bool isFloat = false;
  if (Peek() == '.' && std::isdigit(static_cast<unsigned char>(Peek(1)))) {
    isFloat = true;
    digits += '.';
    Advance();
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
      digits += Peek();
      Advance();
    }
  }
  if ((Peek() == 'e' || Peek() == 'E') &&
      (std::isdigit(static_cast<unsigned char>(Peek(1))) ||
       ((Peek(1) == '+' || Peek(1) == '-') && std::isdigit(static_cast<unsigned char>(Peek(2)))))) {
    isFloat = true;
    digits += 'e';
    Advance();
    if (Peek() == '+' || Peek() == '-') {
      digits += Peek();
      Advance();
    }
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
      digits += Peek();
      Advance();
    }
  }
  if (isFloat) {
    tok.Kind = TTok::FloatLit;
    tok.Float = std::strtod(digits.c_str(), nullptr);
    return tok;
  }
  // Larger than int64: keep as a float, as a Pascal compiler would.
  if (digits.size() > 19 || (digits.size() == 19 && digits > "9223372036854775807")) {
    tok.Kind = TTok::FloatLit;
    tok.Float = std::strtod(digits.c_str(), nullptr);
    return tok;
  }
  tok.Kind = TTok::IntLit;
  tok.Int = std::stoll(digits);
  return tok;
}

TToken TLexer::StringSeq(TToken tok) {
  tok.Kind = TTok::StrLit;
  for (;;) {
    if (Peek() == '\'') {
      Advance();
      for (;;) {
        if (Pos >= Src.size() || Peek() == '\n')
          throw TSourceError{"Unterminated string", tok.Line, tok.Col};
        if (Peek() == '\'') {
          if (Peek(1) == '\'') {
            tok.Text += '\'';
            Advance();
            Advance();
            continue;
          }
          Advance();
          break;
        }
        tok.Text += Peek();
        Advance();
      }
    } else if (Peek() == '#') {
      int line = Line, col = Col;
      Advance();
      int64_t code = 0;
      bool any = false;
      if (Peek() == '$') {
        Advance();
        while (std::isxdigit(static_cast<unsigned char>(Peek()))) {
          code = code * 16 + std::stoi(std::string(1, Peek()), nullptr, 16);
          any = true;
          Advance();
          if (code > 255) break;
        }
      } else {
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
          code = code * 10 + (Peek() - '0');
          any = true;
          Advance();
          if (code > 255) break;
        }
      }
      if (!any || code > 255) throw TSourceError{"Invalid character code", line, col};
      tok.Text += static_cast<char>(code);
    } else {
      return tok;
    }
  }
}

TToken TLexer::Next() {
  SkipSpaceAndComments();
  TToken tok;
  tok.Line = Line;
  tok.Col = Col;
  char c = Peek();
  if (Pos >= Src.size()) {
    tok.Kind = TTok::Eof;
    return tok;
  }
  if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
    while (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_') {
      tok.Text += Peek();
      Advance();
    }
    auto it = Keywords().find(Lower(tok.Text));
    tok.Kind = it == Keywords().end() ? TTok::Ident : it->second;
    return tok;
  }
  if (std::isdigit(static_cast<unsigned char>(c)) || c == '$') return Number(tok);
  if (c == '\'' || c == '#') return StringSeq(tok);
  Advance();
  auto two = [&](char next, TTok both, TTok one) {
    if (Peek() == next) {
      Advance();
      tok.Kind = both;
    } else {
      tok.Kind = one;
    }
    return tok;
  };
  switch (c) {
  case '+':
    tok.Kind = TTok::Plus;
    return tok;
  case '-':
    tok.Kind = TTok::Minus;
    return tok;
  case '*':
    tok.Kind = TTok::Star;
    return tok;
  case '/':
    tok.Kind = TTok::Slash;
    return tok;
  case '=':
    tok.Kind = TTok::Eq;
    return tok;
  case '(':
    tok.Kind = TTok::LParen;
    return tok;
  case ')':
    tok.Kind = TTok::RParen;
    return tok;
  case '[':
    tok.Kind = TTok::LBrack;
    return tok;
  case ']':
    tok.Kind = TTok::RBrack;
    return tok;
  case ',':
    tok.Kind = TTok::Comma;
    return tok;
  case ';':
    tok.Kind = TTok::Semi;
    return tok;
  case '^':
    tok.Kind = TTok::Caret;
    return tok;
  case '@':
    tok.Kind = TTok::At;
    return tok;
  case '.':
    return two('.', TTok::DotDot, TTok::Dot);
  case ':':
    return two('=', TTok::Assign, TTok::Colon);
  case '>':
    return two('=', TTok::Ge, TTok::Gt);
  case '<':
    if (Peek() == '>') {
      Advance();
      tok.Kind = TTok::Ne;
      return tok;
    }
    return two('=', TTok::Le, TTok::Lt);
  default:
    break;
  }
  throw TSourceError{std::string("Unexpected character '") + c + "'", tok.Line, tok.Col};
}

} // namespace kv::script
