#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devices/devbase.h"
#include "devices/devinfo.h"

class TDeviceBox;
class TDevicePage;

using TDeviceFactory = std::function<std::unique_ptr<TDevice>(const TDevInfo& info)>;

// The registry of device entries: owns them, in the order they were added;
// every search takes the first match, comparing strings exactly.
class TDeviceList {
public:
  // Knows the registry's own classes ("gdev", "cdev", "exit"); the families
  // register theirs with RegisterClass.
  TDeviceList();
  ~TDeviceList();
  TDeviceList(const TDeviceList&) = delete;
  TDeviceList& operator=(const TDeviceList&) = delete;

  void RegisterClass(const std::string& code, TDeviceFactory factory);
  bool KnowsClass(const std::string& code) const;

  int AddDevInfo(const TDevInfo& info);
  bool FindByID(const std::string& id, TDevice*& device) const;
  TDevice* FindByID(const std::string& id) const;
  int IndexOfName(const std::string& name) const;
  bool GetNameByID(const std::string& id, std::string& name) const;
  bool InsertIntoBox(TDeviceBox* box, int index, const std::string& id) const;
  int UpdateDevInfo(const TDevInfo& info);
  bool HideDeviceOrGroup(const std::string& name);
  bool ShowDeviceOrGroup(const std::string& name);
  std::uint8_t NextGroupBit();
  std::int32_t NextSerial();

  int Count() const { return static_cast<int>(Items.size()); }
  TDevice* operator[](int index) const { return Items[static_cast<std::size_t>(index)].get(); }

  // Visible entries whose e2Opr holds every option of the set, sorted as the
  // device box sorts them (by Name, ignoring case).
  std::vector<TDevice*> ListByOptions(const TE2Opr& options) const;
  // Visible entries whose DevFilter holds every group of the set, sorted.
  std::vector<TDevice*> ListByGroup(const TDevGroup& groups) const;

  void DetachPage(const TDevicePage* page);

private:
  void SetHidden(TDevice& entry, bool hide);
  std::vector<std::pair<std::string, TDeviceFactory>> Classes;
  std::vector<std::unique_ptr<TDevice>> Items;
  std::int32_t Serial = 1000;
  std::uint8_t GroupBit = 255;
};

// The one registry of the program; an empty one until the program sets its own.
TDeviceList& DeviceList();
void SetDeviceList(TDeviceList* list);
