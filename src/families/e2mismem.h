#pragma once

#include <array>
#include <string>

#include "families/e2mem.h"

// The older two- and three-wire memories that need the tmEEPROM_MIS protocol
// module. Their operations run with that module; the status-register buttons
// (hidden for all of them) keep tmEEPROM. With 16-bit organisation blocks
// carry word addresses.
class TE2MisMem : public TE2MEM {
public:
  explicit TE2MisMem(const TDevInfo& info);

  TTaskResult ReadBlock(int& address, std::uint8_t* buffer) override;
  TTaskResult WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) override;

  TTaskResult ReadStatusRegisterBtnClick() override;
  TTaskResult WriteStatusRegisterBtnClick() override;
  TTaskResult ClearProtectionRegisterBtnClick() override;

protected:
  std::uint32_t BlockAddress(int offset) const override;
  // The panel of these parts: pin names, "Erase All" when the entry allows
  // it, no status-register controls.
  void ShowPanel(const std::array<std::string, 9>& pinNames);
  // The connect frame of these parts carries no slave byte and no pin-7 mode.
  TTaskResult Connect(std::uint16_t command) { return SendConnectFrame(command, 0, 0); }

private:
  bool OddWord(int address) const { return e2org == 16 && (address & 1) != 0; }
  TTaskResult RunWithEEPROMModule(TE2Operation operation, std::function<TTaskResult()> task,
                                  bool withRange);
};
