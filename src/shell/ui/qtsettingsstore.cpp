#include "shell/ui/qtsettingsstore.h"

TQtSettingsStore::TQtSettingsStore()
    : Store(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Morlisk",
                                        "Korvane Suite/Device Programmer")) {}

TQtSettingsStore::TQtSettingsStore(const QString& iniFile)
    : Store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QString TQtSettingsStore::Key(const std::string& section, const std::string& name) const {
  // QSettings keeps base-key values in its "General" group; '/' separates groups.
  QString value = QString::fromStdString(name);
  return section.empty() ? value : QString::fromStdString(section) + "/" + value;
}

std::optional<std::string> TQtSettingsStore::ReadString(const std::string& section,
                                                        const std::string& name) const {
  QVariant v = Store->value(Key(section, name));
  if (!v.isValid() || v.typeId() == QMetaType::QByteArray) return std::nullopt;
  // A hand-edited INI value with an unquoted comma reads as a list.
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(", ").toStdString();
  return v.toString().toStdString();
}

void TQtSettingsStore::WriteString(const std::string& section, const std::string& name,
                                   const std::string& value) {
  Store->setValue(Key(section, name), QString::fromStdString(value));
}

std::optional<std::vector<std::uint8_t>>
TQtSettingsStore::ReadBinary(const std::string& section, const std::string& name) const {
  QVariant v = Store->value(Key(section, name));
  if (!v.isValid() || v.typeId() != QMetaType::QByteArray) return std::nullopt;
  QByteArray bytes = v.toByteArray();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void TQtSettingsStore::WriteBinary(const std::string& section, const std::string& name,
                                   const std::vector<std::uint8_t>& value) {
  Store->setValue(Key(section, name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                                 static_cast<qsizetype>(value.size())));
}

bool TQtSettingsStore::SectionExists(const std::string& section) const {
  return Store->childGroups().contains(QString::fromStdString(section));
}

std::vector<std::string> TQtSettingsStore::ValueNames(const std::string& section) const {
  Store->beginGroup(QString::fromStdString(section));
  QStringList keys = Store->childKeys();
  Store->endGroup();
  std::vector<std::string> names;
  for (const auto& k : keys)
    names.push_back(k.toStdString());
  return names;
}

void TQtSettingsStore::EraseSection(const std::string& section) {
  Store->remove(QString::fromStdString(section));
}
