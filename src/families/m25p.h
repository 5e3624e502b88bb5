#pragma once

#include "families/spi.h"

// M25Pxx SPI flash: page writes (0x600B, 0x6003 for a lone byte) over the
// whole range in blocks of 32, bulk erase (0x600A) followed by a wait of
// e2Tera ms that the user can break.
class TM25P : public TSPI {
public:
  explicit TM25P(const TDevInfo& info) : TSPI(info) {}

  static constexpr std::uint8_t PageChunk = 32;

  void SetModule(TDevicePage* page) override;
  TTaskResult DeviceProgram() override;
  std::uint16_t BlockWriteCommand(int count) const override { return count == 1 ? 0x6003 : 0x600B; }
  TTaskResult EraseAll() override;
};
