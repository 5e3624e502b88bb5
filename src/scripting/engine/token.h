#pragma once
#include <cstdint>
#include <string>

namespace kv::script {

enum class TTok {
  Eof,
  Ident,
  IntLit,
  FloatLit,
  StrLit, // also #13 and 'a'#10'b' sequences, already joined
  // symbols
  Plus,
  Minus,
  Star,
  Slash,
  Eq,
  Ne,
  Lt,
  Le,
  Gt,
  Ge,
  LParen,
  RParen,
  LBrack,
  RBrack,
  Dot,
  DotDot,
  Comma,
  Semi,
  Colon,
  Assign,
  Caret,
  At,
  // keywords
  KwAnd,
  KwArray,
  KwBegin,
  KwCase,
  KwConst,
  KwDiv,
  KwDo,
  KwDownto,
  KwElse,
  KwEnd,
  KwExcept,
  KwFinally,
  KwFor,
  KwForward,
  KwFunction,
  KwIf,
  KwIn,
  KwIs,
  KwAs,
  KwMod,
  KwNil,
  KwNot,
  KwOf,
  KwOr,
  KwOut,
  KwProcedure,
  KwProgram,
  KwRaise,
  KwRecord,
  KwRepeat,
  KwSet,
  KwShl,
  KwShr,
  KwThen,
  KwTo,
  KwTry,
  KwType,
  KwUntil,
  KwUses,
  KwVar,
  KwWhile,
  KwWith,
  KwXor,
  KwOn,
  KwOtherwise
};

struct TToken {
  TTok Kind = TTok::Eof;
  std::string Text; // identifier spelling or string value
  int64_t Int = 0;
  double Float = 0;
  int Line = 1, Col = 1;
};

const char* TokName(TTok t);

} // namespace kv::script
