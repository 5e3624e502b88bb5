#include "devices/devgroup.h"

#include "devices/devicepage.h"
#include "devices/devlist.h"

namespace devgroup {

void TDevGroup::SetModule(TDevicePage* page) {
  TDevice::SetModule(page);
  if (!page) return;
  GroupFrame = page->GroupFrame();
  // The click belongs to the page whose list it is, whichever page took this
  // entry last (every new page starts on the same group).
  page->OnGroupListClick = [this, page](int index) { DeviceListClick(page, index); };
  page->GroupList.Clear();
  for (TDevice* d : DeviceList().ListByGroup(GroupFilter))
    page->GroupList.AddSorted(d->Name, d);
  page->BringToFront("group");
}

void TDevGroup::DetachPage(const TDevicePage* page) {
  if (page && HepPage == page) GroupFrame = nullptr;
  TDevice::DetachPage(page);
}

void TDevGroup::DeviceListClick(TDevicePage* page, int index) {
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
