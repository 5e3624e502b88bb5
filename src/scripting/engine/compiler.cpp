#include "scripting/engine/compiler.h"

#include "scripting/engine/intrinsics.h"

#include <algorithm>
#include <cmath>

namespace kv::script {

namespace {
constexpr int64_t kMaxStaticElements = 1 << 24;
constexpr int kMaxLocals = 60000;
} // namespace

TCompiler::TCompiler(std::shared_ptr<TScriptLibrary> library) : Lib(std::move(library)) {}

void TCompiler::Fail(const std::string& text, const TNode& at) const {
  throw TSourceError{text, at.Line, at.Col};
}

void TCompiler::Hint(TCompilerMessage::TKind kind, const std::string& text, int line, int col) {
  if (!Probing) Msgs->push_back({kind, text, line, col});
}

int TCompiler::Emit(TOp op, int a, int b, int c, uint8_t w) {
  auto& p = Code();
  int n = static_cast<int>(p.Code.size());
  if (n > 0 && LastHere != n) {
    TInstr& prev = p.Code.back();
    auto isCmp = [](TOp o) { return o >= TOp::EqI && o <= TOp::GeI; };
    auto isCmpK = [](TOp o) { return o >= TOp::EqIK && o <= TOp::GeIK; };
    if (prev.Op == TOp::PushInt && (op == TOp::AddI || op == TOp::SubI || op == TOp::MulI) &&
        prev.A != INT32_MIN) {
      prev.B = op == TOp::SubI ? -prev.A : prev.A;
      prev.A = 0;
      prev.Op = op == TOp::MulI ? TOp::MulIK : TOp::AddIK;
      return n - 1;
    }
    if (prev.Op == TOp::PushInt && isCmp(op)) {
      prev.B = prev.A;
      prev.A = 0;
      prev.Op = static_cast<TOp>(static_cast<int>(TOp::EqIK) +
                                 (static_cast<int>(op) - static_cast<int>(TOp::EqI)));
      return n - 1;
    }
    if (op == TOp::Jf && isCmp(prev.Op)) {
      prev.Op = static_cast<TOp>(static_cast<int>(TOp::JfEqI) +
                                 (static_cast<int>(prev.Op) - static_cast<int>(TOp::EqI)));
      prev.A = a;
      return n - 1;
    }
    if (op == TOp::Jf && isCmpK(prev.Op)) {
      prev.Op = static_cast<TOp>(static_cast<int>(TOp::JfEqIK) +
                                 (static_cast<int>(prev.Op) - static_cast<int>(TOp::EqIK)));
      prev.A = a;
      // "if i < 10": the compared variable is read straight from its slot
      if (n >= 2 && LastHere != n - 1) {
        TInstr& load = p.Code[static_cast<size_t>(n - 2)];
        if ((load.Op == TOp::LoadL || load.Op == TOp::LoadG) && load.W == 0) {
          int slot = load.A;
          uint8_t where = load.Op == TOp::LoadL ? 1 : 2;
          load = prev;
          load.C = slot;
          load.W = where;
          p.Code.pop_back();
          p.Lines.pop_back();
          p.Cols.pop_back();
          return n - 2;
        }
      }
      return n - 1;
    }
    if ((op == TOp::LoadElemL || op == TOp::LoadElemG) &&
        (prev.Op == TOp::LoadL || prev.Op == TOp::LoadG) && prev.W == 0) {
      // a[i] with i read straight from its slot
      uint8_t where = prev.Op == TOp::LoadL ? 1 : 2;
      int slot = prev.A;
      prev.Op = op;
      prev.A = a;
      prev.B = b;
      prev.C = slot;
      prev.W = where;
      return n - 1;
    }
    if ((op == TOp::StoreL || op == TOp::StoreG) && prev.Op == TOp::Wrap && w == 0) {
      prev.Op = op;
      prev.A = a;
      return n - 1;
    }
  }
  TInstr in;
  in.Op = op;
  in.A = a;
  in.B = b;
  in.C = c;
  in.W = w;
  p.Code.push_back(in);
  p.Lines.push_back(CurLine);
  p.Cols.push_back(CurCol);
  return static_cast<int>(p.Code.size()) - 1;
}

int TCompiler::AddConst(const TValue& v) {
  Out->Consts.push_back(v);
  return static_cast<int>(Out->Consts.size()) - 1;
}

int TCompiler::NewTemp(TType* t) {
  auto& p = Code();
  if (p.NumLocals >= kMaxLocals) throw TSourceError{"Too many local variables", CurLine, CurCol};
  p.LocalInit.push_back(DefaultValue(t));
  return p.NumLocals++;
}

uint8_t TCompiler::WrapCode(TType* t) const {
  if (!t) return 0;
  if (t->Kind == TTypeKind::Integer && t->Size < 8)
    return static_cast<uint8_t>(t->Size | (t->Signed ? 0x10 : 0));
  if (t->Kind == TTypeKind::Char) return 1;
  return 0;
}

void TCompiler::Declare(const std::string& name, TSymbol sym, const TNode& at) {
  auto& scope = Scopes.back();
  std::string key = Lower(name);
  auto it = scope.find(key);
  if (it != scope.end()) {
    if (it->second.Kind == TSymKind::Host && sym.Kind == TSymKind::Host) {
      for (auto* f : sym.Overloads)
        it->second.Overloads.push_back(f);
      return;
    }
    Fail("Duplicate identifier '" + name + "'", at);
  }
  sym.Name = name;
  sym.Line = at.Line;
  sym.Col = at.Col;
  scope.emplace(key, std::move(sym));
}

TCompiler::TSymbol* TCompiler::Find(const std::string& name) {
  std::string key = Lower(name);
  for (size_t i = Scopes.size(); i-- > 0;) {
    auto it = Scopes[i].find(key);
    if (it != Scopes[i].end()) return &it->second;
  }
  return nullptr;
}

void TCompiler::DeclareBuiltins() {
  TNode at(TNodeKind::Empty, 0, 0);
  auto type = [&](const std::string& name, TType* t) {
    TSymbol s;
    s.Kind = TSymKind::Type;
    s.Type = t;
    Declare(name, s, at);
  };
  TInt = Pool->MakeInt("Integer", 4, true);
  TInt64 = Pool->MakeInt("Int64", 8, true);
  TCard = Pool->MakeInt("Cardinal", 4, false);
  TByte = Pool->MakeInt("Byte", 1, false);
  type("Integer", TInt);
  type("LongInt", TInt);
  type("Int64", TInt64);
  type("Cardinal", TCard);
  type("LongWord", TCard);
  type("DWord", TCard);
  type("Byte", TByte);
  type("Word", Pool->MakeInt("Word", 2, false));
  type("ShortInt", Pool->MakeInt("ShortInt", 1, true));
  type("SmallInt", Pool->MakeInt("SmallInt", 2, true));
  type("NativeInt", TInt64);
  TBool = Pool->Make(TTypeKind::Boolean, "Boolean");
  TBool->Low = 0;
  TBool->High = 1;
  type("Boolean", TBool);
  TChar = Pool->Make(TTypeKind::Char, "Char");
  TChar->Low = 0;
  TChar->High = 255;
  type("Char", TChar);
  type("AnsiChar", TChar);
  TFloat = Pool->Make(TTypeKind::Float, "Double");
  type("Double", TFloat);
  type("Single", TFloat);
  type("Real", TFloat);
  type("Extended", TFloat);
  type("Currency", TFloat);
  TStr = Pool->Make(TTypeKind::String, "string");
  type("string", TStr);
  type("AnsiString", TStr);
  type("ShortString", TStr);
  type("UnicodeString", TStr);
  type("WideString", TStr);
  TNilT = Pool->Make(TTypeKind::Nil, "nil");
  TVoid = Pool->Make(TTypeKind::Void, "");
  TSetByte = Pool->Make(TTypeKind::Set);
  TSetByte->Elem = TByte;
  TConstArr = Pool->Make(TTypeKind::OpenArray, "array of const");
  TAnyVal = Pool->Make(TTypeKind::Pointer, "const");
  TConstArr->Elem = TAnyVal;

  TSymbol t;
  t.Kind = TSymKind::Const;
  t.Type = TBool;
  t.Value = TValue::Int(1);
  Declare("True", t, at);
  t.Value = TValue::Int(0);
  Declare("False", t, at);
  t.Type = TInt;
  t.Value = TValue::Int(2147483647);
  Declare("MaxInt", t, at);
  t.Type = TFloat;
  t.Value = TValue::Float(M_PI);
  Declare("Pi", t, at);

  const std::pair<const char*, int> intrinsics[] = {
      {"Write", inWrite},       {"WriteLn", inWriteLn},
      {"Inc", inInc},           {"Dec", inDec},
      {"High", inHigh},         {"Low", inLow},
      {"Length", inLength},     {"SetLength", inSetLength},
      {"Ord", inOrd},           {"Chr", inChr},
      {"Succ", inSucc},         {"Pred", inPred},
      {"Include", inInclude},   {"Exclude", inExclude},
      {"Assigned", inAssigned}, {"Odd", inOdd},
      {"Sqr", inSqr},           {"Abs", inAbs},
      {"Halt", inHalt}};
  for (auto& [name, id] : intrinsics) {
    TSymbol s;
    s.Kind = TSymKind::Intrinsic;
    s.Intrinsic = id;
    Declare(name, s, at);
  }
}

void TCompiler::DeclareLibrary() {
  for (auto& e : Lib->Entries()) {
    TNode at(TNodeKind::Empty, 0, 0);
    TSymbol s;
    switch (e->Kind) {
    case TScriptLibrary::TKind::Constant:
      s.Kind = TSymKind::Const;
      s.Type = ResolveType(*e->Node);
      s.Value = e->Value;
      Declare(e->Name, s, at);
      break;
    case TScriptLibrary::TKind::Type:
      s.Kind = TSymKind::Type;
      s.Type = ResolveType(*e->Node, e->Name);
      Declare(e->Name, s, at);
      break;
    case TScriptLibrary::TKind::Class: {
      s.Kind = TSymKind::Type;
      s.Type = Pool->Make(TTypeKind::Class, e->Class->Name);
      s.Type->Class = e->Class;
      if (SameText(e->Class->Name, "TObject")) TObjectT = s.Type;
      Declare(e->Name, s, at);
      break;
    }
    case TScriptLibrary::TKind::Function:
      s.Kind = TSymKind::Host;
      s.Overloads.push_back(e->Function);
      Declare(e->Name, s, at);
      break;
    case TScriptLibrary::TKind::Variable: {
      s.Kind = TSymKind::Var;
      s.Type = ResolveType(*e->Node);
      s.Level = 0;
      s.Slot = static_cast<int>(Out->GlobalInit.size());
      s.Used = true;
      Out->GlobalInit.push_back(DefaultValue(s.Type));
      Out->GlobalNames.push_back(Lower(e->Name));
      Declare(e->Name, s, at);
      break;
    }
    }
  }
}

TValue TCompiler::DefaultValue(TType* t) {
  switch (t->Kind) {
  case TTypeKind::Float:
    return TValue::Float(0);
  case TTypeKind::String:
    return TValue::EmptyOf(TTag::Str);
  case TTypeKind::Set:
    return TValue::EmptyOf(TTag::Set);
  case TTypeKind::Record: {
    TValue v = NewAgg(t->Fields.size(), true);
    auto* a = static_cast<TAggCell*>(v.H);
    for (size_t i = 0; i < t->Fields.size(); ++i)
      a->Items[i] = DefaultValue(t->Fields[i].Type);
    return v;
  }
  case TTypeKind::StaticArray: {
    TValue v = NewAgg(static_cast<size_t>(t->High - t->Low + 1), true);
    TValue elem = DefaultValue(t->Elem);
    for (auto& item : static_cast<TAggCell*>(v.H)->Items)
      item = elem;
    return v;
  }
  case TTypeKind::DynArray:
  case TTypeKind::OpenArray:
    return TValue::EmptyOf(TTag::Agg);
  case TTypeKind::Class:
    return TValue::EmptyOf(TTag::Obj);
  case TTypeKind::ProcType:
    return TValue::Proc(-1);
  default:
    return TValue::Int(0);
  }
}

TType* TCompiler::ResolveType(const TNode& t, const std::string& name) {
  switch (t.Kind) {
  case TNodeKind::TypeName: {
    if (SameText(t.Name, "const")) return TAnyVal;
    TSymbol* s = Find(t.Name);
    if (!s) Fail("Unknown type '" + t.Name + "'", t);
    if (s->Kind != TSymKind::Type) Fail("'" + t.Name + "' is not a type", t);
    return s->Type;
  }
  case TNodeKind::TypeEnum: {
    TType* e = Pool->Make(TTypeKind::Enum, name);
    e->EnumNames = t.Names;
    e->Low = 0;
    e->High = static_cast<int64_t>(t.Names.size()) - 1;
    for (size_t i = 0; i < t.Names.size(); ++i) {
      TSymbol c;
      c.Kind = TSymKind::Const;
      c.Type = e;
      c.Value = TValue::Int(static_cast<int64_t>(i));
      Declare(t.Names[i], c, t);
    }
    return e;
  }
  case TNodeKind::TypeSubrange: {
    TType *lt = nullptr, *ht = nullptr;
    TValue lo = EvalConst(*t.Kids[0], &lt);
    TValue hi = EvalConst(*t.Kids[1], &ht);
    if (!lt->IsOrdinal() || !ht->IsOrdinal()) Fail("Ordinal constant expected", t);
    if (lo.I > hi.I) Fail("Lower bound exceeds upper bound", t);
    TType* r;
    if (lt->Kind == TTypeKind::Integer) {
      bool wide = lo.I < INT32_MIN || hi.I > INT32_MAX;
      r = Pool->MakeInt(name, wide ? 8 : 4, true);
    } else {
      r = Pool->Make(lt->Kind, name);
      *r = *lt;
      r->Name = name;
    }
    r->Low = lo.I;
    r->High = hi.I;
    return r;
  }
  case TNodeKind::TypeSet: {
    TType* base = ResolveType(*t.Kids[0]);
    if (!base->IsOrdinal() || base->Low < 0 || base->High > 255)
      Fail("Sets can hold ordinal values 0 to 255 only", t);
    TType* s = Pool->Make(TTypeKind::Set, name);
    s->Elem = base;
    return s;
  }
  case TNodeKind::TypeArray: {
    if (t.Flags & nfDynamic) {
      TType* a = Pool->Make(TTypeKind::DynArray, name);
      a->Elem = ResolveType(*t.Kids.back());
      return a;
    }
    TType* elem = ResolveType(*t.Kids.back());
    for (size_t i = t.Kids.size() - 1; i-- > 0;) {
      TType* ix = ResolveType(*t.Kids[i]);
      if (!ix->IsOrdinal()) Fail("Ordinal type expected for an array index", *t.Kids[i]);
      TType* a = Pool->Make(TTypeKind::StaticArray, i == 0 ? name : std::string());
      a->Elem = elem;
      a->IndexType = ix;
      a->Low = ix->Low;
      a->High = ix->High;
      if (static_cast<double>(a->High) - static_cast<double>(a->Low) + 1 > kMaxStaticElements)
        Fail("Array too large", t);
      elem = a;
    }
    return elem;
  }
  case TNodeKind::TypeRecord: {
    TType* r = Pool->Make(TTypeKind::Record, name);
    for (auto& g : t.Kids) {
      TType* ft = ResolveType(*g->Kids[0]);
      for (auto& n : g->Names) {
        if (r->FieldIndex(n) >= 0) Fail("Duplicate field '" + n + "'", *g);
        r->Fields.push_back({n, ft});
      }
    }
    return r;
  }
  case TNodeKind::TypeProc: {
    TType* p = Pool->Make(TTypeKind::ProcType, name);
    p->Sig = MakeSig(*t.Kids[0]);
    return p;
  }
  default:
    Fail("Type expected", t);
  }
}

std::shared_ptr<TSignature> TCompiler::MakeSig(const TNode& heading) {
  auto sig = std::make_shared<TSignature>();
  for (auto& g : heading.Kids) {
    TType* pt = nullptr;
    if (!g->Kids.empty()) {
      const TNode& tn = *g->Kids[0];
      if (tn.Kind == TNodeKind::TypeArray && (tn.Flags & nfDynamic)) {
        // An open array parameter: any array of that element type, or array of const.
        pt = Pool->Make(TTypeKind::OpenArray);
        pt->Elem = ResolveType(*tn.Kids.back());
      } else {
        pt = ResolveType(tn);
      }
    } else {
      pt = TAnyVal; // untyped var/const parameter
    }
    for (auto& n : g->Names) {
      TParamDef p;
      p.Name = n;
      p.Type = pt;
      p.IsVar = (g->Flags & nfVar) != 0;
      p.IsConst = (g->Flags & nfConst) != 0;
      p.HasDefault = g->Aux != nullptr;
      p.Default = g->Aux.get();
      sig->Params.push_back(p);
    }
  }
  if (heading.Aux) sig->Result = ResolveType(*heading.Aux);
  return sig;
}

TValue TCompiler::EvalConst(const TNode& n, TType** type) {
  switch (n.Kind) {
  case TNodeKind::IntLit:
    *type = (n.Int > INT32_MAX || n.Int < INT32_MIN) ? TInt64 : TInt;
    return TValue::Int(n.Int);
  case TNodeKind::FloatLit:
    *type = TFloat;
    return TValue::Float(n.Float);
  case TNodeKind::StrLit:
    *type = n.Str.size() == 1 ? TChar : TStr;
    return n.Str.size() == 1 ? TValue::Int(static_cast<unsigned char>(n.Str[0]))
                             : TValue::Str(n.Str);
  case TNodeKind::Name: {
    TSymbol* s = Find(n.Name);
    if (!s) Fail("Unknown identifier '" + n.Name + "'", n);
    if (s->Kind != TSymKind::Const) Fail("Constant expression expected", n);
    s->Used = true;
    *type = s->Type;
    return s->Value;
  }
  case TNodeKind::Unary: {
    TType* t = nullptr;
    TValue v = EvalConst(*n.Kids[0], &t);
    *type = t;
    if (n.Op == TTok::Minus) {
      if (t->Kind == TTypeKind::Float) return TValue::Float(-v.F);
      if (t->Kind == TTypeKind::Integer) return TValue::Int(-v.I);
    } else if (n.Op == TTok::Plus && t->IsNumeric()) {
      return v;
    } else if (n.Op == TTok::KwNot) {
      if (t->Kind == TTypeKind::Boolean) return TValue::Int(!v.I);
      if (t->Kind == TTypeKind::Integer) return TValue::Int(~v.I);
    }
    Fail("Invalid constant expression", n);
  }
  case TNodeKind::Binary: {
    TType *lt = nullptr, *rt = nullptr;
    TValue l = EvalConst(*n.Kids[0], &lt);
    TValue r = EvalConst(*n.Kids[1], &rt);
    bool strs = (lt->Kind == TTypeKind::String || lt->Kind == TTypeKind::Char) &&
                (rt->Kind == TTypeKind::String || rt->Kind == TTypeKind::Char);
    if (strs && n.Op == TTok::Plus) {
      auto text = [](const TValue& v, TType* t) {
        return t->Kind == TTypeKind::Char ? std::string(1, static_cast<char>(v.I)) : v.AsString();
      };
      *type = TStr;
      return TValue::Str(text(l, lt) + text(r, rt));
    }
    if (lt->Kind == TTypeKind::Integer && rt->Kind == TTypeKind::Integer) {
      *type = (lt == TInt64 || rt == TInt64) ? TInt64 : TInt;
      switch (n.Op) {
      case TTok::Plus:
        return TValue::Int(l.I + r.I);
      case TTok::Minus:
        return TValue::Int(l.I - r.I);
      case TTok::Star:
        return TValue::Int(l.I * r.I);
      case TTok::KwDiv:
      case TTok::KwMod:
        if (r.I == 0) Fail("Division by zero", n);
        return TValue::Int(n.Op == TTok::KwDiv ? l.I / r.I : l.I % r.I);
      case TTok::KwAnd:
        return TValue::Int(l.I & r.I);
      case TTok::KwOr:
        return TValue::Int(l.I | r.I);
      case TTok::KwXor:
        return TValue::Int(l.I ^ r.I);
      case TTok::KwShl:
        return TValue::Int(r.I >= 64 ? 0 : static_cast<int64_t>(static_cast<uint64_t>(l.I) << r.I));
      case TTok::KwShr:
        return TValue::Int(r.I >= 64 ? 0 : static_cast<int64_t>(static_cast<uint64_t>(l.I) >> r.I));
      default:
        break;
      }
    }
    if (lt->IsNumeric() && rt->IsNumeric()) {
      double a = l.AsFloat(), b = r.AsFloat();
      *type = TFloat;
      switch (n.Op) {
      case TTok::Plus:
        return TValue::Float(a + b);
      case TTok::Minus:
        return TValue::Float(a - b);
      case TTok::Star:
        return TValue::Float(a * b);
      case TTok::Slash:
        return TValue::Float(a / b);
      default:
        break;
      }
    }
    Fail("Invalid constant expression", n);
  }
  case TNodeKind::Call: {
    // Ord/Chr/High/Low/SizeOf-style calls and type casts on constants.
    const TNode* callee = n.Kids[0].get();
    if (callee->Kind == TNodeKind::Name && n.Kids.size() == 2) {
      TSymbol* s = Find(callee->Name);
      TType* at = nullptr;
      if (s && s->Kind == TSymKind::Type && s->Type->IsOrdinal()) {
        TValue v = EvalConst(*n.Kids[1], &at);
        *type = s->Type;
        return v;
      }
      if (s && s->Kind == TSymKind::Intrinsic) {
        if (s->Intrinsic == inHigh || s->Intrinsic == inLow) {
          const TNode& arg = *n.Kids[1];
          TSymbol* ts = arg.Kind == TNodeKind::Name ? Find(arg.Name) : nullptr;
          if (ts && ts->Kind == TSymKind::Type &&
              (ts->Type->IsOrdinal() || ts->Type->Kind == TTypeKind::StaticArray)) {
            TType* tt = ts->Type;
            *type = tt->Kind == TTypeKind::StaticArray ? tt->IndexType : tt;
            return TValue::Int(s->Intrinsic == inHigh ? tt->High : tt->Low);
          }
        }
        TValue v = EvalConst(*n.Kids[1], &at);
        switch (s->Intrinsic) {
        case inOrd:
          if (!at->IsOrdinal()) break;
          *type = TInt;
          return v;
        case inChr:
          *type = TChar;
          return TValue::Int(v.I & 255);
        case inLength:
          *type = TInt;
          if (at->Kind == TTypeKind::Char) return TValue::Int(1);
          if (at->Kind == TTypeKind::String)
            return TValue::Int(static_cast<int64_t>(v.AsString().size()));
          break;
        default:
          break;
        }
      }
    }
    Fail("Constant expression expected", n);
  }
  default:
    Fail("Constant expression expected", n);
  }
}

void TCompiler::ConstDecl(const TNode& n) {
  TType* t = nullptr;
  TValue v = EvalConst(*n.Kids[0], &t);
  if (n.Kids.size() > 1) {
    TType* declared = ResolveType(*n.Kids[1]);
    if (!Assignable(t, declared))
      Fail("Incompatible types: '" + declared->Display() + "' and '" + t->Display() + "'", n);
    if (declared->Kind == TTypeKind::Float && t->Kind != TTypeKind::Float)
      v = TValue::Float(static_cast<double>(v.I));
    if (declared->Kind == TTypeKind::String && t->Kind == TTypeKind::Char)
      v = TValue::Str(std::string(1, static_cast<char>(v.I)));
    t = declared;
  }
  TSymbol s;
  s.Kind = TSymKind::Const;
  s.Type = t;
  s.Value = v;
  Declare(n.Name, s, n);
}

void TCompiler::VarDecl(const TNode& n) {
  TType* t = ResolveType(*n.Kids[0]);
  TValue init = DefaultValue(t);
  if (n.Aux) {
    if (n.Names.size() != 1) Fail("Only one variable can be initialized", n);
    TType* ct = nullptr;
    TValue v = EvalConst(*n.Aux, &ct);
    if (!Assignable(ct, t))
      Fail("Incompatible types: '" + t->Display() + "' and '" + ct->Display() + "'", n);
    if (t->Kind == TTypeKind::Float && ct->Kind != TTypeKind::Float)
      v = TValue::Float(static_cast<double>(v.I));
    if (t->Kind == TTypeKind::String && ct->Kind == TTypeKind::Char)
      v = TValue::Str(std::string(1, static_cast<char>(v.I)));
    init = v;
  }
  for (auto& name : n.Names) {
    TSymbol s;
    s.Kind = TSymKind::Var;
    s.Type = t;
    s.Level = Ctx.back().Level;
    if (s.Level == 0) {
      s.Slot = static_cast<int>(Out->GlobalInit.size());
      s.Used = true; // globals are reachable by name from the host
      Out->GlobalInit.push_back(init);
      Out->GlobalNames.push_back(Lower(name));
    } else {
      s.Slot = NewTemp(t);
      Code().LocalInit.back() = init;
    }
    Declare(name, s, n);
  }
}

void TCompiler::Declarations(const TNode& block) {
  for (size_t i = 0; i + 1 < block.Kids.size(); ++i) {
    const TNode& d = *block.Kids[i];
    CurLine = d.Line;
    CurCol = d.Col;
    switch (d.Kind) {
    case TNodeKind::ConstDecl:
      ConstDecl(d);
      break;
    case TNodeKind::TypeDecl: {
      TSymbol s;
      s.Kind = TSymKind::Type;
      s.Type = ResolveType(*d.Kids[0], d.Name);
      Declare(d.Name, s, d);
      break;
    }
    case TNodeKind::VarDecl:
      VarDecl(d);
      break;
    case TNodeKind::ProcDecl:
      ProcDecl(d);
      break;
    default:
      Fail("Declaration expected", d);
    }
  }
  for (auto& [key, sym] : Scopes.back())
    if (sym.Kind == TSymKind::Proc && sym.IsForward)
      throw TSourceError{"Forward declaration not solved: '" + sym.Name + "'", sym.Line, sym.Col};
}

void TCompiler::ProcDecl(const TNode& n) {
  const TNode& heading = *n.Kids[0];
  auto sig = MakeSig(heading);
  auto& scope = Scopes.back();
  auto it = scope.find(Lower(n.Name));
  TSymbol* sym = nullptr;
  if (it != scope.end() && it->second.Kind == TSymKind::Proc && it->second.IsForward) {
    sym = &it->second;
    // A body after a forward declaration may repeat or omit the parameter list.
    if (!heading.Kids.empty() || heading.Aux) {
      if (sig->Params.size() != sym->Sig->Params.size() ||
          (sig->Result == nullptr) != (sym->Sig->Result == nullptr))
        Fail("Declaration of '" + n.Name + "' differs from previous declaration", n);
    }
    if (!(n.Flags & nfForward))
      sym->IsForward = false;
    else
      Fail("Duplicate identifier '" + n.Name + "'", n);
  } else {
    TSymbol s;
    s.Kind = TSymKind::Proc;
    s.Sig = sig;
    s.Type = sig->Result;
    s.Level = Ctx.back().Level + 1;
    s.Proc = static_cast<int>(Out->Procs.size());
    s.IsForward = (n.Flags & nfForward) != 0;
    s.Used = true;
    TProcCode pc;
    pc.Name = n.Name;
    pc.Level = s.Level;
    pc.Sig = sig;
    Out->Procs.push_back(std::move(pc));
    Declare(n.Name, s, n);
    sym = &Scopes.back().find(Lower(n.Name))->second;
  }
  if (!(n.Flags & nfForward)) ProcBody(*sym, n);
}

void TCompiler::ProcBody(TSymbol& sym, const TNode& decl) {
  const TNode& block = *decl.Kids[1];
  int procIndex = sym.Proc;
  auto sig = sym.Sig;
  int level = sym.Level;
  std::string procName = sym.Name;
  Scopes.emplace_back();
  TProcCtx ctx;
  ctx.Index = procIndex;
  ctx.Level = level;
  ctx.Result = sig->Result;
  Ctx.push_back(ctx);
  auto savedWiths = std::move(Withs);
  Withs.clear();
  auto& pc = Out->Procs[procIndex];
  pc.NumParams = static_cast<int>(sig->Params.size());
  pc.NumLocals = pc.NumParams;
  pc.IsFunction = sig->Result != nullptr;
  for (size_t i = 0; i < sig->Params.size(); ++i) {
    TSymbol p;
    p.Kind = TSymKind::Var;
    p.Type = sig->Params[i].Type;
    p.Level = level;
    p.Slot = static_cast<int>(i);
    p.IsRef = sig->Params[i].IsVar;
    p.Used = true;
    Declare(sig->Params[i].Name, p, decl);
  }
  if (sig->Result) {
    int slot = NewTemp(sig->Result);
    Out->Procs[procIndex].ResultSlot = slot;
    Ctx.back().ResultSlot = slot;
    TSymbol r;
    r.Kind = TSymKind::Var;
    r.Type = sig->Result;
    r.Level = level;
    r.Slot = slot;
    r.Used = true;
    Declare("Result", r, decl);
  }
  Declarations(block);
  CurLine = block.Kids.back()->Line;
  CurCol = block.Kids.back()->Col;
  StmtList(*block.Kids.back());
  int end = Here();
  for (int at : Ctx.back().Exits)
    PatchB(at, end), PatchA(at, Code().Code[at].Op == TOp::Jmp ? end : Code().Code[at].A);
  Emit(TOp::Ret);
  JumpsToRet(Code());
  CheckUnused(Scopes.back());
  Ctx.pop_back();
  Scopes.pop_back();
  Withs = std::move(savedWiths);
  (void)procName;
}

void TCompiler::CheckUnused(const std::unordered_map<std::string, TSymbol>& scope) {
  std::vector<const TSymbol*> unused;
  for (auto& [key, s] : scope)
    if (s.Kind == TSymKind::Var && !s.Used) unused.push_back(&s);
  std::sort(unused.begin(), unused.end(), [](const TSymbol* a, const TSymbol* b) {
    return a->Line != b->Line ? a->Line < b->Line : a->Col < b->Col;
  });
  for (auto* s : unused)
    Hint(TCompilerMessage::TKind::Hint, "Variable '" + s->Name + "' is declared but never used",
         s->Line, s->Col);
}

void TCompiler::JumpsToRet(TProcCode& p) {
  for (auto& in : p.Code)
    if (in.Op == TOp::Jmp && p.Code[static_cast<size_t>(in.A)].Op == TOp::Ret)
      in = p.Code[static_cast<size_t>(in.A)];
}

std::shared_ptr<TCompiledCode> TCompiler::Compile(const TNode& program,
                                                  std::vector<TCompilerMessage>& messages) {
  Msgs = &messages;
  Out = std::make_shared<TCompiledCode>();
  Out->Library = Lib;
  Out->Types = std::make_shared<TTypePool>();
  Pool = Out->Types.get();
  Scopes.clear();
  Ctx.clear();
  Withs.clear();
  TProcCode main;
  main.Name = "!MAIN";
  Out->Procs.push_back(std::move(main));
  TProcCtx ctx;
  Ctx.push_back(ctx);
  try {
    Scopes.emplace_back();
    DeclareBuiltins();
    Scopes.emplace_back();
    DeclareLibrary();
    Scopes.emplace_back();
    const TNode& block = *program.Kids[0];
    Declarations(block);
    CurLine = block.Kids.back()->Line;
    CurCol = block.Kids.back()->Col;
    StmtList(*block.Kids.back());
    int end = Here();
    for (int at : Ctx.back().Exits)
      PatchB(at, end), PatchA(at, Code().Code[at].Op == TOp::Jmp ? end : Code().Code[at].A);
    Emit(TOp::Ret);
    JumpsToRet(Code());
  } catch (const TSourceError& e) {
    messages.push_back({TCompilerMessage::TKind::Error, e.Text, e.Line, e.Col});
    return nullptr;
  }
  return Out;
}

} // namespace kv::script
