#include "scripting/engine/compiler.h"

namespace kv::script {

namespace {
void PatchJump(TProcCode& code, int at, int target) {
  if (code.Code[at].Op == TOp::Leave)
    code.Code[at].B = target;
  else
    code.Code[at].A = target;
}
} // namespace

void TCompiler::StmtList(const TNode& n) {
  for (auto& k : n.Kids)
    Stmt(*k);
}

void TCompiler::Stmt(const TNode& n) {
  CurLine = n.Line;
  CurCol = n.Col;
  if (n.Kind != TNodeKind::Compound && n.Kind != TNodeKind::Empty) Emit(TOp::Line, n.Line);
  switch (n.Kind) {
  case TNodeKind::Compound:
    StmtList(n);
    break;
  case TNodeKind::Empty:
    break;
  case TNodeKind::Assign:
    AssignStmt(n);
    break;
  case TNodeKind::CallStmt: {
    const TNode& d = *n.Kids[0];
    if (d.Kind == TNodeKind::Call) {
      std::vector<const TNode*> args;
      for (size_t i = 1; i < d.Kids.size(); ++i)
        args.push_back(d.Kids[i].get());
      CallNode(*d.Kids[0], args, d, false);
    } else {
      TType* t = Load(d, false);
      if (t != TVoid) Fail("Statement expected but expression found", d);
    }
    break;
  }
  case TNodeKind::If:
    IfStmt(n);
    break;
  case TNodeKind::While:
    WhileStmt(n);
    break;
  case TNodeKind::Repeat:
    RepeatStmt(n);
    break;
  case TNodeKind::For:
    ForStmt(n);
    break;
  case TNodeKind::Case:
    CaseStmt(n);
    break;
  case TNodeKind::TryExcept:
    TryExcept(n);
    break;
  case TNodeKind::TryFinally:
    TryFinally(n);
    break;
  case TNodeKind::Raise:
    RaiseStmt(n);
    break;
  case TNodeKind::With:
    WithStmt(n);
    break;
  case TNodeKind::Break:
  case TNodeKind::Continue: {
    if (Ctx.back().Loops.empty())
      Fail(std::string(n.Kind == TNodeKind::Break ? "Break" : "Continue") + " outside a loop", n);
    auto& loop = Ctx.back().Loops.back();
    JumpOut(Ctx.back().TryDepth - loop.TryDepth,
            n.Kind == TNodeKind::Break ? loop.Breaks : loop.Continues);
    break;
  }
  case TNodeKind::Exit:
    ExitStmt(n);
    break;
  default:
    Fail("Statement expected", n);
  }
}

void TCompiler::JumpOut(int blocks, std::vector<int>& patches) {
  if (blocks == 0)
    patches.push_back(Emit(TOp::Jmp));
  else
    patches.push_back(Emit(TOp::Leave, blocks));
}

void TCompiler::ExitStmt(const TNode& n) {
  auto& ctx = Ctx.back();
  if (!n.Kids.empty()) {
    if (!ctx.Result) Fail("Exit with a value in a procedure", n);
    ExprTo(*n.Kids[0], ctx.Result);
    Emit(TOp::StoreL, ctx.ResultSlot);
  }
  JumpOut(ctx.TryDepth, ctx.Exits);
}

// "s := s + a + b" appends to s in place instead of copying it each time.
bool TCompiler::AppendAssign(const TNode& n) {
  const TNode& target = *n.Kids[0];
  if (target.Kind != TNodeKind::Name) return false;
  std::vector<const TNode*> parts;
  const TNode* v = n.Kids[1].get();
  while (v->Kind == TNodeKind::Binary && v->Op == TTok::Plus) {
    parts.push_back(v->Kids[1].get());
    v = v->Kids[0].get();
  }
  if (parts.empty() || v->Kind != TNodeKind::Name || !SameText(v->Name, target.Name)) return false;
  int wi, field;
  if (WithLookup(target.Name, wi, field, nullptr, nullptr)) return false;
  TSymbol* s = Find(target.Name);
  if (!s || s->Kind != TSymKind::Var || s->Type->Kind != TTypeKind::String || s->IsRef)
    return false;
  bool local = s->Level == -1 || (s->Level == Ctx.back().Level && s->Level > 0);
  if (!local && s->Level != 0) return false;
  for (const TNode* part : parts) {
    TType* t = TypeOfNode(*part);
    if (t->Kind != TTypeKind::String && t->Kind != TTypeKind::Char) return false;
  }
  s->Used = true;
  for (size_t i = parts.size(); i-- > 0;) {
    TType* t = Expr(*parts[i]);
    if (t->Kind == TTypeKind::Char) Emit(TOp::CharToStr);
    Emit(local ? TOp::AppendL : TOp::AppendG, s->Slot);
  }
  return true;
}

void TCompiler::AssignStmt(const TNode& n) {
  if (AppendAssign(n)) return;
  const TNode& target = *n.Kids[0];
  TType* t = TargetType(target);
  ExprTo(*n.Kids[1], t);
  Store(target, t);
}

// Conditions jump straight to their targets; "and"/"or" of Booleans need no
// intermediate value.
void TCompiler::JumpIf(const TNode& n, bool when, std::vector<int>& jumps) {
  if (n.Kind == TNodeKind::Binary && (n.Op == TTok::KwAnd || n.Op == TTok::KwOr) &&
      TypeOfNode(*n.Kids[0])->Kind == TTypeKind::Boolean) {
    bool isAnd = n.Op == TTok::KwAnd;
    if (isAnd != when) {
      // and/jump-if-false, or/jump-if-true: either side decides alone
      JumpIf(*n.Kids[0], when, jumps);
      JumpIf(*n.Kids[1], when, jumps);
    } else {
      std::vector<int> skip;
      JumpIf(*n.Kids[0], !when, skip);
      JumpIf(*n.Kids[1], when, jumps);
      int here = Here();
      for (int at : skip)
        PatchA(at, here);
    }
    return;
  }
  if (n.Kind == TNodeKind::Unary && n.Op == TTok::KwNot &&
      TypeOfNode(*n.Kids[0])->Kind == TTypeKind::Boolean) {
    JumpIf(*n.Kids[0], !when, jumps);
    return;
  }
  ExprTo(n, TBool);
  jumps.push_back(Emit(when ? TOp::Jt : TOp::Jf));
}

void TCompiler::IfStmt(const TNode& n) {
  std::vector<int> falses;
  JumpIf(*n.Kids[0], false, falses);
  Stmt(*n.Kids[1]);
  if (n.Kids.size() > 2) {
    int jmp = Emit(TOp::Jmp);
    int here = Here();
    for (int at : falses)
      PatchA(at, here);
    Stmt(*n.Kids[2]);
    PatchA(jmp, Here());
  } else {
    int here = Here();
    for (int at : falses)
      PatchA(at, here);
  }
}

void TCompiler::WhileStmt(const TNode& n) {
  int top = Here() - 1; // the Line instruction of the loop
  std::vector<int> falses;
  JumpIf(*n.Kids[0], false, falses);
  Ctx.back().Loops.push_back({{}, {}, Ctx.back().TryDepth});
  Stmt(*n.Kids[1]);
  Emit(TOp::JmpBack, top);
  int end = Here();
  for (int at : falses)
    PatchA(at, end);
  auto loop = std::move(Ctx.back().Loops.back());
  Ctx.back().Loops.pop_back();
  for (int at : loop.Breaks)
    PatchJump(Code(), at, end);
  for (int at : loop.Continues)
    PatchJump(Code(), at, top);
}

void TCompiler::RepeatStmt(const TNode& n) {
  int top = Here() - 1;
  Ctx.back().Loops.push_back({{}, {}, Ctx.back().TryDepth});
  StmtList(*n.Kids[1]);
  int cond = Here();
  CurLine = n.Kids[0]->Line;
  CurCol = n.Kids[0]->Col;
  std::vector<int> trues;
  JumpIf(*n.Kids[0], true, trues);
  Emit(TOp::JmpBack, top);
  int end = Here();
  for (int at : trues)
    PatchA(at, end);
  auto loop = std::move(Ctx.back().Loops.back());
  Ctx.back().Loops.pop_back();
  for (int at : loop.Breaks)
    PatchJump(Code(), at, end);
  for (int at : loop.Continues)
    PatchJump(Code(), at, cond);
}

void TCompiler::ForStmt(const TNode& n) {
  const TNode& var = *n.Kids[0];
  TSymbol* s = Find(var.Name);
  if (!s || s->Kind != TSymKind::Var) Fail("Variable identifier expected", var);
  if (!s->Type->IsOrdinal()) Fail("Ordinal type expected for the loop variable", var);
  s->Used = true;
  bool down = (n.Flags & nfDownto) != 0;
  TType* vt = s->Type;
  bool fast = (s->Level == Ctx.back().Level && !s->IsRef && Ctx.back().Level > 0) || s->Level == -1;
  bool fastGlobal = s->Level == 0;
  ExprTo(*n.Kids[1], vt);
  StoreVar(*s);
  int limit = NewTemp(TInt64);
  ExprTo(*n.Kids[2], vt);
  Emit(TOp::StoreL, limit);
  LoadVar(*s);
  Emit(TOp::LoadL, limit);
  Emit(down ? TOp::LtI : TOp::GtI);
  int skip = Emit(TOp::Jt);
  int body = Here();
  Ctx.back().Loops.push_back({{}, {}, Ctx.back().TryDepth});
  Stmt(*n.Kids[3]);
  int cont = Here();
  CurLine = n.Line;
  CurCol = n.Col;
  if (fast) {
    Emit(down ? TOp::ForDownL : TOp::ForUpL, s->Slot, body, limit);
  } else if (fastGlobal) {
    Emit(down ? TOp::ForDownG : TOp::ForUpG, s->Slot, body, limit);
  } else {
    LoadVar(*s);
    Emit(TOp::LoadL, limit);
    Emit(TOp::EqI);
    int done = Emit(TOp::Jt);
    LoadVar(*s);
    Emit(TOp::PushInt, down ? -1 : 1);
    Emit(TOp::AddI);
    StoreVar(*s);
    Emit(TOp::JmpBack, body);
    PatchA(done, Here());
  }
  int end = Here();
  PatchA(skip, end);
  auto loop = std::move(Ctx.back().Loops.back());
  Ctx.back().Loops.pop_back();
  for (int at : loop.Breaks)
    PatchJump(Code(), at, end);
  for (int at : loop.Continues)
    PatchJump(Code(), at, cont);
}

void TCompiler::CaseStmt(const TNode& n) {
  TType* st = Expr(*n.Kids[0]);
  bool isStr = st->Kind == TTypeKind::String;
  if (!st->IsOrdinal() && !isStr) Fail("Ordinal type expected", *n.Kids[0]);
  if (st->Kind == TTypeKind::Char && isStr) isStr = false;
  int sel = NewTemp(isStr ? TStr : TInt64);
  Emit(TOp::StoreL, sel);
  std::vector<std::pair<int, size_t>> tests; // jump, arm
  auto label = [&](const TNode& e) {
    TType* lt = nullptr;
    TValue v = EvalConst(e, &lt);
    if (isStr) {
      if (lt->Kind == TTypeKind::Char)
        v = TValue::Str(std::string(1, static_cast<char>(v.I)));
      else if (lt->Kind != TTypeKind::String)
        Fail("String constant expected", e);
    } else if (!lt->IsOrdinal() || !Assignable(lt, st)) {
      Fail("Constant of the selector's type expected", e);
    }
    return v;
  };
  for (size_t a = 1; a < n.Kids.size(); ++a) {
    const TNode& arm = *n.Kids[a];
    for (auto& l : arm.Kids) {
      if (l->Kind == TNodeKind::Range) {
        TValue lo = label(*l->Kids[0]);
        TValue hi = label(*l->Kids[1]);
        if (isStr) Fail("Ranges of strings are not allowed", *l);
        Emit(TOp::LoadL, sel);
        Emit(TOp::PushConst, AddConst(lo));
        Emit(TOp::GeI);
        int jf = Emit(TOp::Jf);
        Emit(TOp::LoadL, sel);
        Emit(TOp::PushConst, AddConst(hi));
        Emit(TOp::LeI);
        tests.push_back({Emit(TOp::Jt), a});
        PatchA(jf, Here());
      } else {
        TValue v = label(*l);
        Emit(TOp::LoadL, sel);
        Emit(TOp::PushConst, AddConst(v));
        Emit(isStr ? TOp::EqS : TOp::EqI);
        tests.push_back({Emit(TOp::Jt), a});
      }
    }
  }
  std::vector<int> ends;
  if (n.Aux) StmtList(*n.Aux);
  ends.push_back(Emit(TOp::Jmp));
  for (size_t a = 1; a < n.Kids.size(); ++a) {
    int start = Here();
    for (auto& [jump, arm] : tests)
      if (arm == a) PatchA(jump, start);
    Stmt(*n.Kids[a]->Aux);
    ends.push_back(Emit(TOp::Jmp));
  }
  for (int at : ends)
    PatchA(at, Here());
}

void TCompiler::TryExcept(const TNode& n) {
  auto& ctx = Ctx.back();
  int tryAt = Emit(TOp::Try, 0, 0);
  ++ctx.TryDepth;
  StmtList(*n.Kids[0]);
  --ctx.TryDepth;
  int endTry = Emit(TOp::EndTry);
  PatchA(tryAt, Here());
  const TNode& handlers = *n.Kids[1];
  std::vector<int> ends;
  ++ctx.TryDepth; // the exception being handled
  if (handlers.Flags & nfPlainExcept) {
    StmtList(*handlers.Aux);
    Emit(TOp::EndExcept);
  } else {
    for (auto& h : handlers.Kids) {
      CurLine = h->Line;
      CurCol = h->Col;
      TSymbol* cs = Find(h->Str);
      if (!cs || cs->Kind != TSymKind::Type || cs->Type->Kind != TTypeKind::Class)
        Fail("Exception class expected", *h);
      Emit(TOp::ExcIs, ClassIndex(cs->Type->Class));
      int jf = Emit(TOp::Jf);
      Scopes.emplace_back();
      if (!h->Name.empty()) {
        TSymbol v;
        v.Kind = TSymKind::Var;
        v.Type = cs->Type;
        v.Level = ctx.Level;
        v.Used = true;
        v.Slot = NewTemp(cs->Type);
        Emit(TOp::ExcObj);
        Emit(TOp::StoreL, v.Slot);
        if (ctx.Level == 0) {
          // main-body locals live in the main frame, reached as level-0 temps
          v.Level = -1;
        }
        Declare(h->Name, v, *h);
      }
      Stmt(*h->Kids[0]);
      Scopes.pop_back();
      Emit(TOp::EndExcept);
      ends.push_back(Emit(TOp::Jmp));
      PatchA(jf, Here());
    }
    if (handlers.Flags & nfHasElse) {
      StmtList(*handlers.Aux);
      Emit(TOp::EndExcept);
    } else {
      Emit(TOp::Reraise);
    }
  }
  --ctx.TryDepth;
  for (int at : ends)
    PatchA(at, Here());
  PatchA(endTry, Here());
}

void TCompiler::TryFinally(const TNode& n) {
  auto& ctx = Ctx.back();
  int tryAt = Emit(TOp::Try, 0, 1);
  ++ctx.TryDepth;
  StmtList(*n.Kids[0]);
  --ctx.TryDepth;
  Emit(TOp::EndTryFinally);
  PatchA(tryAt, Here());
  ++ctx.TryDepth;
  StmtList(*n.Kids[1]);
  --ctx.TryDepth;
  Emit(TOp::EndFinally);
}

void TCompiler::RaiseStmt(const TNode& n) {
  if (n.Kids.empty()) {
    Emit(TOp::Reraise);
    return;
  }
  TType* t = Expr(*n.Kids[0]);
  if (t->Kind != TTypeKind::Class) Fail("Exception object expected", *n.Kids[0]);
  Emit(TOp::Raise);
}

void TCompiler::WithStmt(const TNode& n) {
  size_t pushed = 0;
  for (size_t i = 0; i + 1 < n.Kids.size(); ++i) {
    const TNode& e = *n.Kids[i];
    TType* t = TargetType(e);
    TWith w{t, 0, false};
    if (t->Kind == TTypeKind::Record) {
      bool addressable = true;
      try {
        bool was = Probing;
        size_t codeSize = Code().Code.size();
        Probing = true;
        Address(e);
        Probing = was;
        Code().Code.resize(codeSize);
        Code().Lines.resize(codeSize);
        Code().Cols.resize(codeSize);
      } catch (const TSourceError&) {
        addressable = false;
        Probing = false;
      }
      w.Slot = NewTemp(TInt64);
      if (addressable) {
        Address(e);
        w.IsRef = true;
      } else {
        Expr(e);
      }
      Emit(TOp::StoreL, w.Slot);
    } else if (t->Kind == TTypeKind::Class) {
      w.Slot = NewTemp(t);
      Expr(e);
      Emit(TOp::StoreL, w.Slot);
    } else {
      Fail("Record or object expected", e);
    }
    Withs.push_back(w);
    ++pushed;
  }
  Stmt(*n.Kids.back());
  Withs.resize(Withs.size() - pushed);
}

} // namespace kv::script
