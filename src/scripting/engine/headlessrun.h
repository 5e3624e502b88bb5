#pragma once
#include "scripting/engine/compiler.h"

#include <ostream>
#include <string>

namespace kv::script {

// "[Error] (12:8): text": a compiler message with its kind and position.
std::string CompilerMessageText(const TCompilerMessage& m);

// Runs a script file without windows: the script's Write/WriteLn go to out,
// the host's own lines (compiling, compiler messages, the result or the
// run-time error with its position) to err. Returns 0 on success, 1 on a
// compile or run-time error, 2 when the file cannot be read.
int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err);

} // namespace kv::script
