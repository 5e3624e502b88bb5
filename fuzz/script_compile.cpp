// The script compiler on arbitrary text: every input ends in code or in
// messages with a position, never in a crash; compile time stays bounded by
// the nesting limit of the parser.
#include "scripting/engine/scriptengine.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static kv::script::TScriptEngine engine;
  engine.SetScript(std::string(reinterpret_cast<const char*>(data), size));
  if (!engine.Compile() && engine.Messages().empty())
    __builtin_trap(); // a failed compile must say why
  return 0;
}
