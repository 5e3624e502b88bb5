#pragma once
#include "scripting/engine/token.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv::script {

// The intermediate form every front end produces: a syntax tree with names
// still unresolved. The code generator checks and compiles it.
enum class TNodeKind {
  // expressions
  IntLit,
  FloatLit,
  StrLit,
  NilLit,
  Name,
  Member,
  Index,
  Call,
  Unary,
  Binary,
  SetCons,
  Range,
  WriteArg,
  // statements
  Compound,
  Assign,
  CallStmt,
  If,
  While,
  Repeat,
  For,
  Case,
  CaseArm,
  Break,
  Continue,
  Exit,
  TryExcept,
  ExceptBlock,
  OnHandler,
  TryFinally,
  Raise,
  With,
  Empty,
  // declarations
  Program,
  Block,
  ConstDecl,
  TypeDecl,
  VarDecl,
  ProcDecl,
  ProcHeading,
  ParamGroup,
  // types
  TypeName,
  TypeEnum,
  TypeSubrange,
  TypeSet,
  TypeArray,
  TypeRecord,
  FieldGroup,
  TypeProc
};

struct TNode;
using TNodePtr = std::unique_ptr<TNode>;

struct TNode {
  TNodeKind Kind;
  int Line = 0, Col = 0;
  std::string Name;
  std::vector<std::string> Names;
  int64_t Int = 0;
  double Float = 0;
  std::string Str;
  TTok Op = TTok::Eof;
  int Flags = 0;
  std::vector<TNodePtr> Kids;
  TNodePtr Aux; // function result type, optional initial value

  TNode(TNodeKind kind, int line, int col) : Kind(kind), Line(line), Col(col) {}
  TNode* Kid(size_t i) const { return i < Kids.size() ? Kids[i].get() : nullptr; }
};

// Flag bits
enum : int {
  nfDownto = 1,      // For
  nfDynamic = 1,     // TypeArray without bounds
  nfVar = 1,         // ParamGroup
  nfConst = 2,       // ParamGroup
  nfForward = 1,     // ProcDecl
  nfFunction = 2,    // ProcHeading / TypeProc
  nfOfObject = 4,    // TypeProc
  nfPlainExcept = 1, // ExceptBlock holding plain statements
  nfHasElse = 2,     // ExceptBlock with an else part (last kid)
  nfOverload = 8,    // ProcDecl
  nfConstructor = 16 // ProcHeading of a host class constructor
};

} // namespace kv::script
