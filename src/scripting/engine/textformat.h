#pragma once
#include "scripting/engine/value.h"

#include <string>
#include <vector>

namespace kv::script {

// Write(x) and Write(x:w:d) of a floating-point value.
std::string FormatWriteFloat(double v, int width, int prec);
// FloatToStr: the shortest general form with 15 significant digits.
std::string FloatToText(double v);
// Format(fmt, [args]); throws TScriptError on a bad specifier or argument.
std::string FormatText(const std::string& fmt, const std::vector<TValue>& args);
std::string IntToHexText(int64_t value, int digits);

} // namespace kv::script
