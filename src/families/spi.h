#pragma once

#include "families/e2mem.h"

// SPI EEPROMs (25xx, ST95xxx): connect 0x6001, the base block commands
// 0x6002/0x6003 with buffer offsets, the status register 0x6004/0x6005.
class TSPI : public TE2MEM {
public:
  explicit TSPI(const TDevInfo& info) : TE2MEM(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;

protected:
  // The pins and register controls every SPI panel shows.
  void ShowSpiPanel();
};
