#pragma once
#include "scripting/engine/ast.h"
#include "scripting/engine/value.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv::script {

class TVm;

// Raised by host functions (and by the engine) to end a script with a
// run-time error carrying this text.
class TScriptError : public std::runtime_error {
public:
  explicit TScriptError(const std::string& text) : std::runtime_error(text) {}
  // Raises an object of the named exception class (e.g. EConvertError).
  TScriptError(const std::string& text, const std::string& exceptionClass)
      : std::runtime_error(text), ExceptionClass(exceptionClass) {}
  std::string ExceptionClass;
};

// What a host function sees: its arguments (var parameters arrive as
// references, Arg() follows them), the object for methods, and its result.
struct THostCall {
  TVm& Vm;
  TValue* Args;
  int Argc;
  TValue Result;
  TValue SelfValue;
  void* Self = nullptr;
  const TClassDef* Class = nullptr; // the class a constructor was called on

  THostCall(TVm& vm, TValue* args, int argc) : Vm(vm), Args(args), Argc(argc) {}
  TValue& Arg(int i) { return Args[i].Tag == TTag::Ref ? *Args[i].R : Args[i]; }
  int64_t Int(int i) { return Arg(i).I; }
  double Float(int i) { return Arg(i).AsFloat(); }
  bool Bool(int i) { return Arg(i).I != 0; }
  const std::string& Str(int i) { return Arg(i).AsString(); }
  void SetInt(int64_t v) { Result = TValue::Int(v); }
  void SetFloat(double v) { Result = TValue::Float(v); }
  void SetStr(const std::string& s) { Result = TValue::Str(s); }
  void SetBool(bool v) { Result = TValue::Int(v ? 1 : 0); }
};

using THostFn = std::function<void(THostCall&)>;

struct THostFunction {
  std::string Name;
  TNodePtr Heading;
  THostFn Fn;
  bool AllowNilSelf = false; // methods such as Free that accept a nil object
};

struct THostProperty {
  std::string Name;
  TNodePtr Type;
  TNodePtr IndexType; // indexed properties: obj.Items[i]
  THostFn Get, Set;   // Set receives the new value as its last argument
};

class TClassDef {
public:
  std::string Name;
  const TClassDef* Parent = nullptr;
  std::vector<std::unique_ptr<THostFunction>> Methods; // constructors have the nfConstructor flag
  std::vector<std::unique_ptr<THostProperty>> Properties;
  std::string DefaultProperty;
  std::function<void(void*)> Destroy; // frees an object created by a script

  // Declaration text as the script compiler reads it, e.g. "Function SetupRead : boolean".
  TClassDef& AddMethod(const std::string& declaration, THostFn fn);
  TClassDef& AddConstructor(const std::string& declaration, THostFn fn);
  TClassDef& AddProperty(const std::string& name, const std::string& type, THostFn get,
                         THostFn set);
  TClassDef& AddIndexedProperty(const std::string& name, const std::string& indexType,
                                const std::string& type, THostFn get, THostFn set, bool isDefault);
  const THostFunction* FindMethod(const std::string& name, size_t from = 0) const;
  std::vector<const THostFunction*> FindMethods(const std::string& name) const;
  const THostProperty* FindProperty(const std::string& name) const;
  const THostProperty* FindDefaultProperty() const;
  bool InheritsFrom(const TClassDef* other) const;
};

// The declarations a host makes to scripts, in the order it makes them.
class TScriptLibrary {
public:
  enum class TKind { Constant, Type, Class, Function, Variable };
  struct TEntry {
    TKind Kind;
    std::string Name;
    TNodePtr Node; // type text, heading
    TValue Value;
    TClassDef* Class = nullptr;
    THostFunction* Function = nullptr;
  };

  void AddConstant(const std::string& name, const std::string& type, const TValue& value);
  void AddType(const std::string& name, const std::string& typeText);
  TClassDef& AddClass(const std::string& name, const std::string& parentName);
  void AddFunction(const std::string& declaration, THostFn fn);
  void AddVariable(const std::string& name, const std::string& type);
  TClassDef* FindClass(const std::string& name) const;
  const std::vector<std::unique_ptr<TEntry>>& Entries() const { return List; }

private:
  std::vector<std::unique_ptr<TEntry>> List;
  std::vector<std::unique_ptr<TClassDef>> Classes;
  std::vector<std::unique_ptr<THostFunction>> Functions;
};

} // namespace kv::script
