#pragma once

#include <string>
#include <vector>

// The About box's component list: one "name=description" line per component;
// subsystems add theirs when they start.
class TAboutComponents {
public:
  // A second entry with the same name replaces the first.
  void Add(const std::string& name, const std::string& description);
  std::vector<std::string> Names() const;
  std::string Description(const std::string& name) const;
  const std::vector<std::string>& Lines() const { return Entries; }

private:
  std::vector<std::string> Entries;
};

TAboutComponents& AboutComponents();
