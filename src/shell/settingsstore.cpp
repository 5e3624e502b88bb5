#include "shell/settingsstore.h"

std::optional<std::string> TMemorySettings::ReadString(const std::string& section,
                                                       const std::string& name) const {
  auto s = Sections.find(section);
  if (s == Sections.end()) return std::nullopt;
  auto v = s->second.find(name);
  if (v == s->second.end() || v->second.Binary) return std::nullopt;
  return v->second.Text;
}

void TMemorySettings::WriteString(const std::string& section, const std::string& name,
                                  const std::string& value) {
  Sections[section][name] = TValue{value, {}, false};
}

std::optional<std::vector<std::uint8_t>>
TMemorySettings::ReadBinary(const std::string& section, const std::string& name) const {
  auto s = Sections.find(section);
  if (s == Sections.end()) return std::nullopt;
  auto v = s->second.find(name);
  if (v == s->second.end() || !v->second.Binary) return std::nullopt;
  return v->second.Bytes;
}

void TMemorySettings::WriteBinary(const std::string& section, const std::string& name,
                                  const std::vector<std::uint8_t>& value) {
  Sections[section][name] = TValue{{}, value, true};
}

bool TMemorySettings::SectionExists(const std::string& section) const {
  return Sections.count(section) != 0;
}

std::vector<std::string> TMemorySettings::ValueNames(const std::string& section) const {
  std::vector<std::string> names;
  auto s = Sections.find(section);
  if (s != Sections.end())
    for (const auto& [name, value] : s->second)
      names.push_back(name);
  return names;
}

void TMemorySettings::EraseSection(const std::string& section) {
  Sections.erase(section);
}
