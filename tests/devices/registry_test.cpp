#include <gtest/gtest.h>

#include "devices/devicepage.h"
#include "devices/devlist.h"
#include "families/familyclasses.h"
#include "families/placeholders.h"
#include "support/recorderservices.h"

namespace {

// The program's registry, built from the catalogue as at start-up.
class BuiltInRegistry : public ::testing::Test {
protected:
  void SetUp() override { SetDeviceList(List.get()); }
  void TearDown() override { SetDeviceList(nullptr); }

  std::unique_ptr<TDeviceList> List = CreateDeviceList();
  TRecorderServices Rec;
  TServicesScope Scope{Rec};
};

TEST_F(BuiltInRegistry, AttachingAllDevicesFillsTheGroupList) {
  TDevicePage page;
  page.FillDeviceList({oDeviceGroup});
  ASSERT_TRUE(page.SelectDeviceByName("gdevall"));
  EXPECT_EQ(page.GroupList.Count(), 258);
  EXPECT_EQ(page.GroupList.IndexOf("I2C Protocol"), -1);
  EXPECT_GE(List->IndexOfName("I2C Protocol"), 0);
}

TEST_F(BuiltInRegistry, HidingAGroupHidesItsDevicesUntilShown) {
  const auto i2c = List->ListByGroup({oI2CDev});
  ASSERT_FALSE(i2c.empty());
  ASSERT_TRUE(List->HideDeviceOrGroup(i2c.front()->Name)); // one device first
  ASSERT_TRUE(List->HideDeviceOrGroup("EEPROM I2C"));
  EXPECT_TRUE(List->ListByGroup({oI2CDev}).empty());
  ASSERT_TRUE(List->ShowDeviceOrGroup("EEPROM I2C"));
  EXPECT_EQ(List->ListByGroup({oI2CDev}).size(), i2c.size());
}

TEST_F(BuiltInRegistry, FamiliesNotBuiltYetFailWithAMessage) {
  TDevice* d = List->FindByID("mc05b16");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Module, tmMotorola);
  EXPECT_EQ(d->DeviceRead(), trDevError);
  ASSERT_EQ(Rec.Lines.size(), 1u);
  EXPECT_NE(Rec.Lines[0].find("TMC68HC05B"), std::string::npos);
  EXPECT_EQ(Rec.Errors, 1);
}

} // namespace
