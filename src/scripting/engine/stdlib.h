#pragma once
#include "scripting/engine/library.h"

namespace kv::script {

// What a script writer expects without asking: string, number and
// conversion routines, TObject, Exception and TStringList.
void RegisterStandardLibrary(TScriptLibrary& lib);

} // namespace kv::script
