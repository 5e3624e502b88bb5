#include "devices/customdev.h"

#include "devices/devicepage.h"

void TCustomDev::StorePage(TDevicePage* page) {
  HepPage = page;
  XHexEdit = page->XHexEdit1;
  MemoryFrame = page->MemoryFrame();
  ConnectionFrame = page->ConnectionFrame();
}

void TCustomDev::SetModule(TDevicePage* page) {
  TDevice::SetModule(page);
  if (!page) return;
  page->SetActivationHandler(this, [this, page] { StorePage(page); });
  StorePage(page);
  if (OnSelectDevice) OnSelectDevice(this, MemoryFrame, ConnectionFrame);
  page->BringToFront("memory");
  page->BringToFront("connection");
}
