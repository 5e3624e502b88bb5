#pragma once
#include <cstdint>

namespace kv::script {

enum class TOp : uint8_t {
  Nop,
  PushInt,   // A: value (small)
  PushConst, // A: constant pool index
  PushNil,   // A: tag of the empty value
  Pop,
  Dup,
  LoadL,
  StoreL,
  LoadG,
  StoreG,
  LoadU,
  StoreU, // A: hops, B: index
  AddrL,
  AddrG,
  AddrU,
  LoadRef,      // A: local slot holding a reference (var parameter)
  StoreRef,     // A: local slot holding a reference
  Deref,        // ref -> value
  StoreInd,     // value ref -> (assign)
  Elem,         // container index -> element; A: low bound
  AddrElem,     // ref index -> ref; A: low bound
  Field,        // agg -> item A
  AddrField,    // ref -> ref to item A
  StrChar,      // string index -> char
  StoreStrChar, // value ref index -> (assign char)
  AddI,
  SubI,
  MulI,
  DivI,
  ModI,
  NegI,
  AndI,
  OrI,
  XorI,
  NotI,
  Shl,
  Shr,
  NotB,
  AddF,
  SubF,
  MulF,
  DivF,
  NegF,
  IntToFloat,  // top
  IntToFloat2, // second from top
  EqI,
  NeI,
  LtI,
  LeI,
  GtI,
  GeI,
  EqF,
  NeF,
  LtF,
  LeF,
  GtF,
  GeF,
  EqS,
  NeS,
  LtS,
  LeS,
  GtS,
  GeS,
  EqRef,
  NeRef, // objects, nil, procedures
  Concat,
  CharToStr,
  Wrap,       // A: bytes, B: signed
  RangeCheck, // A: constant index of low, B: constant index of high
  Jmp,
  Jf,
  Jt,
  Call,       // A: proc, B: hops to the static parent (-1: top level)
  CallHost,   // A: host function, B: argc
  CallMethod, // A: host method, B: argc (object below arguments)
  CallCtor,   // A: host method, B: argc; C class in the constant pool
  GetProp,    // A: property; obj -> value
  SetProp,    // A: property; value obj ->
  GetIdxProp, // A: property; obj index -> value
  SetIdxProp, // A: property; value obj index ->
  Ret,
  Line, // A: source line
  SetNew,
  SetAdd,
  SetAddRange,
  SetUnion,
  SetDiff,
  SetInter,
  SetEq,
  SetNe,
  SetLe,
  SetGe,
  SetIn,
  SetInclude,
  SetExclude,  // ref value ->
  MakeArray,   // A: count; builds an open array from the stack
  MakeDefault, // A: constant index of a template (fresh record/array)
  Len,         // string or array -> length
  High,        // dynamic array -> high index
  SetLen,      // ref length ->; A: constant index of the element template, B: 1 for strings
  IncL,        // A: local, B: delta
  IncRef,      // ref delta ->; A: bytes, B: signed (wrap)
  ForUpL,      // A: loop variable slot, B: loop start, C: limit slot
  ForDownL,
  JmpBack, // A: target; checks for a stop request
  Try,     // A: handler, B: 0 except / 1 finally
  EndTry,  // A: continuation after the except part
  EndTryFinally,
  EndFinally,
  Leave, // A: protected blocks to leave, B: target
  Raise,
  Reraise,
  ExcObj,
  ExcIs,
  EndExcept,
  Is,
  As,    // A: class constant index
  Write, // A: kind (0 int,1 float,2 str,3 char,4 bool, 5 newline), B: width/precision flags
  IsNil,
  Halt,
  // fused forms made by the code generator; K forms take the constant in B
  AddIK,
  MulIK,
  EqIK,
  NeIK,
  LtIK,
  LeIK,
  GtIK,
  GeIK,
  JfEqI,
  JfNeI,
  JfLtI,
  JfLeI,
  JfGtI,
  JfGeI, // A: target
  JfEqIK,
  JfNeIK,
  JfLtIK,
  JfLeIK,
  JfGtIK,
  JfGeIK, // A: target, B: constant
  LoadElemL,
  LoadElemG, // index -> element of the array in slot A; B: low bound
  AppendL,
  AppendG, // string -> appended in place to the string in slot A
  ForUpG,
  ForDownG, // as ForUpL with a global loop variable
  IncG,     // as IncL on a global
  StoreElemL,
  StoreElemG // value index -> element of the array in slot A; B: low bound
};

struct TInstr {
  TOp Op;
  uint8_t W = 0; // integer wrap: bytes, plus 0x10 when signed
  int32_t A = 0;
  int32_t B = 0;
  int32_t C = 0;
};

} // namespace kv::script
