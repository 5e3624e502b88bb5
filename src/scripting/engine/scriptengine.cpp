#include "scripting/engine/scriptengine.h"

#include "scripting/engine/parser.h"
#include "scripting/engine/stdlib.h"

namespace kv::script {

TScriptEngine::TScriptEngine() : Lib(std::make_shared<TScriptLibrary>()) {
  RegisterStandardLibrary(*Lib);
}

TScriptEngine::TScriptEngine(std::shared_ptr<TScriptLibrary> library) : Lib(std::move(library)) {}

bool TScriptEngine::Compile() {
  CompilerMessages.clear();
  if (IsRunning()) {
    CompilerMessages.push_back({TCompilerMessage::TKind::Error, "Script is running", 0, 0});
    return false;
  }
  TNodePtr program;
  try {
    program = TPasParser(Script).ParseProgram();
  } catch (const TSourceError& e) {
    CompilerMessages.push_back({TCompilerMessage::TKind::Error, e.Text, e.Line, e.Col});
    return false;
  }
  TCompiler compiler(Lib);
  auto code = compiler.Compile(*program, CompilerMessages);
  if (!code) return false;
  Code = code;
  Vm.reset();
  return true;
}

void TScriptEngine::NewVm() {
  Vm = std::make_shared<TVm>(Code);
  Vm->LineHook = [this](int line) {
    if (OnLine) OnLine(*this, line);
  };
  Vm->HasLineHook = static_cast<bool>(OnLine);
  Vm->Output = [this](const std::string& s) {
    if (OnOutput) OnOutput(s);
  };
  for (auto& [name, value] : Bindings)
    if (TValue* g = Vm->Global(name)) *g = value;
}

bool TScriptEngine::Execute() {
  OwnError = {};
  if (IsRunning()) {
    OwnError.Text = "Script is running";
    return false;
  }
  if (!Code) {
    OwnError.Text = "No compiled script";
    return false;
  }
  NewVm();
  if (OnExecute) OnExecute(*this);
  std::shared_ptr<TVm> keep = Vm; // a host callback may load other code meanwhile
  keep->HasLineHook = static_cast<bool>(OnLine);
  return keep->RunMain();
}

void TScriptEngine::Stop() {
  if (Vm) Vm->RequestStop();
}

const TRuntimeError& TScriptEngine::LastError() const {
  if (!OwnError.Text.empty() || !Vm) return OwnError;
  return Vm->LastError();
}

bool TScriptEngine::LoadCode(std::shared_ptr<const TCompiledCode> code) {
  OwnError = {};
  if (IsRunning() || !code) return false;
  Code = std::move(code);
  NewVm();
  return true;
}

int TScriptEngine::FindProc(const std::string& name) const {
  return Code ? Code->FindProc(name) : -1;
}

bool TScriptEngine::CallProc(const std::string& name) {
  OwnError = {};
  if (!Code) {
    OwnError.Text = "No compiled script";
    return false;
  }
  int proc = Code->FindProc(name);
  if (proc < 0) {
    OwnError.Text = "Unknown procedure '" + name + "'";
    return false;
  }
  if (!Vm) NewVm();
  std::shared_ptr<TVm> keep = Vm;
  keep->HasLineHook = static_cast<bool>(OnLine);
  return keep->Call(proc, {});
}

void TScriptEngine::BindVariable(const std::string& name, const TValue& value) {
  Bindings[Lower(name)] = value;
  if (Vm)
    if (TValue* g = Vm->Global(name)) *g = value;
}

} // namespace kv::script
