#include "devices/devicepage.h"

#include <algorithm>
#include <cctype>

#include "devices/devbase.h"
#include "devices/devlist.h"

std::string TDevicePage::LastSelectedID = "gdevall";

namespace {
std::string Lower(const std::string& s) {
  std::string r = s;
  for (auto& c : r)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}
} // namespace

void TDeviceBox::AddSorted(const std::string& text, TDevice* device) {
  const std::string key = Lower(text);
  // After every sorted item whose text is not greater, so equal texts keep
  // the order they were added in; pinned items are skipped over.
  auto pos = Items.begin();
  for (auto it = Items.begin(); it != Items.end(); ++it)
    if (it->Pinned || Lower(it->Text) <= key)
      pos = it + 1;
    else
      break;
  Items.insert(pos, TItem{text, device, false});
}

void TDeviceBox::Insert(int index, const std::string& text, TDevice* device) {
  index = std::clamp(index, 0, Count());
  Items.insert(Items.begin() + index, TItem{text, device, true});
  if (ItemIndex >= index) ++ItemIndex;
}

int TDeviceBox::IndexOf(const std::string& text) const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Text == text) return static_cast<int>(i);
  return -1;
}

int TDeviceBox::IndexOfDevice(const TDevice* device) const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Device == device) return static_cast<int>(i);
  return -1;
}

TDevice* TDeviceBox::Selected() const {
  if (ItemIndex < 0 || ItemIndex >= Count()) return nullptr;
  return Items[static_cast<std::size_t>(ItemIndex)].Device;
}

std::vector<std::string> TDeviceBox::Texts() const {
  std::vector<std::string> r;
  for (const auto& i : Items)
    r.push_back(i.Text);
  return r;
}

TDevicePage::~TDevicePage() {
  DeviceList().DetachPage(this);
  Device = nullptr;
}

void TDevicePage::SetDeviceInfo(const std::string& text, const std::string& hint) {
  DeviceInfoText = text;
  DeviceInfoHint = hint;
}

void TDevicePage::FillDeviceList(const TE2Opr& options) {
  DeviceSelectBox.Clear();
  for (TDevice* d : DeviceList().ListByOptions(options))
    DeviceSelectBox.AddSorted(d->Name, d);
  DeviceSelectBoxChange();
}

void TDevicePage::FillDeviceListByGroup(const TDevGroup& groups) {
  DeviceSelectBox.Clear();
  for (TDevice* d : DeviceList().ListByGroup(groups))
    DeviceSelectBox.AddSorted(d->Name, d);
  DeviceSelectBoxChange();
}

bool TDevicePage::SelectDeviceByName(const std::string& id) {
  TDevice* d = DeviceList().FindByID(id);
  if (!d) return false;
  DeviceSelectBox.ItemIndex = DeviceSelectBox.IndexOf(d->Name);
  DeviceSelectBoxChange();
  return true;
}

bool TDevicePage::SelectDevice(TDevice* device) {
  int i = DeviceSelectBox.IndexOfDevice(device);
  if (i < 0) return false;
  DeviceSelectBox.ItemIndex = i;
  DeviceSelectBoxChange();
  return true;
}

void TDevicePage::DeviceSelectBoxChange() {
  TDevice* d = DeviceSelectBox.Selected();
  if (d) AttachDevice(d);
}

void TDevicePage::AttachDevice(TDevice* device) {
  if (!device) return;
  if (Device) Device->ExitModule(this);
  Device = device;
  device->SetModule(this);
  // The back entry attaches another entry itself; that one is now the device.
  if (Device != device) return;
  device->EnterModule(this);
  LastSelectedID = device->ID;
}

void TDevicePage::NewPageSelection() {
  FillDeviceList(TE2Opr{oDeviceGroup});
  TDevice* d = DeviceList().FindByID(LastSelectedID);
  if (!d) return;
  if (!(d->e2Opr == TE2Opr{oDeviceGroup})) FillDeviceListByGroup(d->DevFilter);
  DeviceList().InsertIntoBox(&DeviceSelectBox, 0, "exit");
  SelectDeviceByName(d->ID);
}

void TDevicePage::ClickGroupListItem(int index) {
  if (OnGroupListClick) OnGroupListClick(index);
}

void TDevicePage::SetActivationHandler(const void* owner, std::function<void()> handler) {
  ActivationHandlers[owner] = std::move(handler);
}

void TDevicePage::Activate() {
  for (auto& [owner, handler] : ActivationHandlers)
    if (handler) handler();
  if (Device) Device->EnterModule(this);
}
