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
  // A page that has moved on to another device leaves this one alone.
  page->SetActivationHandler(this, [this, page] {
    if (page->Device == this) StorePage(page);
  });
  StorePage(page);
  if (OnSelectDevice) OnSelectDevice(this, MemoryFrame, ConnectionFrame);
  page->BringToFront("memory");
  page->BringToFront("connection");
}

void TCustomDev::DetachPage(const TDevicePage* page) {
  if (page && HepPage == page) {
    MemoryFrame = nullptr;
    ConnectionFrame = nullptr;
  }
  TDevice::DetachPage(page);
}
