#include "devices/devlist.h"

#include <algorithm>
#include <cctype>

#include "devices/customdev.h"
#include "devices/devexit.h"
#include "devices/devgroup.h"
#include "devices/devicepage.h"

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

void SortByName(std::vector<TDevice*>& list) {
  std::stable_sort(list.begin(), list.end(), [](const TDevice* a, const TDevice* b) {
    return LessIgnoringCase(a->Name, b->Name);
  });
}

template <class T> TDeviceFactory FactoryOf() {
  return [](const TDevInfo& info) { return std::make_unique<T>(info); };
}

TDeviceList EmptyList;
TDeviceList* Current = nullptr;

} // namespace

TDeviceList::TDeviceList() {
  RegisterClass("gdev", FactoryOf<devgroup::TDevGroup>());
  RegisterClass("cdev", FactoryOf<TCustomDev>());
  RegisterClass("exit", FactoryOf<TDevExit>());
}

TDeviceList::~TDeviceList() = default;

void TDeviceList::RegisterClass(const std::string& code, TDeviceFactory factory) {
  for (auto& c : Classes)
    if (c.first == code) {
      c.second = std::move(factory);
      return;
    }
  Classes.emplace_back(code, std::move(factory));
}

bool TDeviceList::KnowsClass(const std::string& code) const {
  for (const auto& c : Classes)
    if (c.first == code) return true;
  return false;
}

int TDeviceList::AddDevInfo(const TDevInfo& info) {
  const std::string code = ClassCode(info);
  for (const auto& c : Classes)
    if (c.first == code && c.second) {
      auto device = c.second(info);
      if (!device) return -1;
      Items.push_back(std::move(device));
      return Count() - 1;
    }
  return -1;
}

bool TDeviceList::FindByID(const std::string& id, TDevice*& device) const {
  device = FindByID(id);
  return device != nullptr;
}

TDevice* TDeviceList::FindByID(const std::string& id) const {
  for (const auto& d : Items)
    if (d->ID == id) return d.get();
  return nullptr;
}

int TDeviceList::IndexOfName(const std::string& name) const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i]->Name == name) return static_cast<int>(i);
  return -1;
}

bool TDeviceList::GetNameByID(const std::string& id, std::string& name) const {
  TDevice* d = FindByID(id);
  if (!d) return false;
  name = d->Name;
  return true;
}

bool TDeviceList::InsertIntoBox(TDeviceBox* box, int index, const std::string& id) const {
  TDevice* d = FindByID(id);
  if (!box || !d) return false;
  box->Insert(index, d->Name, d);
  return true;
}

int TDeviceList::UpdateDevInfo(const TDevInfo& info) {
  int i = IndexOfName(info.Name);
  if (i >= 0) Items[static_cast<std::size_t>(i)]->SetDevInfo(info);
  return i;
}

void TDeviceList::SetHidden(TDevice& entry, bool hide) {
  auto apply = [hide](TDevice& d) {
    if (hide)
      d.DevFilter.Include(oHide);
    else
      d.DevFilter.Exclude(oHide);
  };
  if (entry.e2Opr.Contains(oDeviceGroup)) {
    const TDevGroup filter = entry.GroupFilter;
    for (auto& d : Items)
      if (d->DevFilter.ContainsAll(filter)) apply(*d);
  }
  apply(entry);
}

bool TDeviceList::HideDeviceOrGroup(const std::string& name) {
  int i = IndexOfName(name);
  if (i < 0) return false;
  SetHidden(*Items[static_cast<std::size_t>(i)], true);
  return true;
}

bool TDeviceList::ShowDeviceOrGroup(const std::string& name) {
  int i = IndexOfName(name);
  if (i < 0) return false;
  SetHidden(*Items[static_cast<std::size_t>(i)], false);
  return true;
}

std::uint8_t TDeviceList::NextGroupBit() {
  if (GroupBit < FirstCustomGroupBit) return 0;
  return GroupBit--;
}

std::int32_t TDeviceList::NextSerial() {
  return ++Serial;
}

std::vector<TDevice*> TDeviceList::ListByOptions(const TE2Opr& options) const {
  std::vector<TDevice*> r;
  for (const auto& d : Items)
    if (d->e2Opr.ContainsAll(options) && !d->DevFilter.Contains(oHide)) r.push_back(d.get());
  SortByName(r);
  return r;
}

std::vector<TDevice*> TDeviceList::ListByGroup(const TDevGroup& groups) const {
  std::vector<TDevice*> r;
  for (const auto& d : Items)
    if (d->DevFilter.ContainsAll(groups) && !d->DevFilter.Contains(oHide)) r.push_back(d.get());
  SortByName(r);
  return r;
}

void TDeviceList::DetachPage(const TDevicePage* page) {
  for (auto& d : Items)
    d->DetachPage(page);
}

TDeviceList& DeviceList() {
  return Current ? *Current : EmptyList;
}
void SetDeviceList(TDeviceList* list) {
  Current = list;
}
