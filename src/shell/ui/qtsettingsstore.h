#pragma once

#include <QSettings>
#include <memory>

#include "shell/settingsstore.h"

// The option objects' store over QSettings: a section is a group below the
// base key, strings stay strings and binary values are byte arrays.
class TQtSettingsStore : public TSettingsStore {
public:
  // The user's store: organisation "Morlisk", application
  // "Korvane Suite/Device Programmer" (the registry key on Windows).
  TQtSettingsStore();
  // A given file in INI format (tests, portable installs).
  explicit TQtSettingsStore(const QString& iniFile);

  std::optional<std::string> ReadString(const std::string& section,
                                        const std::string& name) const override;
  void WriteString(const std::string& section, const std::string& name,
                   const std::string& value) override;
  std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& section,
                                                      const std::string& name) const override;
  void WriteBinary(const std::string& section, const std::string& name,
                   const std::vector<std::uint8_t>& value) override;
  bool SectionExists(const std::string& section) const override;
  std::vector<std::string> ValueNames(const std::string& section) const override;
  void EraseSection(const std::string& section) override;

  QSettings& Settings() { return *Store; }
  void Sync() { Store->sync(); }

private:
  QString Key(const std::string& section, const std::string& name) const;
  std::unique_ptr<QSettings> Store;
};
