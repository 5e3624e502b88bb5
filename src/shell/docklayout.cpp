#include "shell/docklayout.h"

#include <algorithm>

bool TDockLayout::Load(const TSettingsStore& store, const std::string& section, int siteCount) {
  *this = TDockLayout();
  Top = ReadInt(store, section, "Top", Top);
  Left = ReadInt(store, section, "Left", Left);
  Height = ReadInt(store, section, "Height", Height);
  Width = ReadInt(store, section, "Width", Width);
  DockHost = std::clamp(ReadInt(store, section, "Dock Host", DockHost), 1, std::max(1, siteCount));
  Visible = ReadBool(store, section, "Visible", Visible);
  Docked = ReadBool(store, section, "Docked", Docked);
  if (auto o = store.ReadString(section, "Orientation"))
    if (auto v = ParseDecimal(*o)) Orientation = static_cast<int>(*v);
  return store.SectionExists(section);
}

void TDockLayout::Save(TSettingsStore& store, const std::string& section) const {
  WriteBool(store, section, "Docked", Docked);
  WriteInt(store, section, "Dock Host", Docked ? DockHost : 0);
  WriteInt(store, section, "Height", Height);
  WriteInt(store, section, "Width", Width);
  WriteInt(store, section, "Top", Top);
  WriteInt(store, section, "Left", Left);
  WriteBool(store, section, "Visible", Visible);
  if (Orientation) WriteInt(store, section, "Orientation", *Orientation);
}

void TDockSiteLayout::Load(const TSettingsStore& store, const std::string& site) {
  Width = ReadInt(store, Section, site + " Width", 200);
  Height = ReadInt(store, Section, site + " Height", 200);
  Data.reset();
  if (auto text = store.ReadString(Section, site + " Data")) Data = HexToBytes(*text);
}

void TDockSiteLayout::Save(TSettingsStore& store, const std::string& site) const {
  WriteInt(store, Section, site + " Width", Width);
  WriteInt(store, Section, site + " Height", Height);
  store.WriteString(Section, site + " Data", Data ? BytesToHex(*Data) : std::string());
}

std::optional<TWindowRect> TWindowRect::Load(const TSettingsStore& store) {
  auto bytes = store.ReadBinary("", Name);
  if (!bytes || bytes->size() != 16) return std::nullopt;
  auto at = [&](int i) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b)
      v = v << 8 | (*bytes)[i * 4 + b];
    return static_cast<int>(static_cast<std::int32_t>(v));
  };
  return TWindowRect{at(0), at(1), at(2), at(3)};
}

void TWindowRect::Save(TSettingsStore& store) const {
  std::vector<std::uint8_t> bytes;
  for (int v : {Left, Top, Right, Bottom})
    for (int b = 0; b < 4; ++b)
      bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * b)));
  store.WriteBinary("", Name, bytes);
}
