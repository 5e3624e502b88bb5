#include "scripting/engine/compiler.h"
#include "scripting/engine/intrinsics.h"

namespace kv::script {

namespace {
constexpr size_t kMaxArgs = 255;
}

int TCompiler::HostFuncIndex(const THostFunction* f) {
  auto& v = Out->HostFuncs;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i] == f) return static_cast<int>(i);
  v.push_back(f);
  return static_cast<int>(v.size()) - 1;
}

int TCompiler::HostPropIndex(const THostProperty* p) {
  auto& v = Out->HostProps;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i] == p) return static_cast<int>(i);
  v.push_back(p);
  return static_cast<int>(v.size()) - 1;
}

int TCompiler::ClassIndex(const TClassDef* c) {
  auto& v = Out->Classes;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i] == c) return static_cast<int>(i);
  v.push_back(c);
  return static_cast<int>(v.size()) - 1;
}

// Host declarations are resolved against the built-in and host scopes only,
// so that a script's own names cannot change what a host routine means.
std::shared_ptr<TSignature> TCompiler::HostSig(const THostFunction& f) {
  auto it = HostSigs.find(&f);
  if (it != HostSigs.end()) return it->second;
  std::vector<std::unordered_map<std::string, TSymbol>> saved;
  for (size_t i = 2; i < Scopes.size(); ++i)
    saved.push_back(std::move(Scopes[i]));
  Scopes.resize(2);
  std::shared_ptr<TSignature> sig;
  try {
    sig = MakeSig(*f.Heading);
  } catch (const TSourceError& e) {
    for (auto& s : saved)
      Scopes.push_back(std::move(s));
    throw TSourceError{"Declaration of '" + f.Name + "' cannot be used: " + e.Text, CurLine,
                       CurCol};
  }
  for (auto& s : saved)
    Scopes.push_back(std::move(s));
  HostSigs[&f] = sig;
  return sig;
}

TType* TCompiler::PropertyType(const THostProperty& p) {
  auto it = PropTypes.find(&p);
  if (it != PropTypes.end()) return it->second.first;
  std::vector<std::unordered_map<std::string, TSymbol>> saved;
  for (size_t i = 2; i < Scopes.size(); ++i)
    saved.push_back(std::move(Scopes[i]));
  Scopes.resize(2);
  std::pair<TType*, TType*> types{nullptr, nullptr};
  try {
    types.first = ResolveType(*p.Type);
    if (p.IndexType) types.second = ResolveType(*p.IndexType);
  } catch (const TSourceError& e) {
    for (auto& s : saved)
      Scopes.push_back(std::move(s));
    throw TSourceError{"Property '" + p.Name + "' cannot be used: " + e.Text, CurLine, CurCol};
  }
  for (auto& s : saved)
    Scopes.push_back(std::move(s));
  PropTypes[&p] = types;
  return types.first;
}

TType* TCompiler::CallNode(const TNode& callee, const std::vector<const TNode*>& args,
                           const TNode& at, bool wantValue) {
  if (args.size() > kMaxArgs) Fail("Too many arguments", at);
  if (callee.Kind == TNodeKind::Name) {
    int wi = 0, field = 0;
    std::vector<const THostFunction*> methods;
    if (WithLookup(callee.Name, wi, field, nullptr, &methods) && field == -2) {
      LoadWithBase(Withs[wi]);
      return CallHost(methods, args, at, wantValue, TOp::CallMethod);
    }
    TSymbol* s = Find(callee.Name);
    if (!s) Fail("Unknown identifier '" + callee.Name + "'", callee);
    s->Used = true;
    switch (s->Kind) {
    case TSymKind::Proc:
      return CallScript(*s, args, at, wantValue);
    case TSymKind::Host:
      return CallHost(s->Overloads, args, at, wantValue, TOp::CallHost);
    case TSymKind::Intrinsic:
      return Intrinsic(s->Intrinsic, args, at, wantValue);
    case TSymKind::Type:
      return TypeCast(s->Type, args, at);
    default:
      Fail("'" + callee.Name + "' is not a procedure or function", callee);
    }
  }
  if (callee.Kind == TNodeKind::Member) {
    const TNode& base = *callee.Kids[0];
    if (const TClassDef* cls = ClassOfNode(base)) {
      auto ms = cls->FindMethods(callee.Name);
      if (ms.empty())
        Fail("Unknown method '" + callee.Name + "' of class '" + cls->Name + "'", callee);
      return CallHost(ms, args, at, wantValue, TOp::CallCtor, cls);
    }
    TType* bt = Load(base);
    if (bt->Kind != TTypeKind::Class) Fail("Object expected before '." + callee.Name + "'", callee);
    auto ms = bt->Class->FindMethods(callee.Name);
    if (ms.empty())
      Fail("Unknown method '" + callee.Name + "' of class '" + bt->Class->Name + "'", callee);
    return CallHost(ms, args, at, wantValue, TOp::CallMethod);
  }
  Fail("Procedure or function expected", callee);
}

void TCompiler::PushArgs(const TSignature& sig, const std::vector<const TNode*>& args,
                         const TNode& at) {
  if (args.size() > sig.Params.size()) Fail("Too many actual parameters", at);
  for (size_t i = 0; i < sig.Params.size(); ++i) {
    const TParamDef& p = sig.Params[i];
    if (i >= args.size()) {
      if (!p.HasDefault || !p.Default) Fail("Not enough actual parameters", at);
      TType* dt = nullptr;
      TValue v = EvalConst(*p.Default, &dt);
      if (!Assignable(dt, p.Type))
        Fail("Incompatible types: '" + p.Type->Display() + "' and '" + dt->Display() + "'",
             *p.Default);
      if (p.Type->Kind == TTypeKind::Float && dt->Kind == TTypeKind::Integer)
        v = TValue::Float(static_cast<double>(v.I));
      if (p.Type->Kind == TTypeKind::String && dt->Kind == TTypeKind::Char)
        v = TValue::Str(std::string(1, static_cast<char>(v.I)));
      Emit(TOp::PushConst, AddConst(v));
      continue;
    }
    const TNode& a = *args[i];
    if (p.IsVar) {
      TType* t = Address(a);
      bool openOk = p.Type->Kind == TTypeKind::OpenArray &&
                    (t->Kind == TTypeKind::DynArray || t->Kind == TTypeKind::StaticArray ||
                     t->Kind == TTypeKind::OpenArray) &&
                    (p.Type->Elem == TAnyVal ||
                     (Assignable(t->Elem, p.Type->Elem) && Assignable(p.Type->Elem, t->Elem)));
      bool same = openOk || t == p.Type || p.Type == TAnyVal ||
                  (t->Kind == p.Type->Kind && Assignable(t, p.Type) && Assignable(p.Type, t) &&
                   (t->Kind != TTypeKind::Integer ||
                    (t->Size == p.Type->Size && t->Signed == p.Type->Signed)));
      if (!same) Fail("Types of actual and formal var parameters must be identical", a);
      continue;
    }
    if (p.Type->Kind == TTypeKind::OpenArray) {
      TType* elem = p.Type->Elem;
      if (a.Kind == TNodeKind::SetCons) {
        if (a.Kids.size() > kMaxArgs) Fail("Too many elements", a);
        for (auto& e : a.Kids) {
          if (e->Kind == TNodeKind::Range) Fail("Ranges are not allowed here", *e);
          if (elem == TAnyVal) {
            TType* t = Expr(*e);
            if (t->Kind == TTypeKind::Char)
              Emit(TOp::CharToStr);
            else if (t->Kind == TTypeKind::Boolean)
              Emit(TOp::Nop);
          } else {
            ExprTo(*e, elem);
          }
        }
        Emit(TOp::MakeArray, static_cast<int32_t>(a.Kids.size()));
        continue;
      }
      TType* t = Expr(a);
      if ((t->Kind != TTypeKind::DynArray && t->Kind != TTypeKind::StaticArray &&
           t->Kind != TTypeKind::OpenArray) ||
          (elem != TAnyVal && !Assignable(t->Elem, elem)))
        Fail("Array expected for an open array parameter", a);
      continue;
    }
    ExprTo(a, p.Type);
  }
}

int TCompiler::Score(const TSignature& sig, const std::vector<const TNode*>& args) {
  if (args.size() > sig.Params.size()) return -1;
  for (size_t i = args.size(); i < sig.Params.size(); ++i)
    if (!sig.Params[i].HasDefault) return -1;
  int score = 1;
  for (size_t i = 0; i < args.size(); ++i) {
    const TParamDef& p = sig.Params[i];
    if (p.Type->Kind == TTypeKind::OpenArray) {
      score += args[i]->Kind == TNodeKind::SetCons ? 2 : 1;
      continue;
    }
    TType* t;
    try {
      t = TypeOfNode(*args[i]);
    } catch (const TSourceError&) {
      return -1;
    }
    if (t == p.Type || t->Kind == p.Type->Kind)
      score += 3;
    else if (Assignable(t, p.Type))
      score += 1;
    else
      return -1;
  }
  return score;
}

TType* TCompiler::CallScript(const TSymbol& s, const std::vector<const TNode*>& args,
                             const TNode& at, bool wantValue) {
  PushArgs(*s.Sig, args, at);
  int cur = Ctx.back().Level;
  int hops = s.Level <= 1 ? -1 : cur - s.Level + 1;
  Emit(TOp::Call, s.Proc, hops);
  if (!s.Sig->Result) {
    if (wantValue) Fail("Expression expected but procedure '" + s.Name + "' found", at);
    return TVoid;
  }
  if (!wantValue) {
    Emit(TOp::Pop);
    return TVoid;
  }
  return s.Sig->Result;
}

TType* TCompiler::CallHost(const std::vector<const THostFunction*>& overloads,
                           const std::vector<const TNode*>& args, const TNode& at, bool wantValue,
                           TOp op, const TClassDef* cls) {
  const THostFunction* f = overloads.front();
  if (overloads.size() > 1) {
    int best = -1;
    for (auto* cand : overloads) {
      int sc = Score(*HostSig(*cand), args);
      if (sc > best) {
        best = sc;
        f = cand;
      }
    }
    if (best < 0)
      Fail("No overloaded version of '" + f->Name + "' can be called with these arguments", at);
  }
  bool isCtor = (f->Heading->Flags & nfConstructor) != 0;
  if (op == TOp::CallCtor && !isCtor) Fail("'" + f->Name + "' is not a constructor", at);
  if (op == TOp::CallMethod && isCtor) Fail("Constructors are called on a class", at);
  auto sig = HostSig(*f);
  PushArgs(*sig, args, at);
  int argc = static_cast<int>(sig->Params.size());
  Emit(op, HostFuncIndex(f), argc, cls ? ClassIndex(cls) : 0, (isCtor || sig->Result) ? 1 : 0);
  TType* result = isCtor ? ClassType(cls) : sig->Result;
  if (!result) {
    if (wantValue) Fail("Expression expected but procedure '" + f->Name + "' found", at);
    return TVoid;
  }
  if (!wantValue) {
    Emit(TOp::Pop);
    return TVoid;
  }
  return result;
}

TType* TCompiler::TypeCast(TType* to, const std::vector<const TNode*>& args, const TNode& at) {
  if (args.size() != 1) Fail("Type cast needs one argument", at);
  TType* from = Expr(*args[0]);
  if (to->IsOrdinal() && from->IsOrdinal()) {
    if (uint8_t w = WrapCode(to))
      Emit(TOp::Wrap, 0, 0, 0, w);
    else if (to->Kind == TTypeKind::Boolean)
      Emit(TOp::PushInt, 0), Emit(TOp::NeI); // any non-zero value is true
    return to;
  }
  if (to->Kind == TTypeKind::Float && from->IsNumeric()) {
    if (from->Kind == TTypeKind::Integer) Emit(TOp::IntToFloat);
    return to;
  }
  if (to->Kind == TTypeKind::String &&
      (from->Kind == TTypeKind::String || from->Kind == TTypeKind::Char)) {
    if (from->Kind == TTypeKind::Char) Emit(TOp::CharToStr);
    return to;
  }
  if (to->Kind == TTypeKind::Class &&
      (from->Kind == TTypeKind::Class || from->Kind == TTypeKind::Nil))
    return to;
  if (Assignable(from, to) && from->Kind == to->Kind) return to;
  Fail("Invalid type cast from '" + from->Display() + "' to '" + to->Display() + "'", at);
}

void TCompiler::WriteArgs(const std::vector<const TNode*>& args, bool newline, const TNode& at) {
  for (const TNode* a : args) {
    const TNode* value = a->Kind == TNodeKind::WriteArg ? a->Kids[0].get() : a;
    TType* t = TypeOfNode(*value);
    int kind;
    if (t->Kind == TTypeKind::Enum) {
      TValue names = NewAgg(t->EnumNames.size(), false);
      for (size_t i = 0; i < t->EnumNames.size(); ++i)
        static_cast<TAggCell*>(names.H)->Items[i] = TValue::Str(t->EnumNames[i]);
      Emit(TOp::PushConst, AddConst(names));
      Expr(*value);
      Emit(TOp::Elem, 0);
      kind = 2;
    } else {
      Expr(*value);
      switch (t->Kind) {
      case TTypeKind::Integer:
        kind = 0;
        break;
      case TTypeKind::Float:
        kind = 1;
        break;
      case TTypeKind::String:
        kind = 2;
        break;
      case TTypeKind::Char:
        kind = 3;
        break;
      case TTypeKind::Boolean:
        kind = 4;
        break;
      default:
        Fail("Cannot write a value of type '" + t->Display() + "'", *value);
      }
    }
    int flags = 0;
    if (a->Kind == TNodeKind::WriteArg) {
      ExprTo(*a->Kids[1], TInt64);
      flags |= 1;
      if (a->Kids.size() > 2) {
        ExprTo(*a->Kids[2], TInt64);
        flags |= 2;
      }
    }
    Emit(TOp::Write, kind, flags);
  }
  if (newline) Emit(TOp::Write, 5);
  (void)at;
}

TType* TCompiler::Intrinsic(int which, const std::vector<const TNode*>& args, const TNode& at,
                            bool wantValue) {
  auto need = [&](size_t lo, size_t hi) {
    if (args.size() < lo) Fail("Not enough actual parameters", at);
    if (args.size() > hi) Fail("Too many actual parameters", at);
  };
  auto done = [&](TType* t) -> TType* {
    if (!wantValue) {
      if (t == TVoid) return TVoid;
      Emit(TOp::Pop);
      return TVoid;
    }
    if (t == TVoid) Fail("Expression expected but procedure found", at);
    return t;
  };
  switch (which) {
  case inWrite:
  case inWriteLn:
    WriteArgs(args, which == inWriteLn, at);
    return done(TVoid);
  case inHalt:
    need(0, 1);
    Emit(TOp::Halt);
    return done(TVoid);
  case inInc:
  case inDec: {
    need(1, 2);
    int sign = which == inInc ? 1 : -1;
    const TNode& v = *args[0];
    TType* vt = TypeOfNode(v);
    if (!vt->IsOrdinal()) Fail("Ordinal variable expected", v);
    uint8_t w = WrapCode(vt);
    TSymbol* s = v.Kind == TNodeKind::Name ? Find(v.Name) : nullptr;
    int wi, field;
    bool local = s && s->Kind == TSymKind::Var && !s->IsRef && s->Level == Ctx.back().Level &&
                 s->Level > 0 && !WithLookup(v.Name, wi, field, nullptr, nullptr);
    bool constStep = args.size() == 1 || args[1]->Kind == TNodeKind::IntLit;
    bool global = s && s->Kind == TSymKind::Var && s->Level == 0 &&
                  !WithLookup(v.Name, wi, field, nullptr, nullptr);
    if ((local || global) && constStep) {
      int64_t step = args.size() == 1 ? 1 : args[1]->Int;
      if (step >= INT32_MIN && step <= INT32_MAX) {
        s->Used = true;
        Emit(local ? TOp::IncL : TOp::IncG, s->Slot, static_cast<int32_t>(step * sign), 0, w);
        return done(TVoid);
      }
    }
    Address(v);
    if (args.size() == 2)
      ExprTo(*args[1], TInt64);
    else
      Emit(TOp::PushInt, 1);
    if (sign < 0) Emit(TOp::NegI);
    Emit(TOp::IncRef, 0, 0, 0, w);
    return done(TVoid);
  }
  case inHigh:
  case inLow: {
    need(1, 1);
    const TNode& a = *args[0];
    TSymbol* s = a.Kind == TNodeKind::Name ? Find(a.Name) : nullptr;
    TType* t = s && s->Kind == TSymKind::Type ? s->Type : TypeOfNode(a);
    if (t->IsOrdinal() || t->Kind == TTypeKind::StaticArray) {
      int64_t v = which == inHigh ? t->High : t->Low;
      if (v >= INT32_MIN && v <= INT32_MAX)
        Emit(TOp::PushInt, static_cast<int32_t>(v));
      else
        Emit(TOp::PushConst, AddConst(TValue::Int(v)));
      return done(t->Kind == TTypeKind::StaticArray ? t->IndexType : t);
    }
    if (t->Kind == TTypeKind::DynArray || t->Kind == TTypeKind::OpenArray ||
        t->Kind == TTypeKind::String) {
      if (which == inLow) {
        Emit(TOp::PushInt, t->Kind == TTypeKind::String ? 1 : 0);
      } else {
        Expr(a);
        Emit(t->Kind == TTypeKind::String ? TOp::Len : TOp::High);
      }
      return done(TInt);
    }
    Fail("Ordinal type or array expected", a);
  }
  case inLength: {
    need(1, 1);
    TType* t = TypeOfNode(*args[0]);
    if (t->Kind == TTypeKind::StaticArray) {
      Emit(TOp::PushInt, static_cast<int32_t>(t->High - t->Low + 1));
      return done(TInt);
    }
    if (t->Kind == TTypeKind::Char) {
      Emit(TOp::PushInt, 1);
      return done(TInt);
    }
    if (t->Kind != TTypeKind::String && t->Kind != TTypeKind::DynArray &&
        t->Kind != TTypeKind::OpenArray)
      Fail("String or array expected", *args[0]);
    Expr(*args[0]);
    Emit(TOp::Len);
    return done(TInt);
  }
  case inSetLength: {
    need(2, 2);
    TType* t = Address(*args[0]);
    if (t->Kind != TTypeKind::String && t->Kind != TTypeKind::DynArray)
      Fail("String or dynamic array variable expected", *args[0]);
    ExprTo(*args[1], TInt64);
    if (t->Kind == TTypeKind::String)
      Emit(TOp::SetLen, 0, 1);
    else
      Emit(TOp::SetLen, AddConst(DefaultValue(t->Elem)), 0);
    return done(TVoid);
  }
  case inOrd: {
    need(1, 1);
    TType* t = Expr(*args[0]);
    if (!t->IsOrdinal()) Fail("Ordinal expression expected", *args[0]);
    return done(t->Kind == TTypeKind::Integer && t->Size == 8 ? TInt64 : TInt);
  }
  case inChr:
    need(1, 1);
    ExprTo(*args[0], TInt64);
    Emit(TOp::Wrap, 0, 0, 0, 1);
    return done(TChar);
  case inSucc:
  case inPred: {
    need(1, 1);
    TType* t = Expr(*args[0]);
    if (!t->IsOrdinal()) Fail("Ordinal expression expected", *args[0]);
    Emit(TOp::PushInt, which == inSucc ? 1 : -1);
    Emit(TOp::AddI);
    if (uint8_t w = WrapCode(t)) Emit(TOp::Wrap, 0, 0, 0, w);
    return done(t->Kind == TTypeKind::Integer ? TInt64 : t);
  }
  case inInclude:
  case inExclude: {
    need(2, 2);
    TType* t = Address(*args[0]);
    if (t->Kind != TTypeKind::Set) Fail("Set variable expected", *args[0]);
    ExprTo(*args[1], t->Elem);
    Emit(which == inInclude ? TOp::SetInclude : TOp::SetExclude);
    return done(TVoid);
  }
  case inAssigned: {
    need(1, 1);
    TType* t = Expr(*args[0]);
    if (t->Kind != TTypeKind::Class && t->Kind != TTypeKind::ProcType &&
        t->Kind != TTypeKind::DynArray && t->Kind != TTypeKind::Nil)
      Fail("Object or procedure expected", *args[0]);
    Emit(TOp::IsNil);
    Emit(TOp::NotB);
    return done(TBool);
  }
  case inOdd:
    need(1, 1);
    ExprTo(*args[0], TInt64);
    Emit(TOp::PushInt, 1);
    Emit(TOp::AndI);
    return done(TBool);
  case inSqr:
  case inAbs: {
    need(1, 1);
    TType* t = Expr(*args[0]);
    if (!t->IsNumeric()) Fail("Numeric expression expected", *args[0]);
    bool isInt = t->Kind == TTypeKind::Integer;
    if (which == inSqr) {
      Emit(TOp::Dup);
      Emit(isInt ? TOp::MulI : TOp::MulF);
    } else {
      Emit(TOp::Dup);
      if (isInt)
        Emit(TOp::PushInt, 0);
      else
        Emit(TOp::PushConst, AddConst(TValue::Float(0)));
      Emit(isInt ? TOp::LtI : TOp::LtF);
      int skip = Emit(TOp::Jf);
      Emit(isInt ? TOp::NegI : TOp::NegF);
      PatchA(skip, Here());
    }
    return done(isInt ? TInt64 : TFloat);
  }
  default:
    Fail("Unknown routine", at);
  }
}

} // namespace kv::script
