#include "shell/aboutlist.h"

void TAboutComponents::Add(const std::string& name, const std::string& description) {
  // "=" separates name and description, so a name cannot hold one.
  std::string key = name.substr(0, name.find('='));
  std::string line = key + "=" + description;
  for (auto& e : Entries)
    if (e.compare(0, key.size() + 1, key + "=") == 0) {
      e = line;
      return;
    }
  Entries.push_back(line);
}

std::vector<std::string> TAboutComponents::Names() const {
  std::vector<std::string> names;
  for (const auto& e : Entries)
    names.push_back(e.substr(0, e.find('=')));
  return names;
}

std::string TAboutComponents::Description(const std::string& name) const {
  for (const auto& e : Entries)
    if (e.compare(0, name.size() + 1, name + "=") == 0) return e.substr(name.size() + 1);
  return {};
}

TAboutComponents& AboutComponents() {
  static TAboutComponents components;
  return components;
}
