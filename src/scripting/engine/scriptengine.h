#pragma once
#include "scripting/engine/compiler.h"
#include "scripting/engine/library.h"
#include "scripting/engine/vm.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kv::script {

// The script engine as a host uses it: declare, compile, run, stop,
// read errors, keep compiled code and call its procedures later.
class TScriptEngine {
public:
  TScriptEngine(); // with the standard library declared
  explicit TScriptEngine(std::shared_ptr<TScriptLibrary> library);

  TScriptLibrary& Library() { return *Lib; }
  std::shared_ptr<TScriptLibrary> LibraryPtr() const { return Lib; }

  void SetScript(const std::string& text) { Script = text; }
  const std::string& GetScript() const { return Script; }
  bool Compile();
  const std::vector<TCompilerMessage>& Messages() const { return CompilerMessages; }

  // Runs the main body of the compiled or loaded code with fresh globals.
  bool Execute();
  // Stops a running script at its next line; a stopped run fails.
  void Stop();
  bool IsRunning() const { return Vm && Vm->Running(); }
  const TRuntimeError& LastError() const;

  // The compiled code stays valid after later compiles; load it to run it again.
  std::shared_ptr<const TCompiledCode> GetCode() const { return Code; }
  bool LoadCode(std::shared_ptr<const TCompiledCode> code);
  int FindProc(const std::string& name) const;
  // Calls a procedure of the loaded code without arguments (its globals kept).
  bool CallProc(const std::string& name);

  // Variables declared by the host with TScriptLibrary::AddVariable, bound
  // before each run.
  void BindVariable(const std::string& name, const TValue& value);

  std::function<void(TScriptEngine&, int line)> OnLine;
  std::function<void(const std::string&)> OnOutput;
  std::function<void(TScriptEngine&)> OnExecute; // after the globals exist, before running

  TVm* CurrentVm() const { return Vm.get(); }

private:
  std::shared_ptr<TScriptLibrary> Lib;
  std::string Script;
  std::vector<TCompilerMessage> CompilerMessages;
  std::shared_ptr<const TCompiledCode> Code;
  std::shared_ptr<TVm> Vm;
  std::map<std::string, TValue> Bindings;
  TRuntimeError OwnError;

  void NewVm();
};

} // namespace kv::script
