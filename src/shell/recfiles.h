#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/settingsstore.h"

// The recent-files list behind the "&Recent Files" submenu: newest first, at
// most MaxCount entries, compared case-sensitively.
class TRecentFiles {
public:
  static constexpr const char* Section = "Recent File List";

  explicit TRecentFiles(std::size_t maxCount = 6) : MaxCount(maxCount) {}

  void Add(const std::string& path);
  void Load(const TSettingsStore& store, const std::string& section = Section);
  // Rewrites the section so that entries dropped since start do not come back.
  void Save(TSettingsStore& store, const std::string& section = Section) const;

  const std::vector<std::string>& Items() const { return Paths; }
  // The submenu's captions: "&Empty" until the first Add.
  std::vector<std::string> MenuCaptions() const;

  std::function<void()> OnChange;                       // rebuild the submenu
  std::function<void(const std::string& path)> OnClick; // the main window opens it
  void Click(std::size_t index) const;

private:
  std::size_t MaxCount;
  std::vector<std::string> Paths;
  bool Added = false;
};
