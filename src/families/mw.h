#pragma once

#include "families/e2mem.h"

// Microwire EEPROMs (93Cxx and kin): connect 0x8001, blocks 0x8002/0x8003,
// erase all 0x8004; a 16-bit organised part takes word addresses.
class TMW : public TE2MEM {
public:
  explicit TMW(const TDevInfo& info) : TE2MEM(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;
  // A 16-bit part is addressed by words: a block starting at an odd offset
  // takes the word below it, so no byte lands in the wrong half.
  TTaskResult ReadBlock(int& address, std::uint8_t* buffer) override;
  TTaskResult WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) override;

protected:
  std::uint16_t ReadCommand() const override { return 0x8002; }
  std::uint16_t WriteCommand() const override { return 0x8003; }
  std::uint32_t BlockAddress(int offset) const override;
};
