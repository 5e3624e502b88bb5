#pragma once

#include "devices/devbase.h"

// The group entry class shares its name with the group-bit set type of the
// description record, so it lives in the namespace of its unit.
namespace devgroup {

// A group entry: lists the visible entries of its GroupFilter in the page's
// group frame.
class TDevGroup : public TDevice {
public:
  using TDevice::TDevice;

  void* GroupFrame = nullptr; // the page's group frame, not owned

  void SetModule(TDevicePage* page) override;
  // Also forgets that page's group frame: it goes away with it.
  void DetachPage(const TDevicePage* page) override;
  // A click on an item of that page's group frame list.
  void DeviceListClick(TDevicePage* page, int index);
};

} // namespace devgroup
