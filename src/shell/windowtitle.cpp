#include "shell/windowtitle.h"

namespace {
const char* const ProductTitle = "Korvane Device Programmer v1.1  ";
}

std::string BaseWindowTitle() {
  return ProductTitle;
}

std::string DocumentWindowTitle(const std::string& name, bool modified) {
  return std::string(ProductTitle) + "- " + name + (modified ? " [Modified]" : "");
}
