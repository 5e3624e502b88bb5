#include "scripting/engine/vm.h"

#include "scripting/engine/exceptionobj.h"
#include "scripting/engine/library.h"
#include "scripting/engine/textformat.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace kv::script {

namespace {
constexpr size_t kStackMargin = 4096;

int64_t WrapInt(int64_t v, uint8_t w) {
  switch (w) {
  case 1:
    return static_cast<uint8_t>(v);
  case 2:
    return static_cast<uint16_t>(v);
  case 4:
    return static_cast<uint32_t>(v);
  case 0x11:
    return static_cast<int8_t>(v);
  case 0x12:
    return static_cast<int16_t>(v);
  case 0x14:
    return static_cast<int32_t>(v);
  default:
    return v;
  }
}

int StrCompare(const TValue& a, const TValue& b) {
  int c = a.AsString().compare(b.AsString());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The value stack is reserved from the system: its pages arrive zeroed (valid
// empty values) and only those a run touches cost anything.
void* ReserveZeroed(size_t bytes) {
#ifdef _WIN32
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
#endif
}

void ReleaseReserved(void* p, size_t bytes) {
#ifdef _WIN32
  (void)bytes;
  VirtualFree(p, 0, MEM_RELEASE);
#else
  munmap(p, bytes);
#endif
}

// Slots above the stack top never hold heap values, so a push needs no release.
inline void PushCopy(TValue*& sp, const TValue& v) {
  sp->Tag = v.Tag;
  sp->I = v.I;
  if (v.IsHeap() && v.H) ++v.H->Rc;
  ++sp;
}

const uint64_t* SetBits(const TValue& v) {
  static const uint64_t empty[4] = {0, 0, 0, 0};
  return (v.Tag == TTag::Set && v.H) ? static_cast<TSetCell*>(v.H)->Bits : empty;
}
} // namespace

bool TScriptCallback::Invoke(const std::vector<TValue>& args, TValue* result) const {
  if (!Assigned()) return false;
  return Vm->Call(Proc, args, result);
}

const TRuntimeError& TScriptCallback::Error() const {
  static const TRuntimeError none;
  return Vm ? Vm->LastError() : none;
}

TVm::TVm(std::shared_ptr<const TCompiledCode> code) : CodeRef(std::move(code)), C(CodeRef.get()) {
  Globals = C->GlobalInit;
  // Zero bytes are valid empty values; untouched pages cost nothing.
  Stack = static_cast<TValue*>(ReserveZeroed(kStackSlots * sizeof(TValue)));
  if (!Stack) throw std::bad_alloc();
  Sp = Stack;
  StackEnd = Stack + kStackSlots;
  if (C->Library) ExceptionClass = C->Library->FindClass("Exception");
  Frames.reserve(64);
}

TVm::~TVm() {
  while (Sp > Stack)
    (--Sp)->Release();
  Tries.clear();
  Globals.clear();
  ReleaseReserved(Stack, kStackSlots * sizeof(TValue));
}

TValue* TVm::Global(const std::string& name) {
  int i = C->FindGlobal(name);
  return i < 0 ? nullptr : &Globals[static_cast<size_t>(i)];
}

TScriptCallback TVm::MakeCallback(const TValue& procValue) {
  if (procValue.Tag != TTag::Proc || procValue.I < 0) return {};
  return TScriptCallback(shared_from_this(), static_cast<int>(procValue.I));
}

TValue TVm::MakeExceptionObject(const std::string& text) const {
  if (!ExceptionClass) return TValue::EmptyOf(TTag::Obj);
  return NewObject(new TExceptionObject{text}, ExceptionClass, true);
}

TValue TVm::NewException(const std::string& message) const {
  return MakeExceptionObject(message);
}

std::string TVm::MessageOf(const TValue& obj) const {
  const TClassDef* cls = ObjectClass(obj);
  if (cls && ExceptionClass && cls->InheritsFrom(ExceptionClass))
    return static_cast<TExceptionObject*>(ObjectPtr(obj))->Message;
  return cls ? cls->Name : std::string("Exception");
}

TRuntimeError TVm::CurrentPos() const {
  TRuntimeError pos;
  if (Frames.empty()) return pos;
  const TFrame& f = Frames.back();
  const TProcCode* p = f.Proc;
  int at = static_cast<int>(f.Ip - p->Code.data()) - 1;
  if (at < 0) at = 0;
  pos.Proc = static_cast<int>(p - C->Procs.data());
  pos.Pos = at;
  if (at < static_cast<int>(p->Lines.size())) {
    pos.Line = p->Lines[at];
    pos.Col = p->Cols[at];
  }
  return pos;
}

void TVm::PushFrame(int proc, int parent) {
  const TProcCode& p = C->Procs[static_cast<size_t>(proc)];
  if (Frames.size() >= kMaxFrames || Sp + p.NumLocals + kStackMargin > StackEnd)
    throw TScriptError("Stack overflow");
  TValue* bp = Sp - p.NumParams;
  for (const TValue& v : p.LocalInit)
    *Sp++ = v;
  Frames.push_back({&p, p.Code.data(), bp, parent});
}

void TVm::Cleanup(size_t base, TValue* sp) {
  while (!Tries.empty() && Tries.back().RunDepth == RunDepth)
    Tries.pop_back();
  Frames.resize(base);
  while (Sp > sp)
    (--Sp)->Release();
}

bool TVm::RunMain() {
  return RunTop(0, {}, nullptr);
}

bool TVm::Call(int proc, const std::vector<TValue>& args, TValue* result) {
  if (proc < 0 || proc >= static_cast<int>(C->Procs.size()) || proc == 0) {
    Error = {"Unknown procedure", proc, -1, 0, 0};
    return false;
  }
  const TProcCode& p = C->Procs[static_cast<size_t>(proc)];
  if (static_cast<int>(args.size()) != p.NumParams || p.Level > 1) {
    Error = {"Invalid call of procedure '" + p.Name + "'", proc, -1, 0, 0};
    return false;
  }
  return RunTop(proc, args, result);
}

bool TVm::RunTop(int proc, const std::vector<TValue>& args, TValue* result) {
  if (RunDepth == 0) {
    StopFlag = false;
    Error = {};
  }
  size_t base = Frames.size();
  TValue* sp0 = Sp;
  if (RunDepth >= kMaxRunDepth) {
    // script -> host -> script ... would otherwise exhaust the native stack
    Error = {"Stack overflow", proc, 0, 0, 0};
    return false;
  }
  ++RunDepth;
  bool ok = false;
  try {
    if (Sp + args.size() + kStackMargin > StackEnd) throw TScriptError("Stack overflow");
    for (const TValue& a : args)
      *Sp++ = a;
    PushFrame(proc, -1);
    Exec(base);
    if (C->Procs[static_cast<size_t>(proc)].IsFunction) {
      if (result) *result = std::move(Sp[-1]);
      (--Sp)->Release();
    }
    ok = true;
  } catch (TRaise& r) {
    Error = r.Pos;
    Error.Text = r.Text;
    Cleanup(base, sp0);
  } catch (TScriptError& e) { // raised before any frame ran
    Error = {e.what(), proc, 0, 0, 0};
    Cleanup(base, sp0);
  } catch (TStop&) {
    TRuntimeError pos = CurrentPos();
    Cleanup(base, sp0);
    --RunDepth;
    if (RunDepth > 0) throw;
    Error = pos;
    Error.Text = "Script stopped";
    return false;
  } catch (THalt&) {
    Cleanup(base, sp0);
    --RunDepth;
    if (RunDepth > 0) throw;
    return true;
  }
  --RunDepth;
  return ok;
}

void TVm::Exec(size_t base) {
  for (;;) {
    TRaise r;
    try {
      Loop(base);
      return;
    } catch (TRaise& e) {
      r = std::move(e);
    } catch (TScriptError& e) {
      r.Text = e.what();
      if (!e.ExceptionClass.empty() && C->Library)
        if (const TClassDef* cls = C->Library->FindClass(e.ExceptionClass))
          r.Obj = NewObject(new TExceptionObject{r.Text}, cls, true);
    } catch (std::bad_alloc&) {
      r.Text = "Out of memory";
    } catch (std::length_error&) {
      r.Text = "Out of memory";
    }
    if (!r.HasPos) {
      r.Pos = CurrentPos();
      r.HasPos = true;
    }
    if (Frames.size() <= base || !Unwind(r)) throw r;
  }
}

bool TVm::Unwind(TRaise& r) {
  while (!Tries.empty() && Tries.back().RunDepth == RunDepth) {
    TTryEntry e = std::move(Tries.back());
    Tries.pop_back();
    if (e.Kind != tkExcept && e.Kind != tkFinally) continue;
    Frames.resize(e.Frame + 1);
    while (Sp > e.Sp)
      (--Sp)->Release();
    TFrame& f = Frames.back();
    f.Ip = f.Proc->Code.data() + e.HandlerPc;
    TTryEntry s;
    s.Kind = e.Kind == tkExcept ? tkExceptState : tkFinallyState;
    s.Frame = e.Frame;
    s.Sp = e.Sp;
    s.RunDepth = RunDepth;
    s.HasExc = true;
    if (r.Obj.Tag != TTag::Obj || !r.Obj.H) r.Obj = MakeExceptionObject(r.Text);
    s.Exc = r.Obj;
    s.Text = r.Text;
    s.Pos = r.Pos;
    Tries.push_back(std::move(s));
    return true;
  }
  return false;
}

TVm::TTryEntry* TVm::CurrentExceptState() {
  for (size_t i = Tries.size(); i-- > 0;) {
    if (Tries[i].RunDepth != RunDepth) break;
    if (Tries[i].Kind == tkExceptState) return &Tries[i];
  }
  return nullptr;
}

bool TVm::Leave(int blocks, int target, const TInstr*& ip, TFrame*& fr) {
  for (int k = blocks; k > 0; --k) {
    if (Tries.empty()) break;
    TTryEntry e = std::move(Tries.back());
    Tries.pop_back();
    if (e.Kind == tkFinally) {
      TTryEntry s;
      s.Kind = tkFinallyState;
      s.Frame = e.Frame;
      s.Sp = e.Sp;
      s.RunDepth = RunDepth;
      s.LeaveBlocks = k - 1;
      s.LeaveTarget = target;
      Tries.push_back(std::move(s));
      ip = fr->Proc->Code.data() + e.HandlerPc;
      return true;
    }
  }
  ip = fr->Proc->Code.data() + target;
  return false;
}

void TVm::WriteValue(const TInstr& in) {
  int flags = in.B;
  int64_t prec = -1, width = 0;
  if (flags & 2) prec = (--Sp)->I;
  if (flags & 1) width = (--Sp)->I;
  TValue v = std::move(Sp[-1]);
  (--Sp)->Release();
  std::string text;
  switch (in.A) {
  case 0:
    text = std::to_string(v.I);
    break;
  case 1:
    text = FormatWriteFloat(v.F, static_cast<int>(width), static_cast<int>(prec));
    break;
  case 2:
    text = v.AsString();
    break;
  case 3:
    text = std::string(1, static_cast<char>(v.I));
    break;
  case 4:
    text = v.I ? "TRUE" : "FALSE";
    break;
  default:
    break;
  }
  if (width > 0 && static_cast<int64_t>(text.size()) < width && width < 4096)
    text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  if (Output) Output(text);
}

#define FAIL(msg) throw TScriptError(msg)

// One handler per instruction reads best unwrapped.
// clang-format off
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#define CASE(x)                                                                                \
  case TOp::x:                                                                                 \
  L_##x:
#define NEXT                                                                                   \
  {                                                                                            \
    cur = ip++;                                                                                \
    goto* kLabels[static_cast<uint8_t>(cur->Op)];                                              \
  }
#define in (*cur)

void TVm::Loop(size_t base) {
  TFrame* fr = &Frames.back();
  const TInstr* ip = fr->Ip;
  TValue* bp = fr->Bp;
  const TValue* consts = C->Consts.data();
  // Threaded dispatch: each handler jumps straight to the next one.
  static const void* const kLabels[] = {
      &&L_Nop,
      &&L_PushInt,
      &&L_PushConst,
      &&L_PushNil,
      &&L_Pop,
      &&L_Dup,
      &&L_LoadL,
      &&L_StoreL,
      &&L_LoadG,
      &&L_StoreG,
      &&L_LoadU,
      &&L_StoreU,
      &&L_AddrL,
      &&L_AddrG,
      &&L_AddrU,
      &&L_LoadRef,
      &&L_StoreRef,
      &&L_Deref,
      &&L_StoreInd,
      &&L_Elem,
      &&L_AddrElem,
      &&L_Field,
      &&L_AddrField,
      &&L_StrChar,
      &&L_StoreStrChar,
      &&L_AddI,
      &&L_SubI,
      &&L_MulI,
      &&L_DivI,
      &&L_ModI,
      &&L_NegI,
      &&L_AndI,
      &&L_OrI,
      &&L_XorI,
      &&L_NotI,
      &&L_Shl,
      &&L_Shr,
      &&L_NotB,
      &&L_AddF,
      &&L_SubF,
      &&L_MulF,
      &&L_DivF,
      &&L_NegF,
      &&L_IntToFloat,
      &&L_IntToFloat2,
      &&L_EqI,
      &&L_NeI,
      &&L_LtI,
      &&L_LeI,
      &&L_GtI,
      &&L_GeI,
      &&L_EqF,
      &&L_NeF,
      &&L_LtF,
      &&L_LeF,
      &&L_GtF,
      &&L_GeF,
      &&L_EqS,
      &&L_NeS,
      &&L_LtS,
      &&L_LeS,
      &&L_GtS,
      &&L_GeS,
      &&L_EqRef,
      &&L_NeRef,
      &&L_Concat,
      &&L_CharToStr,
      &&L_Wrap,
      &&L_RangeCheck,
      &&L_Jmp,
      &&L_Jf,
      &&L_Jt,
      &&L_Call,
      &&L_CallHost,
      &&L_CallMethod,
      &&L_CallCtor,
      &&L_GetProp,
      &&L_SetProp,
      &&L_GetIdxProp,
      &&L_SetIdxProp,
      &&L_Ret,
      &&L_Line,
      &&L_SetNew,
      &&L_SetAdd,
      &&L_SetAddRange,
      &&L_SetUnion,
      &&L_SetDiff,
      &&L_SetInter,
      &&L_SetEq,
      &&L_SetNe,
      &&L_SetLe,
      &&L_SetGe,
      &&L_SetIn,
      &&L_SetInclude,
      &&L_SetExclude,
      &&L_MakeArray,
      &&L_MakeDefault,
      &&L_Len,
      &&L_High,
      &&L_SetLen,
      &&L_IncL,
      &&L_IncRef,
      &&L_ForUpL,
      &&L_ForDownL,
      &&L_JmpBack,
      &&L_Try,
      &&L_EndTry,
      &&L_EndTryFinally,
      &&L_EndFinally,
      &&L_Leave,
      &&L_Raise,
      &&L_Reraise,
      &&L_ExcObj,
      &&L_ExcIs,
      &&L_EndExcept,
      &&L_Is,
      &&L_As,
      &&L_Write,
      &&L_IsNil,
      &&L_Halt,
      &&L_AddIK,
      &&L_MulIK,
      &&L_EqIK,
      &&L_NeIK,
      &&L_LtIK,
      &&L_LeIK,
      &&L_GtIK,
      &&L_GeIK,
      &&L_JfEqI,
      &&L_JfNeI,
      &&L_JfLtI,
      &&L_JfLeI,
      &&L_JfGtI,
      &&L_JfGeI,
      &&L_JfEqIK,
      &&L_JfNeIK,
      &&L_JfLtIK,
      &&L_JfLeIK,
      &&L_JfGtIK,
      &&L_JfGeIK,
      &&L_LoadElemL,
      &&L_LoadElemG,
      &&L_AppendL,
      &&L_AppendG,
      &&L_ForUpG,
      &&L_ForDownG,
      &&L_IncG,
      &&L_StoreElemL,
      &&L_StoreElemG,
  };
  static_assert(sizeof(kLabels) / sizeof(kLabels[0]) == static_cast<size_t>(TOp::StoreElemG) + 1,
                "one handler per instruction");
  const TInstr* cur = nullptr;
  // The frame learns its position only when something is thrown (or a call
  // leaves it), which keeps the dispatch free of stores.
  try {
  for (;;) {
    cur = ip++;
    switch (in.Op) {
    CASE(Nop)
      NEXT;
    CASE(PushInt)
      Sp->Tag = TTag::Int;
      Sp->I = in.A;
      ++Sp;
      NEXT;
    CASE(PushConst)
      PushCopy(Sp, consts[in.A]);
      NEXT;
    CASE(PushNil)
      Sp->Tag = static_cast<TTag>(in.A);
      Sp->H = nullptr;
      ++Sp;
      NEXT;
    CASE(Pop)
      (--Sp)->Release();
      NEXT;
    CASE(Dup)
      *Sp = Sp[-1];
      ++Sp;
      NEXT;
    CASE(LoadL)
      PushCopy(Sp, bp[in.A]);
      NEXT;
    CASE(StoreL)
      bp[in.A] = std::move(*--Sp);
      if (in.W)
        bp[in.A].I = WrapInt(bp[in.A].I, in.W);
      NEXT;
    CASE(LoadG)
      PushCopy(Sp, Globals[static_cast<size_t>(in.A)]);
      NEXT;
    CASE(StoreG) {
      TValue& g = Globals[static_cast<size_t>(in.A)];
      g = std::move(*--Sp);
      if (in.W)
        g.I = WrapInt(g.I, in.W);
      NEXT;
    }
    CASE(LoadU)
    CASE(StoreU)
    CASE(AddrU) {
      int f = static_cast<int>(fr - Frames.data());
      for (int h = 0; h < in.A; ++h)
        f = Frames[static_cast<size_t>(f)].Parent;
      TValue& slot = Frames[static_cast<size_t>(f)].Bp[in.B];
      if (in.Op == TOp::LoadU)
        *Sp++ = slot;
      else if (in.Op == TOp::StoreU)
        slot = std::move(*--Sp);
      else
        *Sp++ = TValue::Ref(&slot);
      NEXT;
    }
    CASE(AddrL)
      *Sp++ = TValue::Ref(&bp[in.A]);
      NEXT;
    CASE(AddrG)
      *Sp++ = TValue::Ref(&Globals[static_cast<size_t>(in.A)]);
      NEXT;
    CASE(LoadRef)
      *Sp++ = *bp[in.A].R;
      NEXT;
    CASE(StoreRef)
      *bp[in.A].R = std::move(*--Sp);
      NEXT;
    CASE(Deref) {
      {
        TValue v = *Sp[-1].R;
        Sp[-1] = std::move(v);
      }
      NEXT;
    }
    CASE(StoreInd) {
      TValue* target = Sp[-1].R;
      *target = std::move(Sp[-2]);
      Sp -= 2;
      Sp->Release();
      Sp[1].Release();
      NEXT;
    }
    CASE(Elem) {
      {
        int64_t i = Sp[-1].I - in.A;
        --Sp;
        TValue& c = Sp[-1];
        auto* a = static_cast<TAggCell*>(c.H);
        if (!a || i < 0 || i >= static_cast<int64_t>(a->Items.size()))
          throw TScriptError("Index out of range (" + std::to_string(i + in.A) + ")", "ERangeError");
        TValue item = a->Items[static_cast<size_t>(i)];
        c = std::move(item);
      }
      NEXT;
    }
    CASE(AddrElem) {
      int64_t i = Sp[-1].I - in.A;
      --Sp;
      TValue* target = Sp[-1].R;
      if (target->Tag != TTag::Agg || !target->H)
        throw TScriptError("Index out of range (" + std::to_string(i + in.A) + ")", "ERangeError");
      TAggCell* a = UniqueAgg(*target);
      if (i < 0 || i >= static_cast<int64_t>(a->Items.size()))
        throw TScriptError("Index out of range (" + std::to_string(i + in.A) + ")", "ERangeError");
      Sp[-1] = TValue::Ref(&a->Items[static_cast<size_t>(i)]);
      NEXT;
    }
    CASE(Field) {
      {
        auto* a = static_cast<TAggCell*>(Sp[-1].H);
        TValue item = a->Items[static_cast<size_t>(in.A)];
        Sp[-1] = std::move(item);
      }
      NEXT;
    }
    CASE(AddrField) {
      TValue* target = Sp[-1].R;
      TAggCell* a = UniqueAgg(*target);
      Sp[-1] = TValue::Ref(&a->Items[static_cast<size_t>(in.A)]);
      NEXT;
    }
    CASE(StrChar) {
      int64_t i = Sp[-1].I;
      --Sp;
      const std::string& s = Sp[-1].AsString();
      if (i < 1 || i > static_cast<int64_t>(s.size()))
        throw TScriptError("Index out of range (" + std::to_string(i) + ")", "ERangeError");
      int64_t ch = static_cast<unsigned char>(s[static_cast<size_t>(i - 1)]);
      Sp[-1] = TValue::Int(ch);
      NEXT;
    }
    CASE(StoreStrChar) {
      int64_t i = Sp[-1].I;
      TValue* target = Sp[-2].R;
      int64_t ch = Sp[-3].I;
      Sp -= 3;
      Sp->Release();
      if (target->Tag != TTag::Str || i < 1 || i > static_cast<int64_t>(target->AsString().size()))
        throw TScriptError("Index out of range (" + std::to_string(i) + ")", "ERangeError");
      target->MutableString()[static_cast<size_t>(i - 1)] = static_cast<char>(ch);
      NEXT;
    }
#define INT_BINOP(op)                                                                          \
  Sp[-2].I = static_cast<int64_t>(static_cast<uint64_t>(Sp[-2].I) op static_cast<uint64_t>(Sp[-1].I)); \
  --Sp;                                                                                        \
  NEXT;
    CASE(AddI) INT_BINOP(+)
    CASE(SubI) INT_BINOP(-)
    CASE(MulI) INT_BINOP(*)
    CASE(AndI) INT_BINOP(&)
    CASE(OrI) INT_BINOP(|)
    CASE(XorI) INT_BINOP(^)
#undef INT_BINOP
    CASE(DivI)
    CASE(ModI) {
      int64_t b = Sp[-1].I, a = Sp[-2].I;
      if (b == 0)
        throw TScriptError("Division by zero", "EDivByZero");
      int64_t r;
      if (b == -1)
        r = in.Op == TOp::DivI ? static_cast<int64_t>(0 - static_cast<uint64_t>(a)) : 0;
      else
        r = in.Op == TOp::DivI ? a / b : a % b;
      --Sp;
      Sp[-1].I = r;
      NEXT;
    }
    CASE(NegI)
      Sp[-1].I = static_cast<int64_t>(0 - static_cast<uint64_t>(Sp[-1].I));
      NEXT;
    CASE(NotI)
      Sp[-1].I = ~Sp[-1].I;
      NEXT;
    CASE(NotB)
      Sp[-1].I = Sp[-1].I == 0;
      NEXT;
    CASE(Shl) {
      int64_t n = Sp[-1].I;
      --Sp;
      Sp[-1].I = (n < 0 || n >= 64) ? 0 : static_cast<int64_t>(static_cast<uint64_t>(Sp[-1].I) << n);
      NEXT;
    }
    CASE(Shr) {
      int64_t n = Sp[-1].I;
      --Sp;
      // shifting a narrow signed value works on its bit pattern
      uint64_t v = static_cast<uint64_t>(Sp[-1].I);
      if (in.W)
        v &= (in.W & 0xF) >= 8 ? ~uint64_t(0) : ((uint64_t(1) << ((in.W & 0xF) * 8)) - 1);
      Sp[-1].I = (n < 0 || n >= 64) ? 0 : static_cast<int64_t>(v >> n);
      NEXT;
    }
#define FLT_BINOP(op)                                                                          \
  Sp[-2].F = Sp[-2].F op Sp[-1].F;                                                             \
  --Sp;                                                                                        \
  NEXT;
    CASE(AddF) FLT_BINOP(+)
    CASE(SubF) FLT_BINOP(-)
    CASE(MulF) FLT_BINOP(*)
#undef FLT_BINOP
    CASE(DivF)
      if (Sp[-1].F == 0)
        throw TScriptError("Division by zero", "EDivByZero");
      Sp[-2].F = Sp[-2].F / Sp[-1].F;
      --Sp;
      NEXT;
    CASE(NegF)
      Sp[-1].F = -Sp[-1].F;
      NEXT;
    CASE(IntToFloat)
      Sp[-1] = TValue::Float(static_cast<double>(Sp[-1].I));
      NEXT;
    CASE(IntToFloat2)
      Sp[-2] = TValue::Float(static_cast<double>(Sp[-2].I));
      NEXT;
#define CMP_I(op)                                                                              \
  Sp[-2].I = Sp[-2].I op Sp[-1].I;                                                             \
  --Sp;                                                                                        \
  NEXT;
    CASE(EqI) CMP_I(==)
    CASE(NeI) CMP_I(!=)
    CASE(LtI) CMP_I(<)
    CASE(LeI) CMP_I(<=)
    CASE(GtI) CMP_I(>)
    CASE(GeI) CMP_I(>=)
#undef CMP_I
#define CMP_F(op)                                                                              \
  {                                                                                            \
    bool r = Sp[-2].F op Sp[-1].F;                                                             \
    --Sp;                                                                                      \
    Sp[-1] = TValue::Int(r);                                                                   \
    NEXT;                                                                                     \
  }
    CASE(EqF) CMP_F(==)
    CASE(NeF) CMP_F(!=)
    CASE(LtF) CMP_F(<)
    CASE(LeF) CMP_F(<=)
    CASE(GtF) CMP_F(>)
    CASE(GeF) CMP_F(>=)
#undef CMP_F
#define CMP_S(op)                                                                              \
  {                                                                                            \
    bool r = StrCompare(Sp[-2], Sp[-1]) op 0;                                                  \
    (--Sp)->Release();                                                                         \
    Sp[-1] = TValue::Int(r);                                                                   \
    NEXT;                                                                                     \
  }
    CASE(EqS) CMP_S(==)
    CASE(NeS) CMP_S(!=)
    CASE(LtS) CMP_S(<)
    CASE(LeS) CMP_S(<=)
    CASE(GtS) CMP_S(>)
    CASE(GeS) CMP_S(>=)
#undef CMP_S
    CASE(EqRef)
    CASE(NeRef) {
      auto key = [](const TValue& v) -> int64_t {
        if (v.Tag == TTag::Proc)
          return v.I < 0 ? 0 : v.I + 1;
        if (v.Tag == TTag::Obj)
          return reinterpret_cast<int64_t>(ObjectPtr(v));
        if (v.Tag == TTag::Agg)
          return reinterpret_cast<int64_t>(v.H);
        return 0;
      };
      bool eq = key(Sp[-2]) == key(Sp[-1]);
      (--Sp)->Release();
      Sp[-1] = TValue::Int(in.Op == TOp::EqRef ? eq : !eq);
      NEXT;
    }
    CASE(IsNil) {
      const TValue& v = Sp[-1];
      bool isNil = v.Tag == TTag::Nil || (v.Tag == TTag::Proc && v.I < 0) ||
                   (v.Tag == TTag::Obj && !ObjectPtr(v)) || (v.Tag == TTag::Agg && !v.H);
      Sp[-1] = TValue::Int(isNil);
      NEXT;
    }
    CASE(Concat) {
      const std::string& b = Sp[-1].AsString();
      if (!b.empty()) {
        TValue& a = Sp[-2];
        if (a.AsString().size() + b.size() > kMaxStringLength)
          FAIL("Out of memory");
        a.MutableString() += b;
      }
      (--Sp)->Release();
      NEXT;
    }
    CASE(CharToStr) {
      TValue& v = Sp[-1 - in.A];
      v = TValue::Str(std::string(1, static_cast<char>(v.I)));
      NEXT;
    }
    CASE(Wrap)
      Sp[-1].I = WrapInt(Sp[-1].I, in.W);
      NEXT;
    CASE(RangeCheck)
      NEXT;
    CASE(Jmp)
      ip = fr->Proc->Code.data() + in.A;
      NEXT;
    CASE(JmpBack)
      if (StopFlag)
        throw TStop();
      ip = fr->Proc->Code.data() + in.A;
      NEXT;
    CASE(Jf)
      if (!(--Sp)->I)
        ip = fr->Proc->Code.data() + in.A;
      NEXT;
    CASE(Jt)
      if ((--Sp)->I)
        ip = fr->Proc->Code.data() + in.A;
      NEXT;
    CASE(ForUpL)
    CASE(ForDownL) {
      TValue& v = bp[in.A];
      if (v.I != bp[in.C].I) {
        v.I += in.Op == TOp::ForUpL ? 1 : -1;
        if (StopFlag)
          throw TStop();
        ip = fr->Proc->Code.data() + in.B;
      }
      NEXT;
    }
    CASE(Call) {
      int parent = -1;
      if (in.B >= 0) {
        parent = static_cast<int>(fr - Frames.data());
        for (int h = 0; h < in.B; ++h)
          parent = Frames[static_cast<size_t>(parent)].Parent;
      }
      const TProcCode& p = C->Procs[static_cast<size_t>(in.A)];
      if (Frames.size() >= kMaxFrames || Sp + p.NumLocals + kStackMargin > StackEnd)
        throw TScriptError("Stack overflow");
      fr->Ip = ip;
      bp = Sp - p.NumParams;
      for (const TValue& v : p.LocalInit)
        PushCopy(Sp, v);
      Frames.push_back({&p, p.Code.data(), bp, parent});
      fr = &Frames.back();
      ip = fr->Ip;
      NEXT;
    }
    CASE(Ret) {
      {
        const TProcCode* p = fr->Proc;
        TValue result;
        if (p->IsFunction)
          result = std::move(bp[p->ResultSlot]);
        while (Sp > bp)
          (--Sp)->Release();
        if (p->IsFunction)
          *Sp++ = std::move(result);
        Frames.pop_back();
        if (Frames.size() <= base)
          return;
        fr = &Frames.back();
        ip = fr->Ip;
        bp = fr->Bp;
      }
      NEXT;
    }
    CASE(CallHost)
    CASE(CallMethod)
    CASE(CallCtor) {
      {
        const THostFunction* f = C->HostFuncs[static_cast<size_t>(in.A)];
        TValue* args = Sp - in.B;
        THostCall call(*this, args, in.B);
        TValue* end = args;
        if (in.Op == TOp::CallMethod) {
          end = args - 1;
          call.SelfValue = *end;
          call.Self = ObjectPtr(*end);
          call.Class = ObjectClass(*end);
          if (!call.Self && !f->AllowNilSelf)
            FAIL("Access to a nil object (" + f->Name + ")");
        } else if (in.Op == TOp::CallCtor) {
          call.Class = C->Classes[static_cast<size_t>(in.C)];
        }
        f->Fn(call);
        fr = &Frames.back(); // the host may have run script code meanwhile
        while (Sp > end)
          (--Sp)->Release();
        if (in.Op == TOp::CallCtor && !ObjectPtr(call.Result))
          FAIL("Cannot create an object of class " + call.Class->Name);
        if (in.W)
          *Sp++ = std::move(call.Result);
      }
      NEXT;
    }
    CASE(GetProp)
    CASE(SetProp)
    CASE(GetIdxProp)
    CASE(SetIdxProp) {
      {
        const THostProperty* p = C->HostProps[static_cast<size_t>(in.A)];
        bool indexed = in.Op == TOp::GetIdxProp || in.Op == TOp::SetIdxProp;
        TValue& obj = indexed ? Sp[-2] : Sp[-1];
        void* self = ObjectPtr(obj);
        if (!self)
          FAIL("Access to a nil object (" + p->Name + ")");
        TValue args[2];
        int argc = 0;
        if (indexed)
          args[argc++] = Sp[-1];
        if (in.Op == TOp::SetProp || in.Op == TOp::SetIdxProp)
          args[argc++] = indexed ? Sp[-3] : Sp[-2];
        THostCall call(*this, args, argc);
        call.Self = self;
        call.SelfValue = obj;
        call.Class = ObjectClass(obj);
        if (in.Op == TOp::GetProp || in.Op == TOp::GetIdxProp) {
          p->Get(call);
          fr = &Frames.back();
          int pops = indexed ? 2 : 1;
          for (int k = 0; k < pops; ++k)
            (--Sp)->Release();
          *Sp++ = std::move(call.Result);
        } else {
          p->Set(call);
          fr = &Frames.back();
          int pops = indexed ? 3 : 2;
          for (int k = 0; k < pops; ++k)
            (--Sp)->Release();
        }
      }
      NEXT;
    }
    CASE(Line)
      if (HasLineHook) {
        LineHook(in.A);
        fr = &Frames.back();
      }
      if (StopFlag)
        throw TStop();
      NEXT;
    CASE(SetNew)
      *Sp++ = NewSet();
      NEXT;
    CASE(SetAdd) {
      int64_t v = Sp[-1].I;
      --Sp;
      if (v < 0 || v > 255)
        FAIL("Set element out of range (" + std::to_string(v) + ")");
      UniqueSet(Sp[-1])->Bits[v >> 6] |= uint64_t(1) << (v & 63);
      NEXT;
    }
    CASE(SetAddRange) {
      int64_t lo = Sp[-2].I, hi = Sp[-1].I;
      Sp -= 2;
      if (lo > hi)
        NEXT;
      if (lo < 0 || hi > 255)
        FAIL("Set element out of range");
      TSetCell* s = UniqueSet(Sp[-1]);
      for (int64_t v = lo; v <= hi; ++v)
        s->Bits[v >> 6] |= uint64_t(1) << (v & 63);
      NEXT;
    }
    CASE(SetUnion)
    CASE(SetDiff)
    CASE(SetInter) {
      {
        const uint64_t* a = SetBits(Sp[-2]);
        const uint64_t* b = SetBits(Sp[-1]);
        TValue r = NewSet();
        auto* s = static_cast<TSetCell*>(r.H);
        for (int k = 0; k < 4; ++k)
          s->Bits[k] = in.Op == TOp::SetUnion  ? (a[k] | b[k])
                       : in.Op == TOp::SetDiff ? (a[k] & ~b[k])
                                               : (a[k] & b[k]);
        (--Sp)->Release();
        Sp[-1] = std::move(r);
      }
      NEXT;
    }
    CASE(SetEq)
    CASE(SetNe)
    CASE(SetLe)
    CASE(SetGe) {
      const uint64_t* a = SetBits(Sp[-2]);
      const uint64_t* b = SetBits(Sp[-1]);
      bool r = true;
      for (int k = 0; k < 4; ++k) {
        if (in.Op == TOp::SetEq || in.Op == TOp::SetNe)
          r = r && a[k] == b[k];
        else if (in.Op == TOp::SetLe)
          r = r && (a[k] & ~b[k]) == 0;
        else
          r = r && (b[k] & ~a[k]) == 0;
      }
      if (in.Op == TOp::SetNe)
        r = !r;
      (--Sp)->Release();
      Sp[-1] = TValue::Int(r);
      NEXT;
    }
    CASE(SetIn) {
      bool r = SetHas(Sp[-1], Sp[-2].I);
      (--Sp)->Release();
      Sp[-1] = TValue::Int(r);
      NEXT;
    }
    CASE(SetInclude)
    CASE(SetExclude) {
      int64_t v = Sp[-1].I;
      TValue* target = Sp[-2].R;
      Sp -= 2;
      if (v < 0 || v > 255)
        FAIL("Set element out of range (" + std::to_string(v) + ")");
      TSetCell* s = UniqueSet(*target);
      if (in.Op == TOp::SetInclude)
        s->Bits[v >> 6] |= uint64_t(1) << (v & 63);
      else
        s->Bits[v >> 6] &= ~(uint64_t(1) << (v & 63));
      NEXT;
    }
    CASE(MakeArray) {
      {
        TValue arr = NewAgg(static_cast<size_t>(in.A), false);
        auto* a = static_cast<TAggCell*>(arr.H);
        for (int k = in.A - 1; k >= 0; --k)
          a->Items[static_cast<size_t>(k)] = std::move(*--Sp);
        *Sp++ = std::move(arr);
      }
      NEXT;
    }
    CASE(MakeDefault)
      *Sp++ = consts[in.A];
      NEXT;
    CASE(Len)
    CASE(High) {
      const TValue& v = Sp[-1];
      int64_t n = 0;
      if (v.Tag == TTag::Str)
        n = static_cast<int64_t>(v.AsString().size());
      else if (v.Tag == TTag::Agg && v.H)
        n = static_cast<int64_t>(static_cast<TAggCell*>(v.H)->Items.size());
      Sp[-1] = TValue::Int(in.Op == TOp::High ? n - 1 : n);
      NEXT;
    }
    CASE(SetLen) {
      {
        int64_t n = Sp[-1].I;
        TValue* target = Sp[-2].R;
        Sp -= 2;
        if (n < 0)
          n = 0;
        if (in.B) {
          if (static_cast<uint64_t>(n) > kMaxStringLength)
            FAIL("Out of memory");
          target->MutableString().resize(static_cast<size_t>(n), '\0');
          if (n == 0)
            *target = TValue::EmptyOf(TTag::Str);
        } else {
          if (static_cast<uint64_t>(n) > kMaxArrayLength)
            FAIL("Out of memory");
          if (n == 0) {
            *target = TValue::EmptyOf(TTag::Agg);
            NEXT;
          }
          auto* a = static_cast<TAggCell*>(target->H);
          if (target->Tag != TTag::Agg || !a) {
            *target = NewAgg(0, false);
            a = static_cast<TAggCell*>(target->H);
          } else if (a->Rc > 1) { // resizing a shared array gives this variable its own copy
            TValue copy = NewAgg(0, false);
            static_cast<TAggCell*>(copy.H)->Items = a->Items;
            *target = std::move(copy);
            a = static_cast<TAggCell*>(target->H);
          }
          a->Items.resize(static_cast<size_t>(n), consts[in.A]);
        }
      }
      NEXT;
    }
    CASE(IncL) {
      TValue& v = bp[in.A];
      v.I = static_cast<int64_t>(static_cast<uint64_t>(v.I) + static_cast<uint64_t>(int64_t(in.B)));
      if (in.W)
        v.I = WrapInt(v.I, in.W);
      NEXT;
    }
    CASE(IncRef) {
      int64_t d = Sp[-1].I;
      TValue* target = Sp[-2].R;
      Sp -= 2;
      target->I = static_cast<int64_t>(static_cast<uint64_t>(target->I) + static_cast<uint64_t>(d));
      if (in.W)
        target->I = WrapInt(target->I, in.W);
      NEXT;
    }
    CASE(Try) {
      {
        TTryEntry e;
        e.Kind = in.B;
        e.Frame = static_cast<size_t>(fr - Frames.data());
        e.Sp = Sp;
        e.HandlerPc = in.A;
        e.RunDepth = RunDepth;
        Tries.push_back(std::move(e));
      }
      NEXT;
    }
    CASE(EndTry)
      Tries.pop_back();
      ip = fr->Proc->Code.data() + in.A;
      NEXT;
    CASE(EndTryFinally) {
      {
        TTryEntry e = std::move(Tries.back());
        Tries.pop_back();
        TTryEntry s;
        s.Kind = tkFinallyState;
        s.Frame = e.Frame;
        s.Sp = e.Sp;
        s.RunDepth = RunDepth;
        Tries.push_back(std::move(s));
      }
      NEXT;
    }
    CASE(EndFinally) {
      {
        TTryEntry s = std::move(Tries.back());
        Tries.pop_back();
        if (s.HasExc) {
          TRaise r;
          r.Obj = std::move(s.Exc);
          r.Text = std::move(s.Text);
          r.Pos = s.Pos;
          r.HasPos = true;
          throw r;
        }
        if (s.LeaveBlocks >= 0)
          Leave(s.LeaveBlocks, s.LeaveTarget, ip, fr);
      }
      NEXT;
    }
    CASE(Leave)
      Leave(in.A, in.B, ip, fr);
      NEXT;
    CASE(Raise) {
      TRaise r;
      r.Obj = std::move(Sp[-1]);
      (--Sp)->Release();
      if (!ObjectPtr(r.Obj))
        FAIL("Raise of a nil object");
      r.Text = MessageOf(r.Obj);
      throw r;
    }
    CASE(Reraise) {
      TTryEntry* s = CurrentExceptState();
      if (!s)
        FAIL("Re-raise outside an exception handler");
      TRaise r;
      r.Obj = s->Exc;
      r.Text = s->Text;
      r.Pos = s->Pos;
      r.HasPos = true;
      // drop the state: the handler is being left by the exception
      while (&Tries.back() != s)
        Tries.pop_back();
      Tries.pop_back();
      throw r;
    }
    CASE(ExcObj) {
      TTryEntry* s = CurrentExceptState();
      *Sp++ = s ? s->Exc : TValue::EmptyOf(TTag::Obj);
      NEXT;
    }
    CASE(ExcIs) {
      TTryEntry* s = CurrentExceptState();
      const TClassDef* cls = s ? ObjectClass(s->Exc) : nullptr;
      *Sp++ = TValue::Int(cls && cls->InheritsFrom(C->Classes[static_cast<size_t>(in.A)]));
      NEXT;
    }
    CASE(EndExcept)
      Tries.pop_back();
      NEXT;
    CASE(Is) {
      const TClassDef* cls = ObjectClass(Sp[-1]);
      bool r = cls && cls->InheritsFrom(C->Classes[static_cast<size_t>(in.A)]);
      Sp[-1] = TValue::Int(r);
      NEXT;
    }
    CASE(As) {
      const TClassDef* cls = ObjectClass(Sp[-1]);
      if (cls && !cls->InheritsFrom(C->Classes[static_cast<size_t>(in.A)]))
        FAIL("Invalid class typecast");
      NEXT;
    }
    CASE(Write)
      if (in.A == 5) {
        if (Output)
          Output("\n");
      } else {
        WriteValue(in);
      }
      NEXT;
    CASE(Halt)
      throw THalt();
    CASE(AddIK)
      Sp[-1].I = static_cast<int64_t>(static_cast<uint64_t>(Sp[-1].I) + static_cast<uint64_t>(int64_t(in.B)));
      NEXT;
    CASE(MulIK)
      Sp[-1].I = static_cast<int64_t>(static_cast<uint64_t>(Sp[-1].I) * static_cast<uint64_t>(int64_t(in.B)));
      NEXT;
#define CMP_K(op)                                                                              \
  Sp[-1].I = Sp[-1].I op in.B;                                                                 \
  NEXT;
    CASE(EqIK) CMP_K(==)
    CASE(NeIK) CMP_K(!=)
    CASE(LtIK) CMP_K(<)
    CASE(LeIK) CMP_K(<=)
    CASE(GtIK) CMP_K(>)
    CASE(GeIK) CMP_K(>=)
#undef CMP_K
#define JF_CMP(op)                                                                             \
  Sp -= 2;                                                                                     \
  if (!(Sp[0].I op Sp[1].I))                                                                   \
    ip = fr->Proc->Code.data() + in.A;                                                         \
  NEXT;
    CASE(JfEqI) JF_CMP(==)
    CASE(JfNeI) JF_CMP(!=)
    CASE(JfLtI) JF_CMP(<)
    CASE(JfLeI) JF_CMP(<=)
    CASE(JfGtI) JF_CMP(>)
    CASE(JfGeI) JF_CMP(>=)
#undef JF_CMP
#define JF_CMPK(op)                                                                            \
  {                                                                                            \
    int64_t l = in.W == 0 ? (--Sp)->I                                                          \
                : in.W == 1 ? bp[in.C].I : Globals[static_cast<size_t>(in.C)].I;              \
    if (!(l op in.B))                                                                          \
      ip = fr->Proc->Code.data() + in.A;                                                       \
  }                                                                                            \
  NEXT;
    CASE(JfEqIK) JF_CMPK(==)
    CASE(JfNeIK) JF_CMPK(!=)
    CASE(JfLtIK) JF_CMPK(<)
    CASE(JfLeIK) JF_CMPK(<=)
    CASE(JfGtIK) JF_CMPK(>)
    CASE(JfGeIK) JF_CMPK(>=)
#undef JF_CMPK
    CASE(LoadElemL)
    CASE(LoadElemG) {
      const TValue& arr = in.Op == TOp::LoadElemL ? bp[in.A] : Globals[static_cast<size_t>(in.A)];
      // W: the index is on the stack (0), in local slot C (1) or in global C (2)
      int64_t i = (in.W == 0   ? Sp[-1].I
                   : in.W == 1 ? bp[in.C].I
                               : Globals[static_cast<size_t>(in.C)].I) - in.B;
      auto* a = static_cast<TAggCell*>(arr.H);
      if (!a || i < 0 || i >= static_cast<int64_t>(a->Items.size()))
        throw TScriptError("Index out of range (" + std::to_string(i + in.B) + ")", "ERangeError");
      if (in.W)
        PushCopy(Sp, a->Items[static_cast<size_t>(i)]);
      else
        Sp[-1] = a->Items[static_cast<size_t>(i)];
      NEXT;
    }
    CASE(AppendL)
    CASE(AppendG) {
      {
        TValue& target = in.Op == TOp::AppendL ? bp[in.A] : Globals[static_cast<size_t>(in.A)];
        const std::string& add = Sp[-1].AsString();
        if (!add.empty()) {
          if (target.AsString().size() + add.size() > kMaxStringLength)
            FAIL("Out of memory");
          if (&Sp[-1] != &target && Sp[-1].H == target.H) {
            std::string copy = add; // s := s + s
            target.MutableString() += copy;
          } else {
            target.MutableString() += add;
          }
        }
        (--Sp)->Release();
      }
      NEXT;
    }
    CASE(IncG) {
      TValue& v = Globals[static_cast<size_t>(in.A)];
      v.I = static_cast<int64_t>(static_cast<uint64_t>(v.I) + static_cast<uint64_t>(int64_t(in.B)));
      if (in.W)
        v.I = WrapInt(v.I, in.W);
      NEXT;
    }
    CASE(StoreElemL)
    CASE(StoreElemG) {
      TValue& arr = in.Op == TOp::StoreElemL ? bp[in.A] : Globals[static_cast<size_t>(in.A)];
      int64_t i = Sp[-1].I - in.B;
      if (arr.Tag != TTag::Agg || !arr.H)
        throw TScriptError("Index out of range (" + std::to_string(i + in.B) + ")", "ERangeError");
      TAggCell* a = UniqueAgg(arr);
      if (i < 0 || i >= static_cast<int64_t>(a->Items.size()))
        throw TScriptError("Index out of range (" + std::to_string(i + in.B) + ")", "ERangeError");
      a->Items[static_cast<size_t>(i)] = std::move(Sp[-2]);
      Sp -= 2;
      NEXT;
    }
    CASE(ForUpG)
    CASE(ForDownG) {
      TValue& v = Globals[static_cast<size_t>(in.A)];
      if (v.I != bp[in.C].I) {
        v.I += in.Op == TOp::ForUpG ? 1 : -1;
        if (StopFlag)
          throw TStop();
        ip = fr->Proc->Code.data() + in.B;
      }
      NEXT;
    }
    }
  }
  } catch (...) {
    // the current frame is the last one even when the host ran script code
    // (and so possibly moved the frame list) before throwing
    Frames.back().Ip = ip;
    throw;
  }
}

#undef in
#undef NEXT
#undef CASE
#pragma GCC diagnostic pop
// clang-format on

} // namespace kv::script
