#pragma once

#include <string>

#include "shell/checkforupdate.h"

// The program's own version (major, minor, release, build), the one the
// window title, the About box and the update check show.
inline constexpr TVersion ProgramVersion{1, 1, 0, 0};

// "Version 1.1 Build 0.0"
std::string AboutVersionText(const TVersion& v);
