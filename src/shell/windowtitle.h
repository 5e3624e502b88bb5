#pragma once

#include <string>

// The main window's caption with no document, and with one.
std::string BaseWindowTitle();
std::string DocumentWindowTitle(const std::string& name, bool modified);

// "Untited" + the next value of a counter shared by every caller.
class TPageNamer {
public:
  std::string NewPageName() { return "Untited" + std::to_string(++Counter); }
  int Count() const { return Counter; }

private:
  int Counter = 0;
};
