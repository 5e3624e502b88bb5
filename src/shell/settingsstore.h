#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The per-user settings store as the option objects see it: sections holding
// named string and binary values. The GUI maps it onto QSettings; tests and
// the command line use the in-memory store below.
class TSettingsStore {
public:
  virtual ~TSettingsStore() = default;

  virtual std::optional<std::string> ReadString(const std::string& section,
                                                const std::string& name) const = 0;
  virtual void WriteString(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
  virtual std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& section,
                                                              const std::string& name) const = 0;
  virtual void WriteBinary(const std::string& section, const std::string& name,
                           const std::vector<std::uint8_t>& value) = 0;
  virtual bool SectionExists(const std::string& section) const = 0;
  // Value names of a section in the store's order.
  virtual std::vector<std::string> ValueNames(const std::string& section) const = 0;
  virtual void EraseSection(const std::string& section) = 0;
};

// Settings kept in memory; an empty section name is the base key.
class TMemorySettings : public TSettingsStore {
public:
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

private:
  struct TValue {
    std::string Text;
    std::vector<std::uint8_t> Bytes;
    bool Binary = false;
  };
  std::map<std::string, std::map<std::string, TValue>> Sections;
};
