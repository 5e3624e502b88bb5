#pragma once

#include "devices/devbase.h"

// A device made by a script that names no ancestor; what its buttons do is
// decided by that script.
class TCustomDev : public TDevice {
public:
  using TDevice::TDevice;

  void* MemoryFrame = nullptr;     // the page's serial-memory frame, not owned
  void* ConnectionFrame = nullptr; // the page's connection frame, not owned

  void SetModule(TDevicePage* page) override;
  // Also forgets that page's frames: they go away with it.
  void DetachPage(const TDevicePage* page) override;

private:
  void StorePage(TDevicePage* page);
};
