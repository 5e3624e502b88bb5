#pragma once

#include "devices/devbase.h"

// The "..." entry: goes back from a group's devices to the list of groups.
class TDevExit : public TDevice {
public:
  using TDevice::TDevice;
  void SetModule(TDevicePage* page) override;
};
