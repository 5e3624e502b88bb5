#include "scripting/engine/compiler.h"

namespace kv::script {

TType* TCompiler::Probe(const std::function<TType*()>& f) {
  auto& pc = Code();
  size_t codeSize = pc.Code.size();
  int locals = pc.NumLocals;
  size_t consts = Out->Consts.size();
  bool was = Probing;
  Probing = true;
  auto restore = [&] {
    auto& p = Code();
    p.Code.resize(codeSize);
    p.Lines.resize(codeSize);
    p.Cols.resize(codeSize);
    p.NumLocals = locals;
    p.LocalInit.resize(static_cast<size_t>(locals - p.NumParams));
    Out->Consts.resize(consts);
    Probing = was;
  };
  try {
    TType* t = f();
    restore();
    return t;
  } catch (...) {
    restore();
    throw;
  }
}

TType* TCompiler::TypeOfNode(const TNode& n) {
  auto it = TypeCache.find(&n);
  if (it != TypeCache.end()) return it->second;
  TType* t = Probe([&] { return Expr(n); });
  TypeCache[&n] = t;
  return t;
}

TType* TCompiler::TargetType(const TNode& target) {
  if (target.Kind == TNodeKind::Name) {
    int wi, field;
    const THostProperty* prop = nullptr;
    if (!WithLookup(target.Name, wi, field, &prop, nullptr)) {
      TSymbol* s = Find(target.Name);
      if (s && s->Kind == TSymKind::Proc && s->Sig->Result)
        for (auto& c : Ctx)
          if (c.Index == s->Proc) return s->Sig->Result;
    }
  }
  return Probe([&] { return Load(target); });
}

bool TCompiler::Assignable(TType* from, TType* to) const {
  if (from == to || to == TAnyVal) return true;
  switch (to->Kind) {
  case TTypeKind::Integer:
    return from->Kind == TTypeKind::Integer;
  case TTypeKind::Float:
    return from->IsNumeric();
  case TTypeKind::String:
    return from->Kind == TTypeKind::String || from->Kind == TTypeKind::Char;
  case TTypeKind::Char:
  case TTypeKind::Boolean:
    return from->Kind == to->Kind;
  case TTypeKind::Enum:
    return from->Kind == TTypeKind::Enum && from->EnumNames == to->EnumNames;
  case TTypeKind::Set:
    if (from->Kind != TTypeKind::Set) return false;
    if (from->Elem->Kind == TTypeKind::Enum || to->Elem->Kind == TTypeKind::Enum)
      return from->Elem->Kind != to->Elem->Kind ? from == TSetByte || from->Elem == TByte
                                                : Assignable(from->Elem, to->Elem);
    return true;
  case TTypeKind::Record:
    return false;
  case TTypeKind::StaticArray:
    return from->Kind == TTypeKind::StaticArray && from->Low == to->Low && from->High == to->High &&
           Assignable(from->Elem, to->Elem) && Assignable(to->Elem, from->Elem);
  case TTypeKind::DynArray:
    return from->Kind == TTypeKind::Nil ||
           (from->Kind == TTypeKind::DynArray && from->Elem->Kind == to->Elem->Kind &&
            Assignable(from->Elem, to->Elem) && Assignable(to->Elem, from->Elem));
  case TTypeKind::Class:
    return from->Kind == TTypeKind::Nil ||
           (from->Kind == TTypeKind::Class && from->Class->InheritsFrom(to->Class));
  case TTypeKind::ProcType:
    return from->Kind == TTypeKind::Nil ||
           (from->Kind == TTypeKind::ProcType &&
            from->Sig->Params.size() == to->Sig->Params.size() &&
            (from->Sig->Result == nullptr) == (to->Sig->Result == nullptr));
  default:
    return false;
  }
}

void TCompiler::Coerce(TType* from, TType* to, const TNode& at) {
  if (from == to || to == TAnyVal) return;
  if (!Assignable(from, to))
    Fail("Incompatible types: '" + to->Display() + "' and '" + from->Display() + "'", at);
  if (to->Kind == TTypeKind::Float && from->Kind == TTypeKind::Integer)
    Emit(TOp::IntToFloat);
  else if (to->Kind == TTypeKind::String && from->Kind == TTypeKind::Char)
    Emit(TOp::CharToStr);
  else if (to->Kind == TTypeKind::Integer && to->Size < 8 &&
           (from->Low < to->Low || from->High > to->High))
    Emit(TOp::Wrap, 0, 0, 0, WrapCode(to));
}

TType* TCompiler::ExprTo(const TNode& n, TType* target) {
  TType* t = Expr(n, target);
  Coerce(t, target, n);
  return target;
}

TType* TCompiler::Expr(const TNode& n, TType* expected) {
  switch (n.Kind) {
  case TNodeKind::IntLit:
    if (n.Int >= INT32_MIN && n.Int <= INT32_MAX) {
      Emit(TOp::PushInt, static_cast<int32_t>(n.Int));
      return TInt;
    }
    Emit(TOp::PushConst, AddConst(TValue::Int(n.Int)));
    return TInt64;
  case TNodeKind::FloatLit:
    Emit(TOp::PushConst, AddConst(TValue::Float(n.Float)));
    return TFloat;
  case TNodeKind::StrLit:
    if (n.Str.size() == 1) {
      Emit(TOp::PushInt, static_cast<unsigned char>(n.Str[0]));
      return TChar;
    }
    if (n.Str.empty())
      Emit(TOp::PushNil, static_cast<int>(TTag::Str));
    else
      Emit(TOp::PushConst, AddConst(TValue::Str(n.Str)));
    return TStr;
  case TNodeKind::NilLit:
    Emit(TOp::PushNil, static_cast<int>(TTag::Obj));
    return TNilT;
  case TNodeKind::Name:
    if (expected && expected->Kind == TTypeKind::ProcType) {
      TSymbol* s = Find(n.Name);
      if (s && s->Kind == TSymKind::Proc) {
        if (s->Level > 1) Fail("Nested routines cannot be used as procedure values", n);
        if (s->Sig->Params.size() != expected->Sig->Params.size() ||
            (s->Sig->Result == nullptr) != (expected->Sig->Result == nullptr))
          Fail("Procedure '" + n.Name + "' does not match the type '" + expected->Display() + "'",
               n);
        Emit(TOp::PushConst, AddConst(TValue::Proc(s->Proc)));
        return expected;
      }
    }
    return Load(n, true);
  case TNodeKind::Member:
  case TNodeKind::Index:
  case TNodeKind::Call:
    return Load(n, true);
  case TNodeKind::Unary:
    return Unary(n);
  case TNodeKind::Binary:
    return Binary(n);
  case TNodeKind::SetCons:
    return SetCons(n, expected);
  case TNodeKind::WriteArg:
    Fail("Illegal expression", n);
  default:
    Fail("Expression expected", n);
  }
}

TType* TCompiler::Unary(const TNode& n) {
  if (n.Op == TTok::At) {
    const TNode& k = *n.Kids[0];
    TSymbol* s = k.Kind == TNodeKind::Name ? Find(k.Name) : nullptr;
    if (!s || s->Kind != TSymKind::Proc) Fail("Procedure expected after '@'", n);
    if (s->Level > 1) Fail("Nested routines cannot be used as procedure values", n);
    Emit(TOp::PushConst, AddConst(TValue::Proc(s->Proc)));
    TType* t = Pool->Make(TTypeKind::ProcType);
    t->Sig = s->Sig;
    return t;
  }
  TType* t = Expr(*n.Kids[0]);
  switch (n.Op) {
  case TTok::Minus:
    if (t->Kind == TTypeKind::Integer) {
      Emit(TOp::NegI);
      return TInt64;
    }
    if (t->Kind == TTypeKind::Float) {
      Emit(TOp::NegF);
      return TFloat;
    }
    break;
  case TTok::Plus:
    if (t->IsNumeric()) return t;
    break;
  case TTok::KwNot:
    if (t->Kind == TTypeKind::Boolean) {
      Emit(TOp::NotB);
      return TBool;
    }
    if (t->Kind == TTypeKind::Integer) {
      Emit(TOp::NotI);
      Emit(TOp::Wrap, 0, 0, 0, WrapCode(t));
      return t;
    }
    break;
  default:
    break;
  }
  Fail("Operator not applicable to this operand type", n);
}

TType* TCompiler::Logical(const TNode& n, bool isAnd) {
  Emit(TOp::Dup);
  int skip = Emit(isAnd ? TOp::Jf : TOp::Jt);
  Emit(TOp::Pop);
  ExprTo(*n.Kids[1], TBool);
  PatchA(skip, Here());
  return TBool;
}

TType* TCompiler::Binary(const TNode& n) {
  TType* lt = Expr(*n.Kids[0]);
  TTok op = n.Op;
  if ((op == TTok::KwAnd || op == TTok::KwOr) && lt->Kind == TTypeKind::Boolean)
    return Logical(n, op == TTok::KwAnd);
  if (op == TTok::KwIs || op == TTok::KwAs) {
    const TNode& r = *n.Kids[1];
    TSymbol* s = r.Kind == TNodeKind::Name ? Find(r.Name) : nullptr;
    if (lt->Kind != TTypeKind::Class || !s || s->Kind != TSymKind::Type ||
        s->Type->Kind != TTypeKind::Class)
      Fail("Object and class type expected", n);
    Emit(op == TTok::KwIs ? TOp::Is : TOp::As, ClassIndex(s->Type->Class));
    return op == TTok::KwIs ? TBool : s->Type;
  }
  TType* rt = Expr(*n.Kids[1]);
  auto fail = [&]() -> TType* {
    Fail("Operator not applicable to the types '" + lt->Display() + "' and '" + rt->Display() + "'",
         n);
  };
  if (op == TTok::KwIn) {
    if (!lt->IsOrdinal() || rt->Kind != TTypeKind::Set) return fail();
    Emit(TOp::SetIn);
    return TBool;
  }
  if (lt->Kind == TTypeKind::Set && rt->Kind == TTypeKind::Set) {
    switch (op) {
    case TTok::Plus:
      Emit(TOp::SetUnion);
      return lt;
    case TTok::Minus:
      Emit(TOp::SetDiff);
      return lt;
    case TTok::Star:
      Emit(TOp::SetInter);
      return lt;
    case TTok::Eq:
      Emit(TOp::SetEq);
      return TBool;
    case TTok::Ne:
      Emit(TOp::SetNe);
      return TBool;
    case TTok::Le:
      Emit(TOp::SetLe);
      return TBool;
    case TTok::Ge:
      Emit(TOp::SetGe);
      return TBool;
    default:
      return fail();
    }
  }
  bool lStr = lt->Kind == TTypeKind::String, rStr = rt->Kind == TTypeKind::String;
  bool lCh = lt->Kind == TTypeKind::Char, rCh = rt->Kind == TTypeKind::Char;
  if ((lStr || lCh) && (rStr || rCh) && (lStr || rStr || op == TTok::Plus)) {
    if (lCh) Emit(TOp::CharToStr, 1);
    if (rCh) Emit(TOp::CharToStr);
    switch (op) {
    case TTok::Plus:
      Emit(TOp::Concat);
      return TStr;
    case TTok::Eq:
      Emit(TOp::EqS);
      return TBool;
    case TTok::Ne:
      Emit(TOp::NeS);
      return TBool;
    case TTok::Lt:
      Emit(TOp::LtS);
      return TBool;
    case TTok::Le:
      Emit(TOp::LeS);
      return TBool;
    case TTok::Gt:
      Emit(TOp::GtS);
      return TBool;
    case TTok::Ge:
      Emit(TOp::GeS);
      return TBool;
    default:
      return fail();
    }
  }
  bool lInt = lt->Kind == TTypeKind::Integer, rInt = rt->Kind == TTypeKind::Integer;
  if (lt->IsNumeric() && rt->IsNumeric()) {
    if (lInt && rInt && op != TTok::Slash) {
      bool narrow = lt->Size <= 4 && rt->Size <= 4;
      switch (op) {
      case TTok::Plus:
        Emit(TOp::AddI);
        return TInt64;
      case TTok::Minus:
        Emit(TOp::SubI);
        return TInt64;
      case TTok::Star:
        Emit(TOp::MulI);
        return TInt64;
      case TTok::KwDiv:
        Emit(TOp::DivI);
        return narrow ? TInt : TInt64;
      case TTok::KwMod:
        Emit(TOp::ModI);
        return narrow ? TInt : TInt64;
      case TTok::KwAnd:
        Emit(TOp::AndI);
        return narrow ? TInt : TInt64;
      case TTok::KwOr:
        Emit(TOp::OrI);
        return narrow ? TInt : TInt64;
      case TTok::KwXor:
        Emit(TOp::XorI);
        return narrow ? TInt : TInt64;
      case TTok::KwShl:
        Emit(TOp::Shl);
        return TInt64;
      case TTok::KwShr:
        Emit(TOp::Shr, 0, 0, 0, WrapCode(lt));
        return lt->Size < 8 ? lt : TInt64;
      case TTok::Eq:
        Emit(TOp::EqI);
        return TBool;
      case TTok::Ne:
        Emit(TOp::NeI);
        return TBool;
      case TTok::Lt:
        Emit(TOp::LtI);
        return TBool;
      case TTok::Le:
        Emit(TOp::LeI);
        return TBool;
      case TTok::Gt:
        Emit(TOp::GtI);
        return TBool;
      case TTok::Ge:
        Emit(TOp::GeI);
        return TBool;
      default:
        return fail();
      }
    }
    if (lInt) Emit(TOp::IntToFloat2);
    if (rInt) Emit(TOp::IntToFloat);
    switch (op) {
    case TTok::Plus:
      Emit(TOp::AddF);
      return TFloat;
    case TTok::Minus:
      Emit(TOp::SubF);
      return TFloat;
    case TTok::Star:
      Emit(TOp::MulF);
      return TFloat;
    case TTok::Slash:
      Emit(TOp::DivF);
      return TFloat;
    case TTok::Eq:
      Emit(TOp::EqF);
      return TBool;
    case TTok::Ne:
      Emit(TOp::NeF);
      return TBool;
    case TTok::Lt:
      Emit(TOp::LtF);
      return TBool;
    case TTok::Le:
      Emit(TOp::LeF);
      return TBool;
    case TTok::Gt:
      Emit(TOp::GtF);
      return TBool;
    case TTok::Ge:
      Emit(TOp::GeF);
      return TBool;
    default:
      return fail();
    }
  }
  if (lt->IsOrdinal() && rt->IsOrdinal() && (Assignable(lt, rt) || Assignable(rt, lt))) {
    switch (op) {
    case TTok::Eq:
      Emit(TOp::EqI);
      return TBool;
    case TTok::Ne:
      Emit(TOp::NeI);
      return TBool;
    case TTok::Lt:
      Emit(TOp::LtI);
      return TBool;
    case TTok::Le:
      Emit(TOp::LeI);
      return TBool;
    case TTok::Gt:
      Emit(TOp::GtI);
      return TBool;
    case TTok::Ge:
      Emit(TOp::GeI);
      return TBool;
    case TTok::KwXor:
      if (lt->Kind == TTypeKind::Boolean) {
        Emit(TOp::XorI);
        return TBool;
      }
      return fail();
    default:
      return fail();
    }
  }
  auto refLike = [](TType* t) {
    return t->Kind == TTypeKind::Class || t->Kind == TTypeKind::Nil ||
           t->Kind == TTypeKind::ProcType || t->Kind == TTypeKind::DynArray;
  };
  if (refLike(lt) && refLike(rt) && (op == TTok::Eq || op == TTok::Ne)) {
    Emit(op == TTok::Eq ? TOp::EqRef : TOp::NeRef);
    return TBool;
  }
  return fail();
}

TType* TCompiler::SetCons(const TNode& n, TType* expected) {
  TType* elem = expected && expected->Kind == TTypeKind::Set ? expected->Elem : nullptr;
  Emit(TOp::SetNew);
  for (auto& k : n.Kids) {
    const TNode* lo = k->Kind == TNodeKind::Range ? k->Kids[0].get() : k.get();
    TType* t = Expr(*lo);
    if (!t->IsOrdinal()) Fail("Ordinal value expected in a set", *lo);
    if (!elem)
      elem = t->Kind == TTypeKind::Integer ? TByte : t;
    else if (elem->Kind != t->Kind &&
             !(elem->Kind == TTypeKind::Integer && t->Kind == TTypeKind::Integer))
      Fail("Incompatible set element", *lo);
    if (k->Kind == TNodeKind::Range) {
      TType* h = Expr(*k->Kids[1]);
      if (!h->IsOrdinal()) Fail("Ordinal value expected in a set", *k->Kids[1]);
      Emit(TOp::SetAddRange);
    } else {
      Emit(TOp::SetAdd);
    }
  }
  if (expected && expected->Kind == TTypeKind::Set) return expected;
  if (!elem || elem->Kind == TTypeKind::Integer) return TSetByte;
  TType* s = Pool->Make(TTypeKind::Set);
  s->Elem = elem;
  return s;
}

bool TCompiler::WithLookup(const std::string& name, int& withIndex, int& field,
                           const THostProperty** prop, std::vector<const THostFunction*>* methods) {
  for (int i = static_cast<int>(Withs.size()) - 1; i >= 0; --i) {
    TType* t = Withs[i].Type;
    if (t->Kind == TTypeKind::Record) {
      int f = t->FieldIndex(name);
      if (f >= 0) {
        withIndex = i;
        field = f;
        return true;
      }
    } else if (t->Kind == TTypeKind::Class) {
      if (const THostProperty* p = t->Class->FindProperty(name)) {
        withIndex = i;
        field = -1;
        if (prop) *prop = p;
        return true;
      }
      auto ms = t->Class->FindMethods(name);
      if (!ms.empty()) {
        withIndex = i;
        field = -2;
        if (methods) *methods = ms;
        return true;
      }
    }
  }
  return false;
}

void TCompiler::LoadWithBase(const TWith& w) {
  Emit(TOp::LoadL, w.Slot);
  if (w.IsRef) Emit(TOp::Deref);
}

void TCompiler::LoadVar(const TSymbol& s) {
  int cur = Ctx.back().Level;
  if (s.Level == -1)
    Emit(TOp::LoadL, s.Slot);
  else if (s.Level == 0)
    Emit(TOp::LoadG, s.Slot);
  else if (s.Level == cur)
    Emit(s.IsRef ? TOp::LoadRef : TOp::LoadL, s.Slot);
  else {
    Emit(TOp::LoadU, cur - s.Level, s.Slot);
    if (s.IsRef) Emit(TOp::Deref);
  }
}

void TCompiler::StoreVar(const TSymbol& s) {
  int cur = Ctx.back().Level;
  if (s.Level == -1)
    Emit(TOp::StoreL, s.Slot);
  else if (s.Level == 0)
    Emit(TOp::StoreG, s.Slot);
  else if (s.Level == cur)
    Emit(s.IsRef ? TOp::StoreRef : TOp::StoreL, s.Slot);
  else if (s.IsRef) {
    Emit(TOp::LoadU, cur - s.Level, s.Slot);
    Emit(TOp::StoreInd);
  } else {
    Emit(TOp::StoreU, cur - s.Level, s.Slot);
  }
}

void TCompiler::AddressVar(const TSymbol& s) {
  int cur = Ctx.back().Level;
  if (s.Level == -1)
    Emit(TOp::AddrL, s.Slot);
  else if (s.Level == 0)
    Emit(TOp::AddrG, s.Slot);
  else if (s.Level == cur)
    Emit(s.IsRef ? TOp::LoadL : TOp::AddrL, s.Slot);
  else
    Emit(s.IsRef ? TOp::LoadU : TOp::AddrU, cur - s.Level, s.Slot);
}

TType* TCompiler::Load(const TNode& n, bool wantValue) {
  switch (n.Kind) {
  case TNodeKind::Name:
    return LoadName(n, wantValue);
  case TNodeKind::Member:
    return LoadMember(n, wantValue);
  case TNodeKind::Index:
    return LoadIndex(n);
  case TNodeKind::Call: {
    std::vector<const TNode*> args;
    for (size_t i = 1; i < n.Kids.size(); ++i)
      args.push_back(n.Kids[i].get());
    return CallNode(*n.Kids[0], args, n, wantValue);
  }
  default:
    return Expr(n);
  }
}

TType* TCompiler::LoadName(const TNode& n, bool wantValue) {
  int wi = 0, field = 0;
  const THostProperty* prop = nullptr;
  std::vector<const THostFunction*> methods;
  if (WithLookup(n.Name, wi, field, &prop, &methods)) {
    LoadWithBase(Withs[wi]);
    if (field >= 0) {
      Emit(TOp::Field, field);
      return Withs[wi].Type->Fields[field].Type;
    }
    if (field == -1) {
      if (prop->IndexType) Fail("Index expected for property '" + prop->Name + "'", n);
      if (!prop->Get && !Probing) Fail("Property '" + prop->Name + "' cannot be read", n);
      Emit(TOp::GetProp, HostPropIndex(prop));
      return PropertyType(*prop);
    }
    return CallHost(methods, {}, n, wantValue, TOp::CallMethod);
  }
  TSymbol* s = Find(n.Name);
  if (!s) Fail("Unknown identifier '" + n.Name + "'", n);
  s->Used = true;
  switch (s->Kind) {
  case TSymKind::Const:
    if (s->Value.Tag == TTag::Int && s->Value.I >= INT32_MIN && s->Value.I <= INT32_MAX)
      Emit(TOp::PushInt, static_cast<int32_t>(s->Value.I));
    else
      Emit(TOp::PushConst, AddConst(s->Value));
    return s->Type;
  case TSymKind::Var:
    LoadVar(*s);
    return s->Type;
  case TSymKind::Proc:
    return CallScript(*s, {}, n, wantValue);
  case TSymKind::Host:
    return CallHost(s->Overloads, {}, n, wantValue, TOp::CallHost);
  case TSymKind::Intrinsic:
    return Intrinsic(s->Intrinsic, {}, n, wantValue);
  case TSymKind::Type:
    break;
  }
  Fail("Expression expected but type '" + n.Name + "' found", n);
}

TType* TCompiler::ClassType(const TClassDef* c) {
  for (size_t i = 0; i < Scopes.size() && i < 2; ++i) {
    auto it = Scopes[i].find(Lower(c->Name));
    if (it != Scopes[i].end() && it->second.Kind == TSymKind::Type &&
        it->second.Type->Kind == TTypeKind::Class)
      return it->second.Type;
  }
  TType* t = Pool->Make(TTypeKind::Class, c->Name);
  t->Class = c;
  return t;
}

const TClassDef* TCompiler::ClassOfNode(const TNode& n) {
  if (n.Kind != TNodeKind::Name) return nullptr;
  TSymbol* s = Find(n.Name);
  if (s && s->Kind == TSymKind::Type && s->Type->Kind == TTypeKind::Class) return s->Type->Class;
  return nullptr;
}

TType* TCompiler::LoadMember(const TNode& n, bool wantValue, const THostProperty** indexed) {
  const TNode& base = *n.Kids[0];
  if (const TClassDef* cls = ClassOfNode(base)) {
    auto ms = cls->FindMethods(n.Name);
    if (ms.empty()) Fail("Unknown method '" + n.Name + "' of class '" + cls->Name + "'", n);
    return CallHost(ms, {}, n, wantValue, TOp::CallCtor, cls);
  }
  TType* bt = Load(base);
  if (bt->Kind == TTypeKind::Record) {
    int f = bt->FieldIndex(n.Name);
    if (f < 0) Fail("Unknown field '" + n.Name + "'", n);
    Emit(TOp::Field, f);
    return bt->Fields[f].Type;
  }
  if (bt->Kind == TTypeKind::Class) {
    if (const THostProperty* p = bt->Class->FindProperty(n.Name)) {
      if (p->IndexType) {
        if (!indexed) Fail("Index expected for property '" + p->Name + "'", n);
        *indexed = p;
        return PropertyType(*p);
      }
      if (!p->Get && !Probing) Fail("Property '" + p->Name + "' cannot be read", n);
      Emit(TOp::GetProp, HostPropIndex(p));
      return PropertyType(*p);
    }
    auto ms = bt->Class->FindMethods(n.Name);
    if (ms.empty()) Fail("Unknown member '" + n.Name + "' of class '" + bt->Class->Name + "'", n);
    return CallHost(ms, {}, n, wantValue, TOp::CallMethod);
  }
  Fail("Record or object expected before '." + n.Name + "'", n);
}

TType* TCompiler::ElemType(TType* t, const TNode& at) {
  switch (t->Kind) {
  case TTypeKind::String:
    return TChar;
  case TTypeKind::StaticArray:
  case TTypeKind::DynArray:
  case TTypeKind::OpenArray:
    return t->Elem;
  default:
    Fail("Array type required", at);
  }
}

// An array variable of this frame or a global, reachable without a reference.
TCompiler::TSymbol* TCompiler::DirectArray(const TNode& base) {
  int wi, field;
  if (base.Kind != TNodeKind::Name || WithLookup(base.Name, wi, field, nullptr, nullptr))
    return nullptr;
  TSymbol* s = Find(base.Name);
  if (s && s->Kind == TSymKind::Var && !s->IsRef &&
      (s->Type->Kind == TTypeKind::StaticArray || s->Type->Kind == TTypeKind::DynArray) &&
      (s->Level == 0 || s->Level == -1 || s->Level == Ctx.back().Level))
    return s;
  return nullptr;
}

TType* TCompiler::LoadIndex(const TNode& n) {
  const TNode& base = *n.Kids[0];
  TType* t;
  const THostProperty* prop = nullptr;
  size_t first = 1;
  TSymbol* direct = DirectArray(base);
  int wi = 0, field = 0;
  const THostProperty* withProp = nullptr;
  if (base.Kind == TNodeKind::Name && WithLookup(base.Name, wi, field, &withProp, nullptr) &&
      field == -1 && withProp->IndexType) {
    // Items[i] inside "with obj do"
    LoadWithBase(Withs[wi]);
    prop = withProp;
    t = PropertyType(*prop);
  } else if (direct) {
    // a[i] straight from the variable, without copying the array reference
    direct->Used = true;
    t = direct->Type;
    const TNode& ix = *n.Kids[1];
    if (t->Kind == TTypeKind::StaticArray) {
      TType* xt = Expr(ix);
      if (!Assignable(xt, t->IndexType) && !(xt->IsOrdinal() && t->IndexType->Kind == xt->Kind))
        Fail("Incompatible index type", ix);
    } else {
      ExprTo(ix, TInt64);
    }
    Emit(direct->Level == 0 ? TOp::LoadElemG : TOp::LoadElemL, direct->Slot,
         t->Kind == TTypeKind::StaticArray ? static_cast<int32_t>(t->Low) : 0);
    t = t->Elem;
    first = 2;
  } else if (base.Kind == TNodeKind::Member) {
    t = LoadMember(base, true, &prop);
  } else {
    t = Load(base);
  }
  for (size_t i = first; i < n.Kids.size(); ++i) {
    const TNode& ix = *n.Kids[i];
    if (!prop && t->Kind == TTypeKind::Class) {
      prop = t->Class->FindDefaultProperty();
      if (!prop) Fail("Class '" + t->Class->Name + "' has no default property", n);
    }
    if (prop) {
      PropertyType(*prop);
      TType* it = PropTypes[prop].second;
      ExprTo(ix, it);
      if (!prop->Get && !Probing) Fail("Property '" + prop->Name + "' cannot be read", n);
      Emit(TOp::GetIdxProp, HostPropIndex(prop));
      t = PropertyType(*prop);
      prop = nullptr;
      continue;
    }
    if (t->Kind == TTypeKind::String) {
      ExprTo(ix, TInt64);
      Emit(TOp::StrChar);
      t = TChar;
      continue;
    }
    TType* et = ElemType(t, n);
    if (t->Kind == TTypeKind::StaticArray) {
      TType* xt = Expr(ix);
      if (!Assignable(xt, t->IndexType) && !(xt->IsOrdinal() && t->IndexType->Kind == xt->Kind))
        Fail("Incompatible index type", ix);
      Emit(TOp::Elem, static_cast<int32_t>(t->Low));
    } else {
      ExprTo(ix, TInt64);
      Emit(TOp::Elem, 0);
    }
    t = et;
  }
  return t;
}

TType* TCompiler::Address(const TNode& n) {
  switch (n.Kind) {
  case TNodeKind::Name: {
    int wi = 0, field = 0;
    if (WithLookup(n.Name, wi, field, nullptr, nullptr)) {
      if (field < 0) Fail("Variable required", n);
      Emit(Withs[wi].IsRef ? TOp::LoadL : TOp::AddrL, Withs[wi].Slot);
      Emit(TOp::AddrField, field);
      return Withs[wi].Type->Fields[field].Type;
    }
    TSymbol* s = Find(n.Name);
    if (!s) Fail("Unknown identifier '" + n.Name + "'", n);
    s->Used = true;
    if (s->Kind == TSymKind::Var) {
      AddressVar(*s);
      return s->Type;
    }
    if (s->Kind == TSymKind::Proc && s->Sig->Result) {
      for (size_t c = Ctx.size(); c-- > 0;)
        if (Ctx[c].Index == s->Proc) {
          int hops = Ctx.back().Level - Ctx[c].Level;
          if (hops == 0)
            Emit(TOp::AddrL, Ctx[c].ResultSlot);
          else
            Emit(TOp::AddrU, hops, Ctx[c].ResultSlot);
          return s->Sig->Result;
        }
    }
    Fail("Variable required", n);
  }
  case TNodeKind::Member: {
    TType* bt = Address(*n.Kids[0]);
    if (bt->Kind != TTypeKind::Record) Fail("Variable required", n);
    int f = bt->FieldIndex(n.Name);
    if (f < 0) Fail("Unknown field '" + n.Name + "'", n);
    Emit(TOp::AddrField, f);
    return bt->Fields[f].Type;
  }
  case TNodeKind::Index: {
    TType* t = Address(*n.Kids[0]);
    for (size_t i = 1; i < n.Kids.size(); ++i) {
      if (t->Kind == TTypeKind::String || t->Kind == TTypeKind::Class) Fail("Variable required", n);
      TType* et = ElemType(t, n);
      const TNode& ix = *n.Kids[i];
      if (t->Kind == TTypeKind::StaticArray) {
        TType* xt = Expr(ix);
        if (!Assignable(xt, t->IndexType) && !(xt->IsOrdinal() && t->IndexType->Kind == xt->Kind))
          Fail("Incompatible index type", ix);
        Emit(TOp::AddrElem, static_cast<int32_t>(t->Low));
      } else {
        ExprTo(ix, TInt64);
        Emit(TOp::AddrElem, 0);
      }
      t = et;
    }
    return t;
  }
  default:
    Fail("Variable required", n);
  }
}

void TCompiler::Store(const TNode& target, TType* valueType) {
  switch (target.Kind) {
  case TNodeKind::Name: {
    int wi = 0, field = 0;
    const THostProperty* prop = nullptr;
    if (WithLookup(target.Name, wi, field, &prop, nullptr)) {
      if (field >= 0) {
        Address(target);
        Emit(TOp::StoreInd);
        return;
      }
      if (field == -1) {
        if (!prop->Set) Fail("Property '" + prop->Name + "' cannot be written", target);
        LoadWithBase(Withs[wi]);
        Emit(TOp::SetProp, HostPropIndex(prop));
        return;
      }
      Fail("Variable required", target);
    }
    TSymbol* s = Find(target.Name);
    if (s && s->Kind == TSymKind::Var) {
      s->Used = true;
      StoreVar(*s);
      return;
    }
    if (s && s->Kind == TSymKind::Const)
      Fail("Cannot assign to the constant '" + target.Name + "'", target);
    Address(target);
    Emit(TOp::StoreInd);
    return;
  }
  case TNodeKind::Member: {
    const TNode& base = *target.Kids[0];
    TType* bt = Probe([&] { return Load(base); });
    if (bt->Kind == TTypeKind::Class) {
      const THostProperty* p = bt->Class->FindProperty(target.Name);
      if (!p)
        Fail("Unknown property '" + target.Name + "' of class '" + bt->Class->Name + "'", target);
      if (p->IndexType) Fail("Index expected for property '" + p->Name + "'", target);
      if (!p->Set) Fail("Property '" + p->Name + "' cannot be written", target);
      Load(base);
      Emit(TOp::SetProp, HostPropIndex(p));
      return;
    }
    Address(target);
    Emit(TOp::StoreInd);
    return;
  }
  case TNodeKind::Index: {
    const TNode& base = *target.Kids[0];
    if (target.Kids.size() == 2) {
      const THostProperty* prop = nullptr;
      int wi = 0, field = 0;
      if (base.Kind == TNodeKind::Name && WithLookup(base.Name, wi, field, &prop, nullptr) &&
          field == -1 && prop->IndexType) {
        if (!prop->Set) Fail("Property '" + prop->Name + "' cannot be written", target);
        LoadWithBase(Withs[wi]);
        PropertyType(*prop);
        ExprTo(*target.Kids[1], PropTypes[prop].second);
        Emit(TOp::SetIdxProp, HostPropIndex(prop));
        return;
      }
      prop = nullptr;
      TType* bt = Probe([&] {
        return base.Kind == TNodeKind::Member ? LoadMember(base, true, &prop) : Load(base);
      });
      if (prop || bt->Kind == TTypeKind::Class) {
        if (!prop) {
          prop = bt->Class->FindDefaultProperty();
          if (!prop) Fail("Class '" + bt->Class->Name + "' has no default property", target);
          Load(base);
        } else {
          LoadMember(base, true, &prop);
        }
        if (!prop->Set) Fail("Property '" + prop->Name + "' cannot be written", target);
        PropertyType(*prop);
        ExprTo(*target.Kids[1], PropTypes[prop].second);
        Emit(TOp::SetIdxProp, HostPropIndex(prop));
        return;
      }
      if (bt->Kind == TTypeKind::String) {
        Address(base);
        ExprTo(*target.Kids[1], TInt64);
        Emit(TOp::StoreStrChar);
        return;
      }
    }
    if (target.Kids.size() == 2) {
      if (TSymbol* direct = DirectArray(base)) {
        TType* t = direct->Type;
        const TNode& ix = *target.Kids[1];
        if (t->Kind == TTypeKind::StaticArray) {
          TType* xt = Expr(ix);
          if (!Assignable(xt, t->IndexType) && !(xt->IsOrdinal() && t->IndexType->Kind == xt->Kind))
            Fail("Incompatible index type", ix);
        } else {
          ExprTo(ix, TInt64);
        }
        direct->Used = true;
        Emit(direct->Level == 0 ? TOp::StoreElemG : TOp::StoreElemL, direct->Slot,
             t->Kind == TTypeKind::StaticArray ? static_cast<int32_t>(t->Low) : 0);
        return;
      }
    }
    Address(target);
    Emit(TOp::StoreInd);
    (void)valueType;
    return;
  }
  default:
    Fail("Variable required", target);
  }
}

} // namespace kv::script
