#include "scripting/engine/headlessrun.h"

#include "scripting/engine/scriptengine.h"

#include <chrono>
#include <fstream>
#include <sstream>

namespace kv::script {

std::string CompilerMessageText(const TCompilerMessage& m) {
  const char* kind = m.Kind == TCompilerMessage::TKind::Error     ? "Error"
                     : m.Kind == TCompilerMessage::TKind::Warning ? "Warning"
                                                                  : "Hint";
  return std::string("[") + kind + "] (" + std::to_string(m.Line) + ":" + std::to_string(m.Col) +
         "): " + m.Text;
}

int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err) {
  std::string name = path;
  size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    err << path << ": cannot be read\n";
    return 2;
  }
  std::ostringstream text;
  text << in.rdbuf();

  TScriptEngine engine;
  engine.OnOutput = [&out](const std::string& s) { out << s; };
  engine.SetScript(text.str());
  err << name << ": Compiling... \n";
  bool compiled = engine.Compile();
  if (!compiled) {
    for (auto& m : engine.Messages())
      err << "Compiler: " << CompilerMessageText(m) << "\n";
    err << name << ": Compiling failed\n";
    return 1;
  }
  for (auto& m : engine.Messages())
    err << "Compiler: " << CompilerMessageText(m) << "\n";
  err << name << ": Executing... \n";
  auto start = std::chrono::steady_clock::now();
  bool ok = engine.Execute();
  out.flush();
  if (!ok) {
    const TRuntimeError& e = engine.LastError();
    err << name << ": " << e.Text << " at " << e.Proc << "." << e.Pos << " (line " << e.Line
        << ", column " << e.Col << ")\n";
    return 1;
  }
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                .count();
  err << "Successful executed in " << ms << " ms\n";
  return 0;
}

} // namespace kv::script
