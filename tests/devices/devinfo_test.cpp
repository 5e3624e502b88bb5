#include <gtest/gtest.h>

#include "devices/devbase.h"
#include "devices/devinfo.h"

namespace {

TEST(DevInfo, ClassCodeComesFromDevClassElseFromId) {
  struct Case {
    const char* DevClass;
    const char* ID;
    const char* Code;
  } cases[] = {
      {"", "i2cn01", "i2cn"}, {"gdev", "i2cn01", "gdev"}, {"", "abc", "abc"},
      {"", "", ""},           {"cdevXYZ", "x", "cdev"},   {"ex", "exit", "ex"},
  };
  for (const auto& c : cases) {
    TDevInfo info;
    info.DevClass = c.DevClass;
    info.ID = c.ID;
    EXPECT_EQ(ClassCode(info), c.Code) << c.DevClass << "/" << c.ID;
  }
}

TEST(DevInfo, SetsKeepAll256Bits) {
  TE2Opr set{0, 9, 63, 64, 200, 255};
  EXPECT_TRUE(set.Contains(200));
  EXPECT_TRUE(set.Contains(255));
  EXPECT_FALSE(set.Contains(201));
  EXPECT_FALSE(set.Contains(256)); // outside the set type
  set.Include(300);                // ignored, not wrapped onto another bit
  EXPECT_EQ(set.Count(), 6);
  EXPECT_TRUE(set.ContainsAll(TE2Opr{9, 200}));
  EXPECT_FALSE(set.ContainsAll(TE2Opr{9, 201}));
  EXPECT_TRUE(set.ContainsAll(TE2Opr{})); // the empty set is in every set
}

TDevInfo FullRecord() {
  TDevInfo r;
  r.DevClass = "";
  r.ID = "i2cn01";
  r.Name = "24C01";
  r.e2len = 8;
  r.e2cap = 128;
  r.e2org = 8;
  r.Descr = "128 x 8 bits I2C";
  r.e2Opr = {oMonitor, oRead, oWrite, oEmul, 200};
  r.GroupFilter = {64, 255};
  r.DevFilter = {oAllDev, oI2CDev, 200};
  r.e2Tw = 40000;
  r.e2Tc = 200;
  r.e2Tera = 3;
  r.e2Tfw = 4;
  r.e2Tres = 30;
  r.e2Start = 0x100;
  r.MemCap = 0x10000;
  r.prStart = 7;
  r.prCap = 0x800;
  r.confStart = 0x400E;
  r.idStart = 0x4000;
  r.idCap = 8;
  r.calibrStart = 0x7FE;
  r.BPSector = 64;
  r.XFreq = 4000;
  r.SoftProtectA1 = 0x5555;
  r.SoftProtectA2 = 0x2AAA;
  r.ConfigOption = 3;
  r.Pin7 = 2;
  r.Alg = -4;
  r.Package = 28;
  r.I2CSlave = 0xA0;
  r.Settings = 3;
  r.ResetTime0 = 100;
  r.ResetTime1 = 101;
  r.PowerSetupTime = 102;
  r.EEWC = 0xFF80;
  r.LockBitsOption = 9;
  r.FuseBitsOption = 10;
  r.ChipEraseAlg = 6;
  r.TMS_WDRST = 0x11;
  r.TMS_WDPrescaleAdr = 0x22;
  r.TMS_WDPrescaleData = 0x33;
  return r;
}

TEST(DevInfo, DeviceMirrorsTheRecordBothWays) {
  TDevInfo record = FullRecord();
  record.InheritedDevName = "root";
  TDevice device(record);
  EXPECT_EQ(device.GetDevInfo(), record);
  EXPECT_EQ(device.Module, tmNone);

  TDevInfo changed = FullRecord();
  changed.Name = "other";
  changed.InheritedDevName = ""; // SetDevInfo copies as is, without the default
  changed.e2Opr.Include(201);
  device.Module = tmEEPROM;
  device.SetDevInfo(changed);
  EXPECT_EQ(device.GetDevInfo(), changed);
  EXPECT_EQ(device.Module, tmEEPROM); // not part of the record
}

TEST(DevInfo, EmptyInheritedNameBecomesTheName) {
  TDevice device(FullRecord());
  EXPECT_EQ(device.InheritedDevName, "24C01");
  TDevInfo expected = FullRecord();
  expected.InheritedDevName = "24C01";
  EXPECT_EQ(device.GetDevInfo(), expected);
}

TEST(DevInfo, ProgramDevOnTheBaseSucceedsWithoutHardware) {
  TDevice device(FullRecord());
  EXPECT_EQ(device.ProgramDev(), trSuccess);
  EXPECT_TRUE(device.SetupRead());
  EXPECT_TRUE(device.SetupWrite());
}

} // namespace
