#include "scripting/engine/code.h"

namespace kv::script {

int TCompiledCode::FindProc(const std::string& name) const {
  for (size_t i = 1; i < Procs.size(); ++i)
    if (Procs[i].Level == 1 && SameText(Procs[i].Name, name)) return static_cast<int>(i);
  return -1;
}

int TCompiledCode::FindGlobal(const std::string& name) const {
  std::string key = Lower(name);
  for (size_t i = 0; i < GlobalNames.size(); ++i)
    if (GlobalNames[i] == key) return static_cast<int>(i);
  return -1;
}

} // namespace kv::script
