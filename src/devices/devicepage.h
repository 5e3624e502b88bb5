#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "devices/devinfo.h"

class TDevice;
class TXHexEdit;

// A combo or list box of registry entries: item text is the entry's Name, the
// item object the entry. Added items take their place in alphabetical order
// ignoring case; an item inserted at a position stays there.
class TDeviceBox {
public:
  struct TItem {
    std::string Text;
    TDevice* Device = nullptr;
    bool Pinned = false; // inserted at a position, not sorted
  };

  void Clear() {
    Items.clear();
    ItemIndex = -1;
  }
  void AddSorted(const std::string& text, TDevice* device);
  void Insert(int index, const std::string& text, TDevice* device);
  int IndexOf(const std::string& text) const;
  int IndexOfDevice(const TDevice* device) const;
  int Count() const { return static_cast<int>(Items.size()); }
  TDevice* Selected() const;
  std::vector<std::string> Texts() const;

  std::vector<TItem> Items;
  int ItemIndex = -1;
};

// The device side of a programmer page: the device box, the group frame's
// list, the attached device and the page's buffer. The GUI page derives from
// it and shows these models; tests and the command line use it as is.
class TDevicePage {
public:
  TDevicePage() = default;
  virtual ~TDevicePage(); // detaches every device still pointing here
  TDevicePage(const TDevicePage&) = delete;
  TDevicePage& operator=(const TDevicePage&) = delete;

  TXHexEdit* XHexEdit1 = nullptr; // the page's buffer, owned by the page's view
  TDevice* Device = nullptr;      // the attached entry
  TDeviceBox DeviceSelectBox;
  TDeviceBox GroupList; // the group frame's sorted device list
  std::function<void(int index)> OnGroupListClick;
  std::string DeviceInfoText, DeviceInfoHint;
  std::string FrontFrame; // the frame last brought to the front

  // The ID of the last chosen entry, shared by every page.
  static std::string LastSelectedID;

  virtual void SetDeviceInfo(const std::string& text, const std::string& hint);
  virtual void BringToFront(const std::string& frame) { FrontFrame = frame; }
  // Frames of the page as opaque window controls (the GUI returns its widgets).
  virtual void* GroupFrame() { return &GroupList; }
  virtual void* MemoryFrame() { return nullptr; }
  virtual void* ConnectionFrame() { return nullptr; }

  void FillDeviceList(const TE2Opr& options);
  void FillDeviceListByGroup(const TDevGroup& groups);
  bool SelectDeviceByName(const std::string& id);
  // Selects the item whose object is that very entry and attaches it.
  bool SelectDevice(TDevice* device);
  void DeviceSelectBoxChange();
  // Detach the old device, attach the new one.
  void AttachDevice(TDevice* device);
  // The page's new-page sequence over the registry.
  void NewPageSelection();
  void ClickGroupListItem(int index);

  // Handlers run whenever the page reports activation (one per owner).
  void SetActivationHandler(const void* owner, std::function<void()> handler);
  void Activate();

private:
  std::map<const void*, std::function<void()>> ActivationHandlers;
};
