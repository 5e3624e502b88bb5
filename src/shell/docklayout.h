#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/settingsvalues.h"

// Where a dockable control (tool bar or panel) was at shut-down, one section
// per control ("EditToolBar", "MsgsPanel", ...).
struct TDockLayout {
  bool Docked = true;
  int DockHost = 1; // 1-based site in the control's list of sites; 0 while floating
  int Height = 150, Width = 150;
  int Top = 200, Left = 200;
  bool Visible = true;
  std::optional<int> Orientation; // written only when docked in a panel

  // Reads the section; false when it does not exist (the caller applies its
  // own default placement). Dock Host is clamped to 1..siteCount.
  bool Load(const TSettingsStore& store, const std::string& section, int siteCount);
  void Save(TSettingsStore& store, const std::string& section) const;
};

// A dock site ("Left", "Right", "Bottom") in section "Dock Sites": its size and
// its docking-layout stream kept as hex text.
struct TDockSiteLayout {
  static constexpr const char* Section = "Dock Sites";
  int Width = 200, Height = 200;
  std::optional<std::vector<std::uint8_t>> Data; // none when missing or undecodable

  void Load(const TSettingsStore& store, const std::string& site);
  void Save(TSettingsStore& store, const std::string& site) const;
};

// The main window's rectangle, value "HexWindow" of the base key: Left, Top,
// Right, Bottom as little-endian 32-bit integers.
struct TWindowRect {
  static constexpr const char* Name = "HexWindow";
  int Left = 0, Top = 0, Right = 0, Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  static std::optional<TWindowRect> Load(const TSettingsStore& store);
  void Save(TSettingsStore& store) const;
};
