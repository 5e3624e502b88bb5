#include "devices/devexit.h"

#include "devices/devicepage.h"

void TDevExit::SetModule(TDevicePage* page) {
  TDevice::SetModule(page);
  if (!page) return;
  page->FillDeviceList(TE2Opr{oDeviceGroup});
  page->DeviceSelectBox.ItemIndex = page->DeviceSelectBox.IndexOf("All Devices");
  page->DeviceSelectBoxChange();
}
