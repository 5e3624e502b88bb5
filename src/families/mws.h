#pragma once

#include "families/mw.h"

// The 93Sxx Microwire parts with a protect register: a second connect frame
// (0x8005) checks PE and PRE; the status-register slots read (0x8009), write
// (0x8008) and clear (0x8007) the protect register.
class TMWS : public TMW {
public:
  explicit TMWS(const TDevInfo& info) : TMW(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;
  TTaskResult ReadStatusRegister() override;
  TTaskResult WriteStatusRegister() override;
  TTaskResult ClearProtectRegister() override;
};
