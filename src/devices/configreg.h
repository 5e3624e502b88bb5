#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One named field of a configuration, lock-bit or fuse-bit register.
struct TConfigItems {
  std::string Name;
  std::string Choices; // comma text; empty means "False", "True"
  std::int32_t Address = 0;
  std::uint8_t Bit = 0;
  std::uint8_t ByteIndex = 0;
  std::uint8_t Mask = 0; // 0 means 1
  std::uint16_t Kind = 0;
};

// One register layout: the dialog's caption and its fields.
struct TConfig {
  std::string Title;
  std::vector<TConfigItems> Items;
  int Count = 0;
};

// A row of the register dialog: the field's name, its choices and the one chosen.
struct TConfigRow {
  std::string Key;
  std::vector<std::string> Choices;
  int Index = -1; // -1: no choice (the field is then left as it is)
  std::string Value() const;
};

using TConfigImage = std::array<std::uint8_t, 16>;

// Splits comma text: items separated by commas or blanks, double quotes group one.
std::vector<std::string> SplitCommaText(const std::string& text);

// The register layouts, the 16-byte image (one 128-bit little-endian number)
// and the rows the dialog shows. One instance serves the program.
class TConfigReg {
public:
  static constexpr int LayoutCount = 47;
  static constexpr int mrCancel = 0;
  static constexpr int mrOk = 1;

  TConfigReg();

  // Layout 1..LayoutCount, or nullptr.
  const TConfig* Layout(int number) const;
  // Makes a layout current and builds its rows; false (nothing changes) when
  // the number is outside the table.
  bool SelectLayout(int number);
  int CurrentLayout() const { return Selected; }
  const TConfig* Current() const { return Layout(Selected); }

  std::vector<TConfigRow>& Rows() { return RowList; }
  const std::vector<TConfigRow>& Rows() const { return RowList; }
  // Chooses by text; a text that is not a choice changes nothing (false).
  bool SetChoice(int row, const std::string& text);

  // Rows := the image's values (a value outside a field's choices leaves its row).
  void ShowImage();
  // Image := the rows' choices, in item order (rows without a choice are skipped).
  void ApplyChoices();
  bool UsesByte(int byteIndex) const;

  void SetImage(const TConfigImage& bytes);
  TConfigImage GetImage() const { return Image; }

  // The code an item holds in an image, and the image with a choice written.
  static int ReadItem(const TConfigItems& item, const TConfigImage& image);
  static void WriteItem(const TConfigItems& item, int choice, TConfigImage& image);

  // The PIC family edits the word in its buffer: Program shows "OK" and closes
  // the dialog, Read is hidden and the close button reads "Cancel".
  bool ProgramAsOk = false;
  // Fired when the rows changed from the image (a read task calls ShowImage).
  std::function<void()> OnRowsChanged;

private:
  std::vector<TConfig> Layouts;
  int Selected = 0;
  std::vector<TConfigRow> RowList;
  TConfigImage Image{};
};

// The one register model whose image the families fill (the dialog's hook
// sits beside the settings dialog's in devbase.h).
TConfigReg& ConfigReg();

// Program-as-OK mode for the time of one showing.
class TConfigRegOkMode {
public:
  TConfigRegOkMode() { ConfigReg().ProgramAsOk = true; }
  ~TConfigRegOkMode() { ConfigReg().ProgramAsOk = false; }
  TConfigRegOkMode(const TConfigRegOkMode&) = delete;
  TConfigRegOkMode& operator=(const TConfigRegOkMode&) = delete;
};
