#include "scriptrun.h"

#include <fstream>
#include <sstream>

namespace kv::script::test {

TRunResult RunScript(const std::string& source, TScriptEngine* engine) {
  TScriptEngine own;
  TScriptEngine& e = engine ? *engine : own;
  TRunResult r;
  e.OnOutput = [&r](const std::string& s) { r.Output += s; };
  e.SetScript(source);
  r.Compiled = e.Compile();
  r.Messages = e.Messages();
  if (r.Compiled) {
    r.Ran = e.Execute();
    r.Error = e.LastError();
  }
  e.OnOutput = nullptr;
  return r;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

} // namespace kv::script::test
