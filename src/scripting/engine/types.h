#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv::script {

class TClassDef;
struct TType;
struct TNode;

enum class TTypeKind {
  Void,
  Integer, // all integer widths; Size and Signed tell which
  Boolean,
  Char,
  Enum,
  Float,
  String,
  Set,
  Record,
  StaticArray,
  DynArray,
  OpenArray, // host parameters only ("array of const", "array of string")
  Class,
  ClassRef, // the class name itself in "TStringList.Create"
  ProcType,
  Nil,
  Pointer // untyped values: "array of const" items
};

struct TParamDef {
  std::string Name;
  TType* Type = nullptr;
  bool IsVar = false;
  bool IsConst = false;
  bool HasDefault = false;
  const TNode* Default = nullptr; // constant expression, read while compiling
};

struct TSignature {
  std::vector<TParamDef> Params;
  TType* Result = nullptr; // null for procedures
};

struct TFieldDef {
  std::string Name;
  TType* Type = nullptr;
};

struct TType {
  TTypeKind Kind = TTypeKind::Void;
  std::string Name;
  int Size = 4; // integer width in bytes
  bool Signed = true;
  int64_t Low = 0, High = 0; // ordinal range, static array bounds
  std::vector<std::string> EnumNames;
  TType* Elem = nullptr;      // set base, array element
  TType* IndexType = nullptr; // static array index
  std::vector<TFieldDef> Fields;
  const TClassDef* Class = nullptr;
  std::shared_ptr<TSignature> Sig;

  bool IsOrdinal() const {
    return Kind == TTypeKind::Integer || Kind == TTypeKind::Boolean || Kind == TTypeKind::Char ||
           Kind == TTypeKind::Enum;
  }
  bool IsNumeric() const { return Kind == TTypeKind::Integer || Kind == TTypeKind::Float; }
  bool IsValueAgg() const { return Kind == TTypeKind::Record || Kind == TTypeKind::StaticArray; }
  int FieldIndex(const std::string& name) const;
  std::string Display() const;
};

// Owns the types made while compiling; kept alive by the compiled code.
class TTypePool {
public:
  TType* Make(TTypeKind kind, const std::string& name = {});
  TType* MakeInt(const std::string& name, int size, bool isSigned);

private:
  std::vector<std::unique_ptr<TType>> Types;
};

bool SameText(const std::string& a, const std::string& b);
std::string Lower(const std::string& s);

} // namespace kv::script
