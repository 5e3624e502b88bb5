#pragma once
#include "scripting/engine/ast.h"
#include "scripting/engine/lexer.h"

#include <string>
#include <vector>

namespace kv::script {

// Front end of the Pascal dialect: tokens to the shared syntax tree.
// All entry points throw TSourceError with the position of the fault.
class TPasParser {
public:
  explicit TPasParser(const std::string& src);
  TNodePtr ParseProgram();
  // Host declarations given as text: "function F(A: integer): string;".
  TNodePtr ParseHeadingOnly();
  TNodePtr ParseTypeOnly();

private:
  std::vector<TToken> Toks;
  size_t P = 0;
  int Depth = 0;

  const TToken& Cur() const { return Toks[P]; }
  const TToken& Ahead(size_t n = 1) const {
    return Toks[P + n < Toks.size() ? P + n : Toks.size() - 1];
  }
  bool Is(TTok t) const { return Cur().Kind == t; }
  bool IsIdent(const char* word) const;
  bool Accept(TTok t);
  const TToken& Expect(TTok t);
  std::string ExpectIdent();
  [[noreturn]] void Fail(const std::string& text) const;
  TNodePtr Make(TNodeKind kind) const;

  TNodePtr Block();
  void ConstSection(TNode& block);
  void TypeSection(TNode& block);
  void VarSection(TNode& block);
  TNodePtr ProcDecl();
  TNodePtr Heading(bool isFunction, bool needName);
  void Params(TNode& heading);
  TNodePtr TypeExpr();

  TNodePtr Statement();
  TNodePtr Compound();
  void StatementList(TNode& into, TTok end1, TTok end2 = TTok::Eof);
  TNodePtr CaseStmt();
  TNodePtr TryStmt();
  TNodePtr ForStmt();

  TNodePtr Expr();
  TNodePtr Simple();
  TNodePtr Term();
  TNodePtr Factor();
  TNodePtr Designator();
  TNodePtr Selectors(TNodePtr n);
  TNodePtr AssignOrCall(TNodePtr target);
  TNodePtr SetConstructor();
  void Args(TNode& call, TTok close);
};

} // namespace kv::script
