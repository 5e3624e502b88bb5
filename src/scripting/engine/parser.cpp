#include "scripting/engine/parser.h"

#include "scripting/engine/types.h"

namespace kv::script {

namespace {
// Nesting bound so that hostile input cannot exhaust the native stack.
constexpr int kMaxDepth = 200;
// Operators of one chain (a + b + c ...) and selectors of one designator
// (a.b[1].c ...) nest the tree too; no written program comes near this.
constexpr int kMaxChain = 1000;

struct TDepthGuard {
  int& D;
  TDepthGuard(int& d, const TToken& at) : D(d) {
    if (++D > kMaxDepth) throw TSourceError{"Nesting too deep", at.Line, at.Col};
  }
  ~TDepthGuard() { --D; }
};
} // namespace

TPasParser::TPasParser(const std::string& src) {
  Toks = TLexer(src).Tokenize();
}

bool TPasParser::IsIdent(const char* word) const {
  return Cur().Kind == TTok::Ident && SameText(Cur().Text, word);
}

bool TPasParser::Accept(TTok t) {
  if (Cur().Kind != t) return false;
  ++P;
  return true;
}

void TPasParser::Fail(const std::string& text) const {
  throw TSourceError{text, Cur().Line, Cur().Col};
}

const TToken& TPasParser::Expect(TTok t) {
  if (Cur().Kind != t) {
    std::string found = Cur().Kind == TTok::Ident ? "'" + Cur().Text + "'" : TokName(Cur().Kind);
    Fail(std::string(TokName(t)) + " expected but " + found + " found");
  }
  return Toks[P++];
}

std::string TPasParser::ExpectIdent() {
  return Expect(TTok::Ident).Text;
}

TNodePtr TPasParser::Make(TNodeKind kind) const {
  return std::make_unique<TNode>(kind, Cur().Line, Cur().Col);
}

TNodePtr TPasParser::ParseProgram() {
  auto prog = Make(TNodeKind::Program);
  if (Accept(TTok::KwProgram)) {
    prog->Name = ExpectIdent();
    if (Accept(TTok::LParen)) { // program X(input, output);
      do
        ExpectIdent();
      while (Accept(TTok::Comma));
      Expect(TTok::RParen);
    }
    Expect(TTok::Semi);
  }
  if (Accept(TTok::KwUses)) {
    do
      ExpectIdent();
    while (Accept(TTok::Comma));
    Expect(TTok::Semi);
  }
  prog->Kids.push_back(Block());
  Expect(TTok::Dot);
  return prog;
}

TNodePtr TPasParser::Block() {
  auto block = Make(TNodeKind::Block);
  for (;;) {
    if (Accept(TTok::KwConst))
      ConstSection(*block);
    else if (Accept(TTok::KwType))
      TypeSection(*block);
    else if (Accept(TTok::KwVar))
      VarSection(*block);
    else if (Is(TTok::KwProcedure) || Is(TTok::KwFunction))
      block->Kids.push_back(ProcDecl());
    else
      break;
  }
  if (!Is(TTok::KwBegin))
    Fail(std::string("'begin' expected but ") +
         (Cur().Kind == TTok::Ident ? "'" + Cur().Text + "'" : TokName(Cur().Kind)) + " found");
  block->Kids.push_back(Compound());
  return block;
}

void TPasParser::ConstSection(TNode& block) {
  do {
    auto c = Make(TNodeKind::ConstDecl);
    c->Name = ExpectIdent();
    TNodePtr type;
    if (Accept(TTok::Colon)) type = TypeExpr();
    Expect(TTok::Eq);
    c->Kids.push_back(Expr());
    if (type) c->Kids.push_back(std::move(type));
    Expect(TTok::Semi);
    block.Kids.push_back(std::move(c));
  } while (Is(TTok::Ident));
}

void TPasParser::TypeSection(TNode& block) {
  do {
    auto t = Make(TNodeKind::TypeDecl);
    t->Name = ExpectIdent();
    Expect(TTok::Eq);
    t->Kids.push_back(TypeExpr());
    Expect(TTok::Semi);
    block.Kids.push_back(std::move(t));
  } while (Is(TTok::Ident));
}

void TPasParser::VarSection(TNode& block) {
  do {
    auto v = Make(TNodeKind::VarDecl);
    do
      v->Names.push_back(ExpectIdent());
    while (Accept(TTok::Comma));
    Expect(TTok::Colon);
    v->Kids.push_back(TypeExpr());
    if (Accept(TTok::Eq)) v->Aux = Expr();
    Expect(TTok::Semi);
    block.Kids.push_back(std::move(v));
  } while (Is(TTok::Ident));
}

TNodePtr TPasParser::ProcDecl() {
  auto decl = Make(TNodeKind::ProcDecl);
  bool isFunction = Is(TTok::KwFunction);
  ++P;
  auto heading = Heading(isFunction, true);
  decl->Name = heading->Name;
  Expect(TTok::Semi);
  for (;;) {
    if (Accept(TTok::KwForward)) {
      decl->Flags |= nfForward;
      Expect(TTok::Semi);
    } else if (IsIdent("overload")) {
      ++P;
      decl->Flags |= nfOverload;
      Expect(TTok::Semi);
    } else if (IsIdent("register") || IsIdent("stdcall") || IsIdent("cdecl") || IsIdent("inline") ||
               IsIdent("pascal")) {
      ++P;
      Expect(TTok::Semi);
    } else {
      break;
    }
  }
  decl->Kids.push_back(std::move(heading));
  if (!(decl->Flags & nfForward)) {
    TDepthGuard guard(Depth, Cur());
    decl->Kids.push_back(Block());
    Expect(TTok::Semi);
  }
  return decl;
}

TNodePtr TPasParser::Heading(bool isFunction, bool needName) {
  auto h = Make(TNodeKind::ProcHeading);
  if (isFunction) h->Flags |= nfFunction;
  if (needName) h->Name = ExpectIdent();
  if (Accept(TTok::LParen)) {
    if (!Is(TTok::RParen)) Params(*h);
    Expect(TTok::RParen);
  }
  if (isFunction) {
    Expect(TTok::Colon);
    h->Aux = TypeExpr();
  }
  return h;
}

void TPasParser::Params(TNode& heading) {
  do {
    auto g = Make(TNodeKind::ParamGroup);
    if (Accept(TTok::KwVar) || Accept(TTok::KwOut))
      g->Flags |= nfVar;
    else if (Accept(TTok::KwConst))
      g->Flags |= nfConst;
    do
      g->Names.push_back(ExpectIdent());
    while (Accept(TTok::Comma));
    if (Accept(TTok::Colon)) g->Kids.push_back(TypeExpr());
    if (Accept(TTok::Eq)) g->Aux = Expr();
    heading.Kids.push_back(std::move(g));
  } while (Accept(TTok::Semi));
}

TNodePtr TPasParser::TypeExpr() {
  TDepthGuard guard(Depth, Cur());
  if (IsIdent("packed")) ++P;
  if (Accept(TTok::LParen)) {
    auto e = Make(TNodeKind::TypeEnum);
    do
      e->Names.push_back(ExpectIdent());
    while (Accept(TTok::Comma));
    Expect(TTok::RParen);
    return e;
  }
  if (Accept(TTok::KwSet)) {
    auto s = Make(TNodeKind::TypeSet);
    Expect(TTok::KwOf);
    s->Kids.push_back(TypeExpr());
    return s;
  }
  if (Accept(TTok::KwArray)) {
    auto a = Make(TNodeKind::TypeArray);
    if (Accept(TTok::LBrack)) {
      do
        a->Kids.push_back(TypeExpr());
      while (Accept(TTok::Comma));
      Expect(TTok::RBrack);
    } else {
      a->Flags |= nfDynamic;
    }
    Expect(TTok::KwOf);
    if (Is(TTok::KwConst)) {
      auto c = Make(TNodeKind::TypeName);
      c->Name = "const";
      ++P;
      a->Kids.push_back(std::move(c));
    } else {
      a->Kids.push_back(TypeExpr());
    }
    return a;
  }
  if (Accept(TTok::KwRecord)) {
    auto r = Make(TNodeKind::TypeRecord);
    while (!Is(TTok::KwEnd)) {
      auto f = Make(TNodeKind::FieldGroup);
      do
        f->Names.push_back(ExpectIdent());
      while (Accept(TTok::Comma));
      Expect(TTok::Colon);
      f->Kids.push_back(TypeExpr());
      r->Kids.push_back(std::move(f));
      if (!Accept(TTok::Semi)) break;
    }
    Expect(TTok::KwEnd);
    return r;
  }
  if (Is(TTok::KwProcedure) || Is(TTok::KwFunction)) {
    auto t = Make(TNodeKind::TypeProc);
    bool isFunction = Is(TTok::KwFunction);
    ++P;
    t->Kids.push_back(Heading(isFunction, false));
    if (isFunction) t->Flags |= nfFunction;
    if (Accept(TTok::KwOf)) {
      if (!IsIdent("object")) Fail("'object' expected");
      ++P;
      t->Flags |= nfOfObject;
    }
    return t;
  }
  if (Is(TTok::Ident) && Ahead().Kind != TTok::DotDot) {
    auto n = Make(TNodeKind::TypeName);
    n->Name = ExpectIdent();
    if (SameText(n->Name, "string") && Accept(TTok::LBrack)) { // short string: same as string
      Expr();
      Expect(TTok::RBrack);
    }
    return n;
  }
  auto r = Make(TNodeKind::TypeSubrange);
  r->Kids.push_back(Simple());
  Expect(TTok::DotDot);
  r->Kids.push_back(Simple());
  return r;
}

TNodePtr TPasParser::Compound() {
  auto c = Make(TNodeKind::Compound);
  Expect(TTok::KwBegin);
  StatementList(*c, TTok::KwEnd);
  Expect(TTok::KwEnd);
  return c;
}

void TPasParser::StatementList(TNode& into, TTok end1, TTok end2) {
  for (;;) {
    if (Is(end1) || (end2 != TTok::Eof && Is(end2))) return;
    into.Kids.push_back(Statement());
    if (!Accept(TTok::Semi)) {
      if (!Is(end1) && !(end2 != TTok::Eof && Is(end2))) Expect(TTok::Semi);
      return;
    }
  }
}

TNodePtr TPasParser::Statement() {
  TDepthGuard guard(Depth, Cur());
  switch (Cur().Kind) {
  case TTok::KwBegin:
    return Compound();
  case TTok::KwIf: {
    auto s = Make(TNodeKind::If);
    ++P;
    s->Kids.push_back(Expr());
    Expect(TTok::KwThen);
    s->Kids.push_back(Statement());
    if (Accept(TTok::KwElse)) s->Kids.push_back(Statement());
    return s;
  }
  case TTok::KwWhile: {
    auto s = Make(TNodeKind::While);
    ++P;
    s->Kids.push_back(Expr());
    Expect(TTok::KwDo);
    s->Kids.push_back(Statement());
    return s;
  }
  case TTok::KwRepeat: {
    auto s = Make(TNodeKind::Repeat);
    ++P;
    auto body = Make(TNodeKind::Compound);
    StatementList(*body, TTok::KwUntil);
    Expect(TTok::KwUntil);
    s->Kids.push_back(Expr());
    s->Kids.push_back(std::move(body));
    return s;
  }
  case TTok::KwFor:
    return ForStmt();
  case TTok::KwCase:
    return CaseStmt();
  case TTok::KwTry:
    return TryStmt();
  case TTok::KwRaise: {
    auto s = Make(TNodeKind::Raise);
    ++P;
    if (!Is(TTok::Semi) && !Is(TTok::KwEnd) && !Is(TTok::KwElse) && !Is(TTok::KwUntil) &&
        !Is(TTok::KwExcept) && !Is(TTok::KwFinally))
      s->Kids.push_back(Expr());
    return s;
  }
  case TTok::KwWith: {
    auto s = Make(TNodeKind::With);
    ++P;
    do
      s->Kids.push_back(Expr());
    while (Accept(TTok::Comma));
    Expect(TTok::KwDo);
    s->Kids.push_back(Statement());
    return s;
  }
  case TTok::Semi:
  case TTok::KwEnd:
  case TTok::KwElse:
  case TTok::KwUntil:
  case TTok::KwExcept:
  case TTok::KwFinally:
    return Make(TNodeKind::Empty);
  case TTok::Ident: {
    if (IsIdent("break") && Ahead().Kind != TTok::Assign) {
      auto s = Make(TNodeKind::Break);
      ++P;
      return s;
    }
    if (IsIdent("continue") && Ahead().Kind != TTok::Assign) {
      auto s = Make(TNodeKind::Continue);
      ++P;
      return s;
    }
    if (IsIdent("exit") && Ahead().Kind != TTok::Assign) {
      auto s = Make(TNodeKind::Exit);
      ++P;
      if (Accept(TTok::LParen)) {
        if (!Is(TTok::RParen)) s->Kids.push_back(Expr());
        Expect(TTok::RParen);
      }
      return s;
    }
    return AssignOrCall(Designator());
  }
  case TTok::LParen:
    return AssignOrCall(Factor());
  default:
    break;
  }
  Fail(std::string("Statement expected but ") + TokName(Cur().Kind) + " found");
}

TNodePtr TPasParser::AssignOrCall(TNodePtr target) {
  if (Is(TTok::Assign)) {
    auto s = std::make_unique<TNode>(TNodeKind::Assign, target->Line, target->Col);
    ++P;
    s->Kids.push_back(std::move(target));
    s->Kids.push_back(Expr());
    return s;
  }
  auto s = std::make_unique<TNode>(TNodeKind::CallStmt, target->Line, target->Col);
  s->Kids.push_back(std::move(target));
  return s;
}

TNodePtr TPasParser::ForStmt() {
  auto s = Make(TNodeKind::For);
  ++P;
  auto var = Make(TNodeKind::Name);
  var->Name = ExpectIdent();
  s->Kids.push_back(std::move(var));
  Expect(TTok::Assign);
  s->Kids.push_back(Expr());
  if (Accept(TTok::KwDownto))
    s->Flags |= nfDownto;
  else
    Expect(TTok::KwTo);
  s->Kids.push_back(Expr());
  Expect(TTok::KwDo);
  s->Kids.push_back(Statement());
  return s;
}

TNodePtr TPasParser::CaseStmt() {
  auto s = Make(TNodeKind::Case);
  ++P;
  s->Kids.push_back(Expr());
  Expect(TTok::KwOf);
  while (!Is(TTok::KwElse) && !Is(TTok::KwOtherwise) && !Is(TTok::KwEnd)) {
    auto arm = Make(TNodeKind::CaseArm);
    do {
      auto lo = Expr();
      if (Accept(TTok::DotDot)) {
        auto r = std::make_unique<TNode>(TNodeKind::Range, lo->Line, lo->Col);
        r->Kids.push_back(std::move(lo));
        r->Kids.push_back(Expr());
        arm->Kids.push_back(std::move(r));
      } else {
        arm->Kids.push_back(std::move(lo));
      }
    } while (Accept(TTok::Comma));
    Expect(TTok::Colon);
    arm->Aux = Statement();
    s->Kids.push_back(std::move(arm));
    if (!Accept(TTok::Semi)) break;
  }
  if (Accept(TTok::KwElse) || Accept(TTok::KwOtherwise)) {
    auto e = Make(TNodeKind::Compound);
    StatementList(*e, TTok::KwEnd);
    s->Aux = std::move(e);
  }
  Expect(TTok::KwEnd);
  return s;
}

TNodePtr TPasParser::TryStmt() {
  auto at = Make(TNodeKind::Empty);
  ++P;
  auto body = Make(TNodeKind::Compound);
  StatementList(*body, TTok::KwExcept, TTok::KwFinally);
  if (Accept(TTok::KwFinally)) {
    auto s = std::make_unique<TNode>(TNodeKind::TryFinally, at->Line, at->Col);
    auto fin = Make(TNodeKind::Compound);
    StatementList(*fin, TTok::KwEnd);
    Expect(TTok::KwEnd);
    s->Kids.push_back(std::move(body));
    s->Kids.push_back(std::move(fin));
    return s;
  }
  Expect(TTok::KwExcept);
  auto s = std::make_unique<TNode>(TNodeKind::TryExcept, at->Line, at->Col);
  auto handlers = Make(TNodeKind::ExceptBlock);
  if (Is(TTok::KwOn)) {
    while (Accept(TTok::KwOn)) {
      auto h = Make(TNodeKind::OnHandler);
      std::string first = ExpectIdent();
      if (Accept(TTok::Colon)) {
        h->Name = first;
        h->Str = ExpectIdent();
      } else {
        h->Str = first;
      }
      Expect(TTok::KwDo);
      h->Kids.push_back(Statement());
      handlers->Kids.push_back(std::move(h));
      if (!Accept(TTok::Semi)) break;
    }
    if (Accept(TTok::KwElse)) {
      auto e = Make(TNodeKind::Compound);
      StatementList(*e, TTok::KwEnd);
      handlers->Aux = std::move(e);
      handlers->Flags |= nfHasElse;
    }
  } else {
    auto plain = Make(TNodeKind::Compound);
    StatementList(*plain, TTok::KwEnd);
    handlers->Aux = std::move(plain);
    handlers->Flags |= nfPlainExcept;
  }
  Expect(TTok::KwEnd);
  s->Kids.push_back(std::move(body));
  s->Kids.push_back(std::move(handlers));
  return s;
}

TNodePtr TPasParser::Expr() {
  TDepthGuard guard(Depth, Cur());
  auto left = Simple();
  for (int chain = 0;; ++chain) {
    if (chain > kMaxChain) Fail("Expression too complex");
    TTok k = Cur().Kind;
    if (k == TTok::Eq || k == TTok::Ne || k == TTok::Lt || k == TTok::Le || k == TTok::Gt ||
        k == TTok::Ge || k == TTok::KwIn || k == TTok::KwIs) {
      auto b = Make(TNodeKind::Binary);
      b->Op = k;
      ++P;
      b->Kids.push_back(std::move(left));
      b->Kids.push_back(Simple());
      left = std::move(b);
    } else {
      return left;
    }
  }
}

TNodePtr TPasParser::Simple() {
  TNodePtr left;
  if (Is(TTok::Minus) || Is(TTok::Plus)) {
    auto u = Make(TNodeKind::Unary);
    u->Op = Cur().Kind;
    ++P;
    u->Kids.push_back(Term());
    left = std::move(u);
  } else {
    left = Term();
  }
  for (int chain = 0;; ++chain) {
    if (chain > kMaxChain) Fail("Expression too complex");
    TTok k = Cur().Kind;
    if (k == TTok::Plus || k == TTok::Minus || k == TTok::KwOr || k == TTok::KwXor) {
      auto b = Make(TNodeKind::Binary);
      b->Op = k;
      ++P;
      b->Kids.push_back(std::move(left));
      b->Kids.push_back(Term());
      left = std::move(b);
    } else {
      return left;
    }
  }
}

TNodePtr TPasParser::Term() {
  auto left = Factor();
  for (int chain = 0;; ++chain) {
    if (chain > kMaxChain) Fail("Expression too complex");
    TTok k = Cur().Kind;
    if (k == TTok::Star || k == TTok::Slash || k == TTok::KwDiv || k == TTok::KwMod ||
        k == TTok::KwAnd || k == TTok::KwShl || k == TTok::KwShr || k == TTok::KwAs) {
      auto b = Make(TNodeKind::Binary);
      b->Op = k;
      ++P;
      b->Kids.push_back(std::move(left));
      b->Kids.push_back(Factor());
      left = std::move(b);
    } else {
      return left;
    }
  }
}

TNodePtr TPasParser::Factor() {
  TDepthGuard guard(Depth, Cur());
  const TToken& t = Cur();
  switch (t.Kind) {
  case TTok::IntLit: {
    auto n = Make(TNodeKind::IntLit);
    n->Int = t.Int;
    ++P;
    return n;
  }
  case TTok::FloatLit: {
    auto n = Make(TNodeKind::FloatLit);
    n->Float = t.Float;
    ++P;
    return n;
  }
  case TTok::StrLit: {
    auto n = Make(TNodeKind::StrLit);
    n->Str = t.Text;
    ++P;
    return n;
  }
  case TTok::KwNil: {
    auto n = Make(TNodeKind::NilLit);
    ++P;
    return n;
  }
  case TTok::LParen: {
    ++P;
    auto e = Expr();
    Expect(TTok::RParen);
    return Selectors(std::move(e)); // (obj as TStringList).Add(...)
  }
  case TTok::KwNot:
  case TTok::Minus:
  case TTok::Plus:
  case TTok::At: {
    auto u = Make(TNodeKind::Unary);
    u->Op = t.Kind;
    ++P;
    u->Kids.push_back(Factor());
    return u;
  }
  case TTok::LBrack:
    return SetConstructor();
  case TTok::Ident:
    return Designator();
  default:
    break;
  }
  Fail(std::string("Expression expected but ") + TokName(t.Kind) + " found");
}

TNodePtr TPasParser::SetConstructor() {
  auto s = Make(TNodeKind::SetCons);
  Expect(TTok::LBrack);
  if (!Is(TTok::RBrack)) {
    do {
      auto lo = Expr();
      if (Accept(TTok::DotDot)) {
        auto r = std::make_unique<TNode>(TNodeKind::Range, lo->Line, lo->Col);
        r->Kids.push_back(std::move(lo));
        r->Kids.push_back(Expr());
        s->Kids.push_back(std::move(r));
      } else {
        s->Kids.push_back(std::move(lo));
      }
    } while (Accept(TTok::Comma));
  }
  Expect(TTok::RBrack);
  return s;
}

void TPasParser::Args(TNode& call, TTok close) {
  if (Is(close)) return;
  do {
    auto e = Expr();
    if (close == TTok::RParen && Is(TTok::Colon)) {
      auto w = std::make_unique<TNode>(TNodeKind::WriteArg, e->Line, e->Col);
      w->Kids.push_back(std::move(e));
      ++P;
      w->Kids.push_back(Expr());
      if (Accept(TTok::Colon)) w->Kids.push_back(Expr());
      e = std::move(w);
    }
    call.Kids.push_back(std::move(e));
  } while (Accept(TTok::Comma));
}

TNodePtr TPasParser::Designator() {
  auto n = Make(TNodeKind::Name);
  n->Name = ExpectIdent();
  return Selectors(std::move(n));
}

// .member, [index] and (arguments) after a name or a parenthesised expression.
TNodePtr TPasParser::Selectors(TNodePtr n) {
  for (int chain = 0;; ++chain) {
    if (chain > kMaxChain) Fail("Expression too complex");
    if (Is(TTok::Dot)) {
      ++P;
      auto m = Make(TNodeKind::Member); // positioned at the member's name
      m->Name = ExpectIdent();
      m->Kids.push_back(std::move(n));
      n = std::move(m);
    } else if (Is(TTok::LBrack)) {
      auto ix = std::make_unique<TNode>(TNodeKind::Index, n->Line, n->Col);
      ++P;
      ix->Kids.push_back(std::move(n));
      Args(*ix, TTok::RBrack);
      Expect(TTok::RBrack);
      n = std::move(ix);
    } else if (Is(TTok::LParen)) {
      auto c = std::make_unique<TNode>(TNodeKind::Call, n->Line, n->Col);
      ++P;
      c->Kids.push_back(std::move(n));
      Args(*c, TTok::RParen);
      Expect(TTok::RParen);
      n = std::move(c);
    } else if (Is(TTok::Caret)) {
      Fail("Pointers are not supported");
    } else {
      return n;
    }
  }
}

TNodePtr TPasParser::ParseHeadingOnly() {
  bool isFunction = Is(TTok::KwFunction);
  bool isCtor = IsIdent("constructor");
  if (!isFunction && !Is(TTok::KwProcedure) && !isCtor) Fail("'procedure' or 'function' expected");
  ++P;
  auto h = Heading(isFunction, true);
  if (isCtor) h->Flags |= nfConstructor;
  Accept(TTok::Semi);
  if (!Is(TTok::Eof)) Fail("End of declaration expected");
  return h;
}

TNodePtr TPasParser::ParseTypeOnly() {
  auto t = TypeExpr();
  Accept(TTok::Semi);
  if (!Is(TTok::Eof)) Fail("End of type expected");
  return t;
}

} // namespace kv::script
