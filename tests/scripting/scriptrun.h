#pragma once
#include "scripting/engine/scriptengine.h"

#include <string>

namespace kv::script::test {

struct TRunResult {
  bool Compiled = false;
  bool Ran = false;
  std::string Output;
  std::vector<TCompilerMessage> Messages;
  TRuntimeError Error;
};

// Compiles and runs a script on a fresh engine (or on the one given).
TRunResult RunScript(const std::string& source, TScriptEngine* engine = nullptr);
std::string ReadFile(const std::string& path);

} // namespace kv::script::test
