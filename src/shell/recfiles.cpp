#include "shell/recfiles.h"

#include <algorithm>

void TRecentFiles::Add(const std::string& path) {
  Paths.erase(std::remove(Paths.begin(), Paths.end(), path), Paths.end());
  Paths.insert(Paths.begin(), path);
  if (Paths.size() > MaxCount) Paths.resize(MaxCount);
  Added = true;
  if (OnChange) OnChange();
}

void TRecentFiles::Load(const TSettingsStore& store, const std::string& section) {
  // "File0" is the newest; add from the highest index back so it ends on top.
  std::vector<std::pair<long, std::string>> found;
  for (const auto& name : store.ValueNames(section)) {
    if (name.size() < 5 || name.size() > 9 || name.compare(0, 4, "File") != 0 ||
        name.find_first_not_of("0123456789", 4) != std::string::npos)
      continue;
    auto text = store.ReadString(section, name);
    if (text && !text->empty()) found.emplace_back(std::stol(name.substr(4)), *text);
  }
  std::sort(found.begin(), found.end());
  for (auto it = found.rbegin(); it != found.rend(); ++it)
    Add(it->second);
}

void TRecentFiles::Save(TSettingsStore& store, const std::string& section) const {
  store.EraseSection(section);
  for (std::size_t i = 0; i < Paths.size(); ++i)
    store.WriteString(section, "File" + std::to_string(i), Paths[i]);
}

std::vector<std::string> TRecentFiles::MenuCaptions() const {
  if (!Added) return {"&Empty"};
  return Paths;
}

void TRecentFiles::Click(std::size_t index) const {
  if (index < Paths.size() && OnClick) OnClick(Paths[index]);
}
