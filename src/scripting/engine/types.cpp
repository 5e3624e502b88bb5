#include "scripting/engine/types.h"

#include <cctype>

namespace kv::script {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string Lower(const std::string& s) {
  std::string r = s;
  for (auto& c : r)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

int TType::FieldIndex(const std::string& name) const {
  for (size_t i = 0; i < Fields.size(); ++i)
    if (SameText(Fields[i].Name, name)) return static_cast<int>(i);
  return -1;
}

std::string TType::Display() const {
  if (!Name.empty()) return Name;
  switch (Kind) {
  case TTypeKind::Set:
    return "set of " + (Elem ? Elem->Display() : std::string("?"));
  case TTypeKind::DynArray:
  case TTypeKind::OpenArray:
    return "array of " + (Elem ? Elem->Display() : std::string("const"));
  case TTypeKind::StaticArray:
    return "array[" + std::to_string(Low) + ".." + std::to_string(High) + "] of " +
           (Elem ? Elem->Display() : std::string("?"));
  case TTypeKind::Record:
    return "record";
  case TTypeKind::Enum:
    return "enumeration";
  case TTypeKind::ProcType:
    return "procedure";
  case TTypeKind::Nil:
    return "nil";
  default:
    return "type";
  }
}

TType* TTypePool::Make(TTypeKind kind, const std::string& name) {
  Types.push_back(std::make_unique<TType>());
  Types.back()->Kind = kind;
  Types.back()->Name = name;
  return Types.back().get();
}

TType* TTypePool::MakeInt(const std::string& name, int size, bool isSigned) {
  TType* t = Make(TTypeKind::Integer, name);
  t->Size = size;
  t->Signed = isSigned;
  if (size == 8) {
    t->Low = INT64_MIN;
    t->High = INT64_MAX;
  } else if (isSigned) {
    t->Low = -(int64_t(1) << (size * 8 - 1));
    t->High = (int64_t(1) << (size * 8 - 1)) - 1;
  } else {
    t->Low = 0;
    t->High = (int64_t(1) << (size * 8)) - 1;
  }
  return t;
}

} // namespace kv::script
