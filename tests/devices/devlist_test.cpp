#include <gtest/gtest.h>

#include <memory>

#include "devices/customdev.h"
#include "devices/devexit.h"
#include "devices/devgroup.h"
#include "devices/devicepage.h"
#include "devices/devlist.h"
#include "support/recorderservices.h"

namespace {

TDevInfo Row(const std::string& id, const std::string& name, TDevGroup devFilter,
             TE2Opr opr = {oRead, oWrite}) {
  TDevInfo r;
  r.ID = id;
  r.Name = name;
  r.Descr = name + " descr";
  r.DevFilter = devFilter;
  r.e2Opr = opr;
  return r;
}

TDevInfo Group(const std::string& id, const std::string& name, TDevGroup groupFilter) {
  TDevInfo r;
  r.ID = id;
  r.Name = name;
  r.e2Opr = {oDeviceGroup};
  r.GroupFilter = groupFilter;
  return r;
}

class TTestDevice : public TDevice {
public:
  using TDevice::TDevice;
};

// A small registry shaped like the catalogue: groups, the back entry, devices
// of two groups, one device in no group and two entries sharing an ID.
class Registry : public ::testing::Test {
protected:
  void SetUp() override {
    List.RegisterClass("tdev", [](const TDevInfo& i) { return std::make_unique<TTestDevice>(i); });
    SetDeviceList(&List);
    for (const TDevInfo& r : {
             Row("file", "File", {oAllDev}),
             Group("gdevall", "All Devices", {oAllDev}),
             Group("gdevi2c", "EEPROM I2C", {oI2CDev}),
             Group("gdevspi", "EEPROM SPI", {oSPIDev}),
             Row("exit", "...", {oExit}, {}),
             Row("tdevproto", "I2C Protocol", {}),
             Row("tdev2402", "24C02", {oAllDev, oI2CDev}),
             Row("tdev2401", "24c01", {oAllDev, oI2CDev}),
             Row("tdev25", "25C040", {oAllDev, oSPIDev}),
             Row("tdevm16", "ATmega16", {oAllDev, oAtmelMCU}),
             Row("tdevm16", "ATmega161", {oAllDev, oAtmelMCU}),
         })
      List.AddDevInfo(r);
  }
  void TearDown() override { SetDeviceList(nullptr); }

  std::vector<std::string> Names(const std::vector<TDevice*>& v) {
    std::vector<std::string> r;
    for (auto* d : v)
      r.push_back(d->Name);
    return r;
  }

  TDeviceList List;
  TRecorderServices Rec;
  TServicesScope Scope{Rec};
};

TEST_F(Registry, FactoryCreatesTheClassOfTheCodeAndSkipsUnknownCodes) {
  EXPECT_EQ(List.Count(), 10); // "file" is skipped
  struct Case {
    const char* ID;
    int ExpectIndex;
  } cases[] = {{"gdevall", 0}, {"exit", 3}, {"tdev2402", 5}};
  for (const auto& c : cases) {
    TDevice* d = nullptr;
    ASSERT_TRUE(List.FindByID(c.ID, d)) << c.ID;
    EXPECT_EQ(d, List[c.ExpectIndex]) << c.ID;
  }
  EXPECT_NE(dynamic_cast<devgroup::TDevGroup*>(List[0]), nullptr);
  EXPECT_NE(dynamic_cast<TDevExit*>(List[3]), nullptr);

  TDevInfo custom = Row("cdev1001", "Mine", {oAllDev});
  EXPECT_EQ(List.AddDevInfo(custom), 10);
  EXPECT_NE(dynamic_cast<TCustomDev*>(List[10]), nullptr);

  // Codes must match over four characters; a class code override wins.
  for (const char* id : {"abc", "tde", "TDEVx", "fl32x"})
    EXPECT_EQ(List.AddDevInfo(Row(id, id, {})), -1) << id;
  TDevInfo overridden = Row("abc", "Grouped", {});
  overridden.DevClass = "gdev";
  EXPECT_EQ(List.AddDevInfo(overridden), 11);
  EXPECT_EQ(List.Count(), 12);
}

TEST_F(Registry, LookupsTakeTheFirstExactMatch) {
  EXPECT_EQ(List.FindByID("tdevm16")->Name, "ATmega16");
  EXPECT_EQ(List.FindByID("TDEVM16"), nullptr);
  std::string name;
  EXPECT_TRUE(List.GetNameByID("tdev2401", name));
  EXPECT_EQ(name, "24c01");
  EXPECT_FALSE(List.GetNameByID("nope", name));
  EXPECT_EQ(List.IndexOfName("ATmega161"), 9);
  EXPECT_EQ(List.IndexOfName("atmega161"), -1);
  TDevice* d = nullptr;
  EXPECT_FALSE(List.FindByID("", d));
}

TEST_F(Registry, UpdateDevInfoFindsByNameAndKeepsTheObject) {
  TDevice* before = List.FindByID("tdev25");
  TDevInfo info = before->GetDevInfo();
  info.e2cap = 512;
  info.ID = "renamed";
  EXPECT_EQ(List.UpdateDevInfo(info), 7);
  EXPECT_EQ(before->e2cap, 512u);
  EXPECT_EQ(List.FindByID("renamed"), before);
  info.Name = "missing";
  EXPECT_EQ(List.UpdateDevInfo(info), -1);
}

TEST_F(Registry, HideAndShowWalkTheGroup) {
  // A device hidden on its own, then its group hidden and shown again.
  ASSERT_TRUE(List.HideDeviceOrGroup("24c01"));
  EXPECT_EQ(Names(List.ListByGroup({oI2CDev})), (std::vector<std::string>{"24C02"}));
  ASSERT_TRUE(List.HideDeviceOrGroup("EEPROM I2C"));
  EXPECT_TRUE(List.ListByGroup({oI2CDev}).empty());
  EXPECT_TRUE(List.FindByID("gdevi2c")->DevFilter.Contains(oHide));
  EXPECT_FALSE(List.FindByID("tdev25")->DevFilter.Contains(oHide));
  EXPECT_EQ(Names(List.ListByOptions({oDeviceGroup})),
            (std::vector<std::string>{"All Devices", "EEPROM SPI"}));

  ASSERT_TRUE(List.ShowDeviceOrGroup("EEPROM I2C"));
  EXPECT_EQ(Names(List.ListByGroup({oI2CDev})), (std::vector<std::string>{"24c01", "24C02"}));
  EXPECT_EQ(List.ListByOptions({oDeviceGroup}).size(), 3u);

  EXPECT_FALSE(List.HideDeviceOrGroup("No such"));
  EXPECT_FALSE(List.ShowDeviceOrGroup("No such"));
}

TEST_F(Registry, AllDevicesListsSortedIgnoringCaseAndNeverTheUngrouped) {
  EXPECT_EQ(Names(List.ListByGroup({oAllDev})),
            (std::vector<std::string>{"24c01", "24C02", "25C040", "ATmega16", "ATmega161"}));
}

TEST_F(Registry, CountersHandOutSerialsAndGroupBitsUntilExhausted) {
  EXPECT_EQ(List.NextSerial(), 1001);
  EXPECT_EQ(List.NextSerial(), 1002);
  for (int call = 1; call <= 192; ++call)
    ASSERT_EQ(List.NextGroupBit(), 256 - call) << call;
  EXPECT_EQ(List.NextGroupBit(), 0); // the 193rd call
  EXPECT_EQ(List.NextGroupBit(), 0);
}

TEST_F(Registry, InsertIntoBoxNeedsABoxAndAKnownId) {
  TDeviceBox box;
  box.AddSorted("b", nullptr);
  EXPECT_TRUE(List.InsertIntoBox(&box, 0, "exit"));
  EXPECT_FALSE(List.InsertIntoBox(&box, 0, "nope"));
  EXPECT_FALSE(List.InsertIntoBox(nullptr, 0, "exit"));
  box.AddSorted("a", nullptr);
  EXPECT_EQ(box.Texts(), (std::vector<std::string>{"...", "a", "b"}));
}

TEST_F(Registry, AttachingAGroupFillsItsListAndAClickAttachesThatVeryEntry) {
  TDevicePage page;
  page.FillDeviceList({oDeviceGroup});
  EXPECT_EQ(page.DeviceSelectBox.Texts(),
            (std::vector<std::string>{"All Devices", "EEPROM I2C", "EEPROM SPI"}));
  EXPECT_EQ(page.Device, nullptr); // filling attaches nothing

  page.DeviceSelectBox.ItemIndex = 0;
  page.DeviceSelectBoxChange();
  ASSERT_EQ(page.Device, List.FindByID("gdevall"));
  EXPECT_EQ(page.FrontFrame, "group");
  EXPECT_EQ(page.GroupList.Count(), 5);

  // ATmega161 shares its ID with ATmega16; the click must attach ATmega161.
  const int index = page.GroupList.IndexOf("ATmega161");
  page.ClickGroupListItem(index);
  ASSERT_NE(page.Device, nullptr);
  EXPECT_EQ(page.Device->Name, "ATmega161");
  EXPECT_EQ(page.DeviceSelectBox.Texts(),
            (std::vector<std::string>{"...", "ATmega16", "ATmega161"}));
  EXPECT_EQ(page.DeviceInfoText, "ATmega161 descr");
  EXPECT_EQ(TDevicePage::LastSelectedID, "tdevm16");

  // The back entry lists the groups again and attaches "All Devices".
  page.SelectDeviceByName("exit");
  EXPECT_EQ(page.Device, List.FindByID("gdevall"));
  EXPECT_EQ(TDevicePage::LastSelectedID, "gdevall");
  EXPECT_EQ(page.DeviceSelectBox.Texts(),
            (std::vector<std::string>{"All Devices", "EEPROM I2C", "EEPROM SPI"}));

  // By ID the first entry wins.
  TDevicePage other;
  other.FillDeviceListByGroup({oAtmelMCU});
  EXPECT_TRUE(other.SelectDeviceByName("tdevm16"));
  EXPECT_EQ(other.Device->Name, "ATmega16");
  EXPECT_FALSE(other.SelectDeviceByName("nope"));
}

TEST_F(Registry, APageThatGoesAwayDetachesItsDevices) {
  TDevice* device = List.FindByID("tdev2402");
  {
    TDevicePage page;
    page.FillDeviceListByGroup({oI2CDev});
    ASSERT_TRUE(page.SelectDeviceByName("tdev2402"));
    EXPECT_EQ(device->HepPage, &page);
  }
  EXPECT_EQ(device->HepPage, nullptr);
  EXPECT_EQ(device->XHexEdit, nullptr);
  EXPECT_FALSE(device->CheckPage());
  EXPECT_EQ(Rec.Lines.back(), NoPageMessage);
}

TEST_F(Registry, TwoPagesOnOneGroupEachAttachWhatIsClickedInTheirOwnList) {
  // Every new page starts on the same group entry; the newer took it last.
  TDevicePage older, newer;
  for (TDevicePage* page : {&older, &newer}) {
    page->FillDeviceList({oDeviceGroup});
    ASSERT_TRUE(page->SelectDeviceByName("gdevall"));
  }
  TDevice* group = List.FindByID("gdevall");
  ASSERT_EQ(group->HepPage, &newer);
  older.ClickGroupListItem(older.GroupList.IndexOf("24C02"));
  ASSERT_NE(older.Device, nullptr);
  EXPECT_EQ(older.Device->Name, "24C02");
  EXPECT_EQ(newer.Device, group);
  EXPECT_EQ(newer.DeviceSelectBox.Texts(),
            (std::vector<std::string>{"All Devices", "EEPROM I2C", "EEPROM SPI"}));
}

TEST_F(Registry, EntriesHoldingAPagesFramesForgetThemWhenItGoesAway) {
  ASSERT_EQ(List.AddDevInfo(Row("cdev1001", "Scripted", {oAllDev})), 10);
  auto* custom = dynamic_cast<TCustomDev*>(List[10]);
  auto* group = dynamic_cast<devgroup::TDevGroup*>(List.FindByID("gdevall"));
  ASSERT_TRUE(custom && group);
  // Frames of their own, as the GUI page hands out its panels.
  class TFramesPage : public TDevicePage {
  public:
    void* MemoryFrame() override { return &Memory; }
    void* ConnectionFrame() override { return &Connection; }
    int Memory = 0, Connection = 0;
  };
  {
    TFramesPage page;
    page.AttachDevice(group);
    EXPECT_EQ(group->GroupFrame, &page.GroupList);
    page.AttachDevice(custom);
    EXPECT_EQ(custom->MemoryFrame, &page.Memory);
    EXPECT_EQ(custom->ConnectionFrame, &page.Connection);
  }
  EXPECT_EQ(group->GroupFrame, nullptr);
  EXPECT_EQ(custom->MemoryFrame, nullptr);
  EXPECT_EQ(custom->ConnectionFrame, nullptr);
  EXPECT_EQ(custom->HepPage, nullptr);
}

TEST_F(Registry, ACustomDeviceStaysWithThePageThatHasItChosen) {
  ASSERT_EQ(List.AddDevInfo(Row("cdev1001", "Scripted", {oAllDev})), 10);
  auto* custom = dynamic_cast<TCustomDev*>(List[10]);
  ASSERT_NE(custom, nullptr);
  TDevicePage left, current;
  left.AttachDevice(custom);
  left.AttachDevice(List.FindByID("tdev2402")); // moved on
  current.AttachDevice(custom);
  left.Activate();
  EXPECT_EQ(custom->HepPage, &current);
  current.Activate();
  EXPECT_EQ(custom->HepPage, &current);
}

TEST_F(Registry, CustomDeviceFiresSelectAndRestoresItsPageOnActivation) {
  TDevInfo info = Row("cdev1001", "Scripted", {oAllDev});
  ASSERT_EQ(List.AddDevInfo(info), 10);
  auto* dev = dynamic_cast<TCustomDev*>(List[10]);
  ASSERT_NE(dev, nullptr);
  int fired = 0;
  dev->OnSelectDevice = [&](TDevice* d, void*, void*) {
    EXPECT_EQ(d, dev);
    ++fired;
  };
  TDevicePage page;
  page.AttachDevice(dev);
  EXPECT_EQ(fired, 1);
  dev->HepPage = nullptr;
  page.Activate();
  EXPECT_EQ(dev->HepPage, &page);
  EXPECT_EQ(page.FrontFrame, "connection");
}

} // namespace
