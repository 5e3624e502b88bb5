#pragma once
#include "scripting/engine/opcodes.h"
#include "scripting/engine/types.h"
#include "scripting/engine/value.h"

#include <memory>
#include <string>
#include <vector>

namespace kv::script {

class TScriptLibrary;
struct THostFunction;
struct THostProperty;

struct TProcCode {
  std::string Name;
  int Level = 0; // 0 main body, 1 top-level routine, 2.. nested
  int NumParams = 0;
  int NumLocals = 0; // parameters included
  bool IsFunction = false;
  int ResultSlot = -1;
  std::vector<TInstr> Code;
  std::vector<int> Lines, Cols;  // per instruction
  std::vector<TValue> LocalInit; // templates for slots NumParams..NumLocals-1
  std::shared_ptr<TSignature> Sig;
};

// Compiled code: self-contained, shared by every run that uses it and kept
// alive by callbacks that point into it.
struct TCompiledCode {
  std::vector<TProcCode> Procs; // 0 is the main body
  std::vector<TValue> Consts;
  std::vector<TValue> GlobalInit;
  std::vector<std::string> GlobalNames; // lower case; host-bound variables included
  std::vector<const THostFunction*> HostFuncs;
  std::vector<const THostProperty*> HostProps;
  std::vector<const TClassDef*> Classes;
  std::shared_ptr<TScriptLibrary> Library;
  std::shared_ptr<TTypePool> Types;

  int FindProc(const std::string& name) const;
  int FindGlobal(const std::string& name) const;
};

} // namespace kv::script
