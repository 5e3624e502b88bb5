#pragma once
#include "scripting/engine/token.h"

#include <string>
#include <vector>

namespace kv::script {

struct TSourceError {
  std::string Text;
  int Line, Col;
};

// Turns Pascal source into tokens; identifiers and keywords are case-insensitive.
class TLexer {
public:
  explicit TLexer(const std::string& src) : Src(src) {}
  // Throws TSourceError on a bad character, an open comment or an open string.
  std::vector<TToken> Tokenize();

private:
  const std::string& Src;
  size_t Pos = 0;
  int Line = 1, Col = 1;

  char Peek(size_t ahead = 0) const { return Pos + ahead < Src.size() ? Src[Pos + ahead] : '\0'; }
  void Advance();
  void SkipSpaceAndComments();
  TToken Next();
  TToken Number(TToken tok);
  TToken StringSeq(TToken tok);
};

} // namespace kv::script
