#include "shell/appversion.h"

std::string AboutVersionText(const TVersion& v) {
  return "Version " + std::to_string(v[0]) + "." + std::to_string(v[1]) + " Build " +
         std::to_string(v[2]) + "." + std::to_string(v[3]);
}
