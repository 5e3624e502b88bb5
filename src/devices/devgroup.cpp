#include "devices/devgroup.h"

#include "devices/devicepage.h"
#include "devices/devlist.h"

namespace devgroup {

void TDevGroup::SetModule(TDevicePage* page) {
  TDevice::SetModule(page);
  if (!page) return;
  GroupFrame = page->GroupFrame();
  page->OnGroupListClick = [this](int index) { DeviceListClick(index); };
  page->GroupList.Clear();
  for (TDevice* d : DeviceList().ListByGroup(GroupFilter))
    page->GroupList.AddSorted(d->Name, d);
  page->BringToFront("group");
}

void TDevGroup::DeviceListClick(int index) {
  TDevicePage* page = HepPage;
  if (!page || index < 0 || index >= page->GroupList.Count()) return;
  TDevice* entry = page->GroupList.Items[static_cast<std::size_t>(index)].Device;
  SetModule(page);
  if (!entry) return;
  page->FillDeviceListByGroup(entry->DevFilter);
  DeviceList().InsertIntoBox(&page->DeviceSelectBox, 0, "exit");
  // The clicked object itself: two entries may share an ID.
  page->SelectDevice(entry);
}

} // namespace devgroup
