#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "devices/catalogue.h"
#include "devices/devlist.h"
#include "families/familyclasses.h"

// Expected records name only the fields they set; the others stay zero or empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// Failures name the fields that are set instead of dumping bytes.
namespace {
void Field(std::ostream& os, const char* name, const std::string& v) {
  if (!v.empty()) os << name << "=\"" << v << "\" ";
}
void Field(std::ostream& os, const char* name, const TByteSet& v) {
  if (v.Empty()) return;
  os << name << "={";
  for (int bit = 0; bit < 256; ++bit)
    if (v.Contains(bit)) os << " " << bit;
  os << " } ";
}
template <class T> void Field(std::ostream& os, const char* name, T v) {
  if (v != 0) os << name << "=" << static_cast<long long>(v) << " ";
}
} // namespace

static void PrintTo(const TDevInfo& r, std::ostream* os) {
  Field(*os, "DevClass", r.DevClass);
  Field(*os, "ID", r.ID);
  Field(*os, "Name", r.Name);
  Field(*os, "InheritedDevName", r.InheritedDevName);
  Field(*os, "e2len", r.e2len);
  Field(*os, "e2cap", r.e2cap);
  Field(*os, "e2org", r.e2org);
  Field(*os, "Descr", r.Descr);
  Field(*os, "e2Opr", r.e2Opr);
  Field(*os, "GroupFilter", r.GroupFilter);
  Field(*os, "DevFilter", r.DevFilter);
  Field(*os, "e2Tw", r.e2Tw);
  Field(*os, "e2Tc", r.e2Tc);
  Field(*os, "e2Tera", r.e2Tera);
  Field(*os, "e2Tfw", r.e2Tfw);
  Field(*os, "e2Tres", r.e2Tres);
  Field(*os, "e2Start", r.e2Start);
  Field(*os, "MemCap", r.MemCap);
  Field(*os, "prStart", r.prStart);
  Field(*os, "prCap", r.prCap);
  Field(*os, "confStart", r.confStart);
  Field(*os, "idStart", r.idStart);
  Field(*os, "idCap", r.idCap);
  Field(*os, "calibrStart", r.calibrStart);
  Field(*os, "BPSector", r.BPSector);
  Field(*os, "XFreq", r.XFreq);
  Field(*os, "SoftProtectA1", r.SoftProtectA1);
  Field(*os, "SoftProtectA2", r.SoftProtectA2);
  Field(*os, "ConfigOption", r.ConfigOption);
  Field(*os, "Pin7", r.Pin7);
  Field(*os, "Alg", r.Alg);
  Field(*os, "Package", r.Package);
  Field(*os, "I2CSlave", r.I2CSlave);
  Field(*os, "Settings", r.Settings);
  Field(*os, "ResetTime0", r.ResetTime0);
  Field(*os, "ResetTime1", r.ResetTime1);
  Field(*os, "PowerSetupTime", r.PowerSetupTime);
  Field(*os, "EEWC", r.EEWC);
  Field(*os, "LockBitsOption", r.LockBitsOption);
  Field(*os, "FuseBitsOption", r.FuseBitsOption);
  Field(*os, "ChipEraseAlg", r.ChipEraseAlg);
  Field(*os, "TMS_WDRST", r.TMS_WDRST);
  Field(*os, "TMS_WDPrescaleAdr", r.TMS_WDPrescaleAdr);
  Field(*os, "TMS_WDPrescaleData", r.TMS_WDPrescaleData);
}

namespace {

const std::vector<TDevInfo>& Rows() {
  return BuiltInCatalogue();
}

const std::set<std::string> SkippedCodes{"file", "spip", "spi2", "fl32", "spi0", "ford", "er14",
                                         "xxio", "nvm3", "p12c", "p16c", "p18f", "hcsx", "hcs2"};

// The registry the program builds at start, with every family class.
class Catalogue : public ::testing::Test {
protected:
  std::unique_ptr<TDeviceList> List = CreateDeviceList();
};

TEST_F(Catalogue, RowCountsAndTheRegistryBuiltFromThem) {
  ASSERT_EQ(Rows().size(), 391u);
  int skipped = 0;
  std::set<std::string> unknownCodes;
  for (const TDevInfo& r : Rows()) {
    EXPECT_TRUE(r.DevClass.empty()) << r.ID;
    EXPECT_TRUE(r.InheritedDevName.empty()) << r.ID;
    if (!List->KnowsClass(ClassCode(r))) {
      ++skipped;
      unknownCodes.insert(ClassCode(r));
    }
  }
  EXPECT_EQ(skipped, 115);
  // Created classes in the order of their first row.
  std::vector<std::string> order;
  for (const TDevInfo& r : Rows()) {
    const std::string code = ClassCode(r);
    if (!SkippedCodes.count(code) && std::find(order.begin(), order.end(), code) == order.end())
      order.push_back(code);
  }
  EXPECT_EQ(order, (std::vector<std::string>{
                       "gdev", "exit", "i2cn", "spis", "m25p", "miw7", "miwi", "miws", "s-29",
                       "cxso", "m350", "m6m8", "cat6", "sdes", "tcto", "i2c0", "i2c1", "89s1",
                       "89s5", "90s2", "cr16", "mc05", "05e6", "05h1", "05l2", "05p3", "m05x",
                       "m705", "11es", "mc11", "11ea", "11k4", "908a", "m912", "9s12", "s12x",
                       "necf", "tms2", "tms3", "st62", "p12f", "p16f"}));
  EXPECT_EQ(unknownCodes, SkippedCodes);
  EXPECT_EQ(List->Count(), 276);
  EXPECT_EQ(List->ListByGroup(TDevGroup{oAllDev}).size(), 258u);
}

TEST_F(Catalogue, RegistryKeepsTheTableOrderWithoutTheSkippedRows) {
  int index = 0;
  for (const TDevInfo& r : Rows()) {
    if (SkippedCodes.count(ClassCode(r))) continue;
    ASSERT_LT(index, List->Count());
    EXPECT_EQ((*List)[index]->GetDevInfo().ID, r.ID);
    EXPECT_EQ((*List)[index]->InheritedDevName, r.Name);
    ++index;
  }
  EXPECT_EQ(index, List->Count());
  EXPECT_EQ((*List)[0]->Name, "All Devices");
}

TEST(CatalogueTable, PositionsIdentifiersNamesAndDescriptions) {
  struct Case {
    std::size_t position;
    const char* id;
    const char* name;
    const char* descr;
  };
  const Case cases[] = {
      {1, "file", "File", ""},
      {2, "gdevall", "All Devices", "Select a device"},
      {11, "gdevpic", "Microchip MCU (PIC's)", "Select a MCU device"},
      {12, "gdevhcs", "Microchip Encoders (HCS)", "Select a device"},
      {18, "exit", "...", ""},
      {19, "i2cnpro", "I2C Protocol", ""},
      {21, "spi2pro", "SPI Protocol 0,1", ""},
      {45, "fl32040a", "29F040A", "256K x 8"},
      {66, "i2cn01", "24C01", "128 x 8 bits I2C"},
      {106, "miw77005", "77005", "16 x 16 bits Microwire"},
      {125, "ford005", "77005", "16 x 16 bits"},
      {136, "m35080", "M35080", "1K x 8 bits 16 x 16 Counters SPI"},
      {170, "i2c0c00", "X24C00", "16 x 8 bits I2C*"},
      {197, "90s2m16", "ATmega16", "8K x 16 E2:512 RAM:1KB"},
      {201, "90s2m16", "ATmega161", "8K x 16 E2:512 RAM:1KB"},
      {238, "mc11f1_6", "MC68HC11F1", "0KB E2:512 RAM:1024"},
      {259, "908az6A4", "MC68HC908AZ60A/4MHz", "60KB E2:1KB RAM:2KB"},
      {267, "m91226_4", "MC68HC912DG256 - not tested", "256KB E2:4KB RAM:12KB"},
      {292, "tms370Cx56_78k0", "TMS370Cx56 78k0/HC912 Adp", "16KB E2:512 RAM:512"},
      {308, "p16f629", "PIC12F629", "1K x 14 E2:128 RAM:64"},
      {376, "hcsxxx", "HCS101", "12 x 16 Bits Encoder"},
      {391, "miwiKM46B", "KM93C46", "64 x 16 bits Microwire"},
  };
  for (const Case& c : cases) {
    const TDevInfo& r = Rows()[c.position - 1];
    EXPECT_EQ(r.ID, c.id) << c.position;
    EXPECT_EQ(r.Name, c.name) << c.position;
    EXPECT_EQ(r.Descr, c.descr) << c.position;
  }
}

TEST(CatalogueTable, OnlyTheKnownIdentifiersRepeat) {
  std::map<std::string, int> seen;
  for (const TDevInfo& r : Rows())
    ++seen[r.ID];
  std::map<std::string, int> repeated;
  for (const auto& [id, n] : seen)
    if (n > 1) repeated[id] = n;
  EXPECT_EQ(repeated, (std::map<std::string, int>{{"90s2m16", 2}, {"hcsxxx", 7}}));
}

// One row per class: the group's example row as published, with every field.
TEST(CatalogueTable, ExampleRowsHoldEveryField) {
  // clang-format off
  const TDevInfo expected[] = {
      {.ID = "gdevall", .Name = "All Devices", .Descr = "Select a device", .e2Opr = {oDeviceGroup},
       .GroupFilter = {oAllDev}},
      {.ID = "exit", .Name = "...", .DevFilter = {oExit}},
      {.ID = "i2cn01", .Name = "24C01", .e2len = 8, .e2cap = 128, .e2org = 8,
       .Descr = "128 x 8 bits I2C", .e2Opr = {oMonitor, oRead, oWrite, oEmul},
       .DevFilter = {oAllDev, oI2CDev}, .e2Tw = 40000, .e2Tc = 200, .I2CSlave = 160, .Settings = 3,
       .PowerSetupTime = 100},
      {.ID = "spis010", .Name = "25C010", .e2len = 8, .e2cap = 128, .e2org = 8,
       .Descr = "128 x 8 bits SPI", .e2Opr = {oMonitor, oRead, oWrite},
       .DevFilter = {oAllDev, oSPIDev}, .e2Tw = 10000, .e2Tc = 1, .Settings = 4,
       .PowerSetupTime = 100},
      {.ID = "m25p05", .Name = "M25P05 - 3.3V", .e2len = 24, .e2cap = 0x10000, .e2org = 8,
       .Descr = "64K x 8 bits SPI", .e2Opr = {oRead, oWrite, oErase},
       .DevFilter = {oAllDev, oSPIDev}, .e2Tw = 5000, .e2Tc = 1, .e2Tera = 10000, .Settings = 5,
       .PowerSetupTime = 100},
      {.ID = "miw77005", .Name = "77005", .e2len = 4, .e2cap = 32, .e2org = 16,
       .Descr = "16 x 16 bits Microwire", .e2Opr = {oRead, oWrite},
       .DevFilter = {oAllDev, oEEPROMMisc}, .e2Tw = 50000, .e2Tc = 100, .Settings = 4,
       .PowerSetupTime = 100},
      {.ID = "miwi9306", .Name = "93C06", .e2len = 6, .e2cap = 32, .e2org = 16,
       .Descr = "16 x 16 bits Microwire", .e2Opr = {oMonitor, oRead, oWrite, oEmul},
       .DevFilter = {oAllDev, oMicrowireDev}, .e2Tw = 20000, .e2Tc = 100, .Settings = 4,
       .PowerSetupTime = 100},
      {.ID = "miws46", .Name = "93S46", .e2len = 6, .e2cap = 128, .e2org = 16,
       .Descr = "64 x 16 bits Microwire", .e2Opr = {oMonitor, oRead, oWrite},
       .DevFilter = {oAllDev, oMicrowireDev}, .e2Tw = 20000, .e2Tc = 100, .Settings = 4,
       .PowerSetupTime = 100},
      {.ID = "s-29190a", .Name = "S-29190A", .e2len = 6, .e2cap = 128, .e2org = 16,
       .Descr = "64 x 16 bits", .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oEEPROMMisc},
       .e2Tw = 15000, .e2Tc = 100, .Settings = 4, .PowerSetupTime = 100},
      {.ID = "cxso11", .Name = "CXK1011", .e2len = 6, .e2cap = 64, .e2org = 8,
       .Descr = "64 x 8 bits", .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oEEPROMMisc},
       .e2Tw = 100000, .e2Tc = 100, .Settings = 4, .PowerSetupTime = 100},
      {.ID = "m35080", .Name = "M35080", .e2len = 16, .e2cap = 0x400, .e2org = 8,
       .Descr = "1K x 8 bits 16 x 16 Counters SPI", .e2Opr = {oMonitor, oRead, oWrite, oErase},
       .DevFilter = {oAllDev, oSPIDev}, .e2Tw = 10000, .e2Tc = 2, .Settings = 4,
       .PowerSetupTime = 100},
      {.ID = "m6m80011", .Name = "M6M80011", .e2len = 8, .e2cap = 128, .e2org = 16,
       .Descr = "64 x 16 bits", .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oEEPROMMisc},
       .e2Tw = 20000, .e2Tc = 100, .Settings = 4, .PowerSetupTime = 100},
      {.ID = "cat64lc10", .Name = "CAT64LC10", .e2len = 6, .e2cap = 128, .e2org = 16,
       .Descr = "64 x 16 bits", .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oEEPROMMisc},
       .e2Tw = 20000, .e2Tc = 100, .Settings = 4, .PowerSetupTime = 100},
      {.ID = "sdes06", .Name = "SDE2506", .e2len = 7, .e2cap = 128, .e2org = 8,
       .Descr = "128 x 8 bits", .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oEEPROMMisc},
       .e2Tw = 20000, .e2Tc = 100, .Settings = 4, .PowerSetupTime = 100},
      {.ID = "tcto01", .Name = "TC89101P", .e2len = 8, .e2cap = 128, .e2org = 8,
       .Descr = "128 x 8 bits", .e2Opr = {oRead, oWrite, oErase},
       .DevFilter = {oAllDev, oEEPROMMisc}, .e2Tw = 20000, .e2Tc = 100, .Settings = 4,
       .PowerSetupTime = 100},
      {.ID = "i2c0c00", .Name = "X24C00", .e2len = 4, .e2cap = 16, .e2org = 8,
       .Descr = "16 x 8 bits I2C*", .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oI2CDev},
       .e2Tw = 10000, .e2Tc = 100, .Settings = 4, .PowerSetupTime = 100},
      {.ID = "i2c1x01", .Name = "X24C01", .e2cap = 128, .e2org = 8, .Descr = "128 x 8 bits I2C*",
       .e2Opr = {oRead, oWrite}, .DevFilter = {oAllDev, oI2CDev}, .e2Tw = 10000, .e2Tc = 100,
       .Settings = 4, .PowerSetupTime = 100},
      {.ID = "89s151", .Name = "AT89S51", .e2len = 8, .e2cap = 128, .e2org = 8,
       .Descr = "4KB RAM:128", .e2Opr = {oRead, oWrite, oReset_Positive, oLockBits1},
       .DevFilter = {oAllDev, oAtmelMCU}, .e2Tw = 1000, .e2Tc = 40, .e2Tera = 500, .e2Tfw = 1000,
       .MemCap = 0x1000, .Settings = 6, .ResetTime0 = 100, .PowerSetupTime = 100,
       .LockBitsOption = 29},
      {.ID = "89s53", .Name = "AT89S53", .e2len = 8, .e2cap = 0x800, .e2org = 8,
       .Descr = "12KB RAM:256",
       .e2Opr = {oRead, oWrite, oReset_Positive, oLockBits1, oLockBitsWriteOnly},
       .DevFilter = {oAllDev, oAtmelMCU}, .e2Tw = 10000, .e2Tc = 40, .e2Tera = 20, .e2Tfw = 10000,
       .MemCap = 0x3000, .Settings = 6, .ResetTime0 = 100, .PowerSetupTime = 100,
       .LockBitsOption = 10},
      {.ID = "90s21200", .Name = "AT90S1200", .e2len = 8, .e2cap = 64, .e2org = 16,
       .Descr = "512 x 16 E2:64", .e2Opr = {oRead, oWrite, oEEPROM, oLockBits2, oLockBitsWriteOnly},
       .DevFilter = {oAllDev, oAtmelMCU}, .e2Tw = 9000, .e2Tc = 10, .e2Tera = 18, .e2Tfw = 9000,
       .MemCap = 0x400, .Settings = 6, .ResetTime0 = 100, .PowerSetupTime = 100,
       .LockBitsOption = 9},
      {.ID = "cr16hcs5", .Name = "CR16HCS5", .e2len = 8, .e2cap = 0x880, .e2org = 8,
       .Descr = "64KB E2:2176 RAM:3K", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oNoOscillator},
       .DevFilter = {oAllDev, oNSCMCU}, .e2Start = 0xE800, .MemCap = 0x10000, .Settings = 2,
       .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "mc05b4", .Name = "MC68HC05B4", .e2len = 8, .e2cap = 0x2000, .e2org = 8,
       .Descr = "8KB RAM:176", .e2Opr = {oRead, oReadRom, oTestConnection, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x100, .MemCap = 0x2000, .Settings = 2,
       .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "05e6_4", .Name = "MC68HC05E6", .e2len = 8, .e2cap = 160, .e2org = 8,
       .Descr = "6KB E2:160 RAM:128", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x100, .MemCap = 0x2000, .XFreq = 4000,
       .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "05h12", .Name = "MC68HC05H12", .e2len = 8, .e2cap = 0x100, .e2org = 8,
       .Descr = "12KB E2:256 RAM:256", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x400, .MemCap = 0x8000, .XFreq = 4000,
       .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "05l28_4", .Name = "MC68HC05L28", .e2len = 8, .e2cap = 0x100, .e2org = 8,
       .Descr = "8KB E2:240 RAM:256",
       .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oTestConnection, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x300, .MemCap = 0x4000, .XFreq = 4000,
       .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "05p3_4E2", .Name = "MC68HC05P3-1E25B", .e2len = 8, .e2cap = 128, .e2org = 8,
       .Descr = "6KB E2:128 RAM:128",
       .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oVer1, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x100, .MemCap = 0x1000, .XFreq = 4000,
       .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "m05x16", .Name = "MC68HC05X16", .e2len = 8, .e2cap = 0x100, .e2org = 8,
       .Descr = "16KB E2:256 RAM:352", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x100, .MemCap = 0x8000, .Settings = 2,
       .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "m705b16", .Name = "MC68HC705B16", .e2len = 8, .e2cap = 0x100, .e2org = 8,
       .Descr = "16KB E2:256 RAM:352",
       .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oTestConnection, oNoAutoBaud},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0x100, .MemCap = 0x4000, .Settings = 2,
       .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "11es_A1", .Name = "MC68HCP11A1", .e2len = 8, .e2cap = 0x200, .e2org = 8,
       .Descr = "E2:512 RAM:256", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oTestConnection},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0xB600, .MemCap = 0x10000, .XFreq = 4000,
       .ConfigOption = 1, .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100,
       .PowerSetupTime = 100},
      {.ID = "mc11a8", .Name = "MC68HC11A8", .e2len = 8, .e2cap = 0x200, .e2org = 8,
       .Descr = "8KB E2:512 RAM:256", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oTestConnection},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0xB600, .MemCap = 0x10000, .XFreq = 8000,
       .ConfigOption = 1, .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100,
       .PowerSetupTime = 100},
      {.ID = "11ea9", .Name = "MC68HC11EA9", .e2len = 8, .e2cap = 0x200, .e2org = 8,
       .Descr = "12KB E2:512 RAM:512", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oTestConnection},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0xB600, .MemCap = 0x10000, .XFreq = 8000,
       .ConfigOption = 1, .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100,
       .PowerSetupTime = 100},
      {.ID = "11k4", .Name = "MC68HC11K4", .e2len = 8, .e2cap = 0x280, .e2org = 8,
       .Descr = "24KB E2:640 RAM:768", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM, oTestConnection},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Start = 0xD80, .MemCap = 0x10000, .XFreq = 8000,
       .ConfigOption = 2, .Settings = 2, .ResetTime0 = 100, .ResetTime1 = 100,
       .PowerSetupTime = 100},
      {.ID = "908az0", .Name = "MC68HC08AZ0", .e2len = 8, .e2cap = 0x200, .e2org = 8,
       .Descr = "0KB E2:512 RAM:1KB", .e2Opr = {oRead, oWrite, oReadRom, oEEPROM},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Tw = 10000, .e2Start = 0x800, .MemCap = 0x10000,
       .Alg = 1, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "m91232_4", .Name = "MC68HC912B32", .e2len = 8, .e2cap = 0x300, .e2org = 8,
       .Descr = "32KB E2:768 RAM:2KB", .e2Opr = {oRead, oWrite, oEEPROM, oCodeProtect, oFlash},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Tw = 12000, .e2Start = 0xD00, .MemCap = 0x10000,
       .XFreq = 4000, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "9s12d60", .Name = "MC9S12D64", .e2len = 8, .e2cap = 0x400, .e2org = 8,
       .Descr = "64KB E2:1KB RAM:4KB",
       .e2Opr = {oRead, oWrite, oEEPROM, oCodeProtect, oFlash, oBDMEERemapped},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Tw = 15000, .e2Start = 0x8000, .MemCap = 0x10000,
       .XFreq = 4000, .Alg = 1, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100,
       .PowerSetupTime = 100},
      {.ID = "s12x_d64", .Name = "MC9S12XD64", .e2len = 8, .e2cap = 0x400, .e2org = 8,
       .Descr = "64KB E2:1KB RAM:4KB", .e2Opr = {oRead, oWrite, oEEPROM, oCodeProtect, oFlash},
       .DevFilter = {oAllDev, oMotorolaMCU}, .e2Tw = 15000, .e2Start = 0x13FC00, .MemCap = 0x10000,
       .XFreq = 4000, .Alg = 1, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100,
       .PowerSetupTime = 100},
      {.ID = "necf828A", .Name = "uPD780828A", .e2len = 8, .e2cap = 0x100, .e2org = 8,
       .Descr = "60KB E2:256 RAM:3040", .e2Opr = {oRead, oWrite, oEEPROM, oNoOscillator},
       .DevFilter = {oAllDev, oNecMCU}, .e2Tw = 15000, .e2Start = 0xF900, .MemCap = 0x10000,
       .XFreq = 4000, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100,
       .EEWC = 0xFF80},
      {.ID = "tms2_370Cx02", .Name = "TMS370Cx02", .e2len = 8, .e2cap = 0x100, .e2org = 8,
       .Descr = "8KB E2:256 RAM:256", .e2Opr = {oRead, oWrite, oEEPROM, oNoOscillator},
       .DevFilter = {oAllDev, oTMSMCU}, .e2Tw = 15000, .e2Start = 0x1F00, .MemCap = 0x10000,
       .XFreq = 4000, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "tms370Cx56_78k0", .Name = "TMS370Cx56 78k0/HC912 Adp", .e2len = 8, .e2cap = 0x200,
       .e2org = 8, .Descr = "16KB E2:512 RAM:512", .e2Opr = {oRead, oWrite, oEEPROM, oNoOscillator},
       .DevFilter = {oAllDev, oTMSMCU}, .e2Tw = 15000, .e2Start = 0x1E00, .MemCap = 0x10000,
       .XFreq = 4000, .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "st6240", .Name = "ST6240", .e2len = 8, .e2cap = 128, .e2org = 8,
       .Descr = "7948 Bytes E2:128 RAM:128",
       .e2Opr = {oRead, oWrite, oEEPROM, oNoOscillator, oNoAllMemory},
       .DevFilter = {oAllDev, oSTMCU}, .e2Tw = 15000, .MemCap = 0x10000, .XFreq = 4000,
       .Settings = 1, .ResetTime0 = 100, .ResetTime1 = 100, .PowerSetupTime = 100},
      {.ID = "p12f508", .Name = "PIC12F508", .e2len = 12, .e2org = 8, .Descr = "512 x 14 RAM:25",
       .e2Opr = {oRead, oWrite, oCalibration, oChipErase, oEndProgRequired},
       .DevFilter = {oAllDev, oPICs}, .e2Tw = 2000, .e2Tc = 10, .e2Tera = 10, .e2Tres = 30,
       .MemCap = 0x800, .prCap = 0x3FE, .confStart = 0x7FE, .idStart = 0x400, .idCap = 8,
       .calibrStart = 0x3FE, .ConfigOption = 40, .Settings = 5, .PowerSetupTime = 100,
       .ChipEraseAlg = 5},
      {.ID = "p16f629", .Name = "PIC12F629", .e2len = 14, .e2cap = 255, .e2org = 8,
       .Descr = "1K x 14 E2:128 RAM:64",
       .e2Opr = {oRead, oWrite, oEEPROM, oCalibration, oChipErase}, .DevFilter = {oAllDev, oPICs},
       .e2Tw = 10000, .e2Tc = 10, .e2Tera = 10, .e2Start = 0x4200, .MemCap = 0x4300, .prCap = 0x7FE,
       .confStart = 0x400E, .idStart = 0x4000, .idCap = 8, .calibrStart = 0x7FE, .ConfigOption = 37,
       .Settings = 5, .PowerSetupTime = 100, .ChipEraseAlg = 1},
  };
  // clang-format on
  for (const TDevInfo& want : expected) {
    const TDevInfo* got = nullptr;
    for (const TDevInfo& r : Rows())
      if (r.ID == want.ID) {
        got = &r;
        break;
      }
    ASSERT_NE(got, nullptr) << want.ID;
    EXPECT_EQ(*got, want) << want.ID;
  }
}

// Within a class every field but the group's varying ones is the same in all
// rows; blanking identity and the varying fields must leave identical records.
TEST(CatalogueTable, CommonFieldsAreSharedByEveryRowOfAClass) {
  using TBlank = std::function<void(TDevInfo&)>;
  const std::map<std::string, TBlank> varying{
      {"gdev", [](TDevInfo& r) { r.GroupFilter = r.DevFilter = {}; }},
      {"exit", [](TDevInfo&) {}},
      {"i2cn",
       [](TDevInfo& r) {
         r.e2len = r.e2org = r.Pin7 = r.I2CSlave = 0;
         r.e2cap = r.e2Tw = r.e2Tc = 0;
         r.e2Opr = r.DevFilter = {};
         r.Alg = 0;
         r.Settings = r.PowerSetupTime = 0;
       }},
      {"spis",
       [](TDevInfo& r) {
         r.e2len = 0;
         r.e2cap = r.e2Tc = 0;
       }},
      {"m25p", [](TDevInfo& r) { r.e2cap = r.e2Tera = 0; }},
      {"miw7", [](TDevInfo&) {}},
      {"miwi",
       [](TDevInfo& r) {
         r.e2len = r.e2org = 0;
         r.e2cap = 0;
         r.e2Opr = {};
       }},
      {"miws",
       [](TDevInfo& r) {
         r.e2len = 0;
         r.e2cap = 0;
       }},
      {"s-29",
       [](TDevInfo& r) {
         r.e2len = 0;
         r.e2cap = 0;
       }},
      {"cxso",
       [](TDevInfo& r) {
         r.e2len = 0;
         r.e2cap = 0;
       }},
      {"m350", [](TDevInfo&) {}},
      {"m6m8", [](TDevInfo& r) { r.e2cap = 0; }},
      {"cat6",
       [](TDevInfo& r) {
         r.e2len = 0;
         r.e2cap = 0;
       }},
      {"sdes", [](TDevInfo&) {}},
      {"tcto",
       [](TDevInfo& r) {
         r.e2cap = 0;
         r.e2org = 0;
       }},
      {"i2c0", [](TDevInfo&) {}},
      {"i2c1", [](TDevInfo&) {}},
      {"89s1",
       [](TDevInfo& r) {
         r.e2cap = r.e2Tw = r.e2Tera = r.e2Tfw = r.MemCap = 0;
         r.e2Opr = {};
         r.LockBitsOption = r.FuseBitsOption = 0;
       }},
      {"89s5",
       [](TDevInfo& r) {
         r.e2Opr = {};
         r.e2Tera = r.MemCap = 0;
       }},
      {"90s2",
       [](TDevInfo& r) {
         r.e2cap = r.e2Tw = r.e2Tera = r.e2Tfw = r.MemCap = 0;
         r.e2Opr = {};
         r.BPSector = r.LockBitsOption = r.FuseBitsOption = 0;
       }},
      {"cr16", [](TDevInfo& r) { r.e2cap = r.e2Start = r.MemCap = 0; }},
      {"mc05",
       [](TDevInfo& r) {
         r.e2cap = r.MemCap = 0;
         r.e2Opr = {};
       }},
      {"05e6",
       [](TDevInfo& r) {
         r.e2Opr = {};
         r.XFreq = 0;
       }},
      {"05h1", [](TDevInfo&) {}},
      {"05l2", [](TDevInfo&) {}},
      {"05p3", [](TDevInfo& r) { r.e2Opr = {}; }},
      {"m05x", [](TDevInfo&) {}},
      {"m705", [](TDevInfo&) {}},
      {"11es", [](TDevInfo&) {}},
      {"mc11",
       [](TDevInfo& r) {
         r.e2Start = r.XFreq = 0;
         r.ConfigOption = 0;
       }},
      {"11ea", [](TDevInfo&) {}},
      {"11k4",
       [](TDevInfo& r) {
         r.e2cap = r.e2Start = r.XFreq = 0;
         r.ConfigOption = 0;
       }},
      {"908a",
       [](TDevInfo& r) {
         r.e2cap = r.e2Start = r.XFreq = 0;
         r.e2Opr = {};
         r.Alg = 0;
       }},
      {"m912",
       [](TDevInfo& r) {
         r.e2cap = r.e2Tw = r.e2Start = 0;
         r.e2Opr = {};
         r.Alg = 0;
       }},
      {"9s12", [](TDevInfo& r) { r.e2cap = 0; }},
      {"s12x", [](TDevInfo& r) { r.e2cap = r.e2Start = 0; }},
      {"necf", [](TDevInfo& r) { r.EEWC = 0; }},
      {"tms2",
       [](TDevInfo& r) {
         r.e2cap = r.e2Start = 0;
         r.TMS_WDRST = r.TMS_WDPrescaleAdr = r.TMS_WDPrescaleData = 0;
       }},
      {"tms3", [](TDevInfo& r) { r.e2cap = r.e2Start = 0; }},
      {"st62", [](TDevInfo&) {}},
      {"p12f",
       [](TDevInfo& r) { r.MemCap = r.prCap = r.confStart = r.idStart = r.calibrStart = 0; }},
      {"p16f",
       [](TDevInfo& r) {
         r.e2cap = r.e2Tw = r.e2Tera = r.MemCap = r.prCap = r.calibrStart = 0;
         r.e2Opr = {};
         r.BPSector = r.ConfigOption = r.ChipEraseAlg = 0;
         r.Alg = 0;
       }},
  };
  std::map<std::string, TDevInfo> first;
  std::map<std::string, int> rowsPerCode;
  for (const TDevInfo& r : Rows()) {
    const std::string code = ClassCode(r);
    if (SkippedCodes.count(code)) continue;
    auto blank = varying.find(code);
    ASSERT_NE(blank, varying.end()) << "no class rule for " << r.ID;
    TDevInfo common = r;
    common.ID = common.Name = common.Descr = "";
    blank->second(common);
    auto [it, inserted] = first.emplace(code, common);
    if (!inserted) {
      EXPECT_EQ(common, it->second) << r.ID << " differs from its class";
    }
    ++rowsPerCode[code];
  }
  // Row counts of the created classes.
  const std::map<std::string, int> counts{
      {"gdev", 16}, {"exit", 1},  {"i2cn", 33}, {"spis", 21}, {"m25p", 5}, {"miw7", 2},
      {"miwi", 22}, {"miws", 3},  {"s-29", 3},  {"cxso", 3},  {"m350", 1}, {"m6m8", 6},
      {"cat6", 3},  {"sdes", 1},  {"tcto", 4},  {"i2c0", 1},  {"i2c1", 1}, {"89s1", 3},
      {"89s5", 2},  {"90s2", 23}, {"cr16", 12}, {"mc05", 5},  {"05e6", 2}, {"05h1", 1},
      {"05l2", 1},  {"05p3", 2},  {"m05x", 2},  {"m705", 1},  {"11es", 3}, {"mc11", 5},
      {"11ea", 1},  {"11k4", 9},  {"908a", 12}, {"m912", 7},  {"9s12", 6}, {"s12x", 7},
      {"necf", 5},  {"tms2", 7},  {"tms3", 2},  {"st62", 3},  {"p12f", 2}, {"p16f", 27}};
  EXPECT_EQ(rowsPerCode, counts);
}

// Sizes named in the descriptions agree with the capacities: "N x W" memories,
// "E2:n" data EEPROMs (PIC images keep each EEPROM byte in a 16-bit word) and
// the program words of AVR and PIC parts.
TEST(CatalogueTable, CapacitiesMatchTheDescriptions) {
  const std::regex words(R"(^(\d+)\s*(K|k|M)?B?\s*x\s*(\d+))");
  const std::regex eeprom(R"(E2:(\d+)(KB)?)");
  auto scaled = [](const std::string& n, const std::string& unit) {
    std::uint32_t v = static_cast<std::uint32_t>(std::stoul(n));
    return unit == "M" ? v * 1048576 : unit.empty() ? v : v * 1024;
  };
  // Kept as their class publishes them: the L28's class takes 256 bytes for
  // its 240, and the 12F629 example row stops one byte short of 128 words.
  const std::set<std::string> published{"05l28_4", "p16f629"};
  for (const TDevInfo& r : Rows()) {
    const std::string code = ClassCode(r);
    std::smatch m;
    const bool mcu = std::isdigit(static_cast<unsigned char>(code[0])) || code == "cr16" ||
                     code == "necf" || code == "tms2" || code == "tms3" || code == "st62" ||
                     code == "mc05" || code == "mc11" || code == "m05x" || code == "m705" ||
                     code == "m912" || code == "s12x" || code[0] == 'p';
    if (!mcu && std::regex_search(r.Descr, m, words)) {
      const std::uint32_t count = scaled(m[1], m[2]);
      const int width = std::stoi(m[3]);
      EXPECT_EQ(r.e2cap, count * (width > 8 ? 2 : 1)) << r.ID;
      EXPECT_EQ(r.e2org, width > 8 ? 16 : 8) << r.ID;
      continue;
    }
    if (!mcu || published.count(r.ID)) continue;
    if (std::regex_search(r.Descr, m, eeprom)) {
      const std::uint32_t bytes = scaled(m[1], m[2] == "KB" ? "K" : "");
      const bool pic = code == "p16f" || code == "p12f" || code == "p16c" || code == "p12c";
      EXPECT_EQ(r.e2cap, pic ? 2 * bytes : bytes) << r.ID;
    }
    if (std::regex_search(r.Descr, m, words)) {
      const std::uint32_t programBytes = 2 * scaled(m[1], m[2]);
      if (code == "90s2") {
        EXPECT_EQ(r.MemCap, programBytes) << r.ID;
      } else if (code[0] == 'p') {
        EXPECT_EQ(r.prCap + (r.calibrStart == r.prCap ? 2 : 0), programBytes) << r.ID;
      }
    }
  }
}

// Layout numbers select dialogs that exist, and every part's EEPROM fits its image.
TEST(CatalogueTable, LayoutNumbersAndAreasStayInRange) {
  for (const TDevInfo& r : Rows()) {
    EXPECT_LE(r.Settings, 6) << r.ID;
    EXPECT_LE(r.ConfigOption, 47) << r.ID;
    EXPECT_LE(r.LockBitsOption, 47) << r.ID;
    EXPECT_LE(r.FuseBitsOption, 47) << r.ID;
    EXPECT_EQ(r.e2Opr.Contains(oFuseBits), r.FuseBitsOption != 0) << r.ID;
    const std::string code = ClassCode(r);
    if (code == "p16f" || code == "p12f" || code == "p16c" || code == "p12c") {
      EXPECT_LE(r.e2Start + r.e2cap, r.MemCap) << r.ID;
      EXPECT_LE(r.confStart + 2, r.MemCap) << r.ID;
      EXPECT_LE(r.prStart + r.prCap, r.idStart) << r.ID;
    }
  }
}

TEST_F(Catalogue, EdgeCasesOfTheTable) {
  // Two rows share an identifier; the first, ATmega16, is the one found.
  TDevice* m16 = List->FindByID("90s2m16");
  ASSERT_NE(m16, nullptr);
  EXPECT_EQ(m16->Name, "ATmega16");
  EXPECT_GE(List->IndexOfName("ATmega161"), 0);

  // The protocol entry exists but belongs to no group, so no list shows it.
  TDevice* protocol = List->FindByID("i2cnpro");
  ASSERT_NE(protocol, nullptr);
  EXPECT_TRUE(protocol->DevFilter.Empty());
  for (TDevice* d : List->ListByGroup(TDevGroup{oAllDev}))
    EXPECT_NE(d->Name, "I2C Protocol");

  // "77005" and "77007" each name a created row and a skipped one; the
  // registry holds only the created entry.
  for (const std::string name : {"77005", "77007"}) {
    std::multiset<std::string> codes;
    for (const TDevInfo& r : Rows())
      if (r.Name == name) codes.insert(ClassCode(r));
    EXPECT_EQ(codes, (std::multiset<std::string>{"ford", "miw7"})) << name;
    int entries = 0;
    for (int i = 0; i < List->Count(); ++i)
      if ((*List)[i]->Name == name) {
        ++entries;
        EXPECT_EQ(ClassCode((*List)[i]->GetDevInfo()), "miw7") << name;
      }
    EXPECT_EQ(entries, 1) << name;
  }

  // The two crystal variants of one part differ only in the crystal.
  TDevInfo a4 = List->FindByID("908az6A4")->GetDevInfo();
  TDevInfo a8 = List->FindByID("908az60A")->GetDevInfo();
  EXPECT_EQ(a4.XFreq, 4000u);
  EXPECT_EQ(a8.XFreq, 8000u);
  a4.ID = a8.ID;
  a4.Name = a8.Name;
  a4.InheritedDevName = a8.InheritedDevName;
  a4.XFreq = a8.XFreq;
  EXPECT_EQ(a4, a8);
}

TEST_F(Catalogue, VisibleAndHiddenGroups) {
  std::set<std::string> visible;
  for (TDevice* g : List->ListByOptions(TE2Opr{oDeviceGroup}))
    visible.insert(g->Name);
  EXPECT_EQ(visible,
            (std::set<std::string>{"All Devices", "EEPROM I2C", "EEPROM Microwire", "EEPROM SPI",
                                   "EEPROM Miscellaneous", "Atmel MCU", "Motorola MCU", "NSC MCU",
                                   "NEC MCU", "Microchip MCU (PIC's)", "TI MCU", "ST MCU"}));
  for (const char* hidden :
       {"Microchip Encoders (HCS)", "EPROM 27", "Parallel EEPROM 28", "Parallel Flash 29"}) {
    const int index = List->IndexOfName(hidden);
    ASSERT_GE(index, 0) << hidden;
    EXPECT_TRUE((*List)[index]->DevFilter.Contains(oHide)) << hidden;
  }
  // Every visible group shows at least one device; every listed device is in
  // exactly one visible family group besides "All Devices".
  std::map<std::string, int> groupsOf;
  for (TDevice* g : List->ListByOptions(TE2Opr{oDeviceGroup})) {
    const auto members = List->ListByGroup(g->GroupFilter);
    EXPECT_FALSE(members.empty()) << g->Name;
    if (g->Name != "All Devices")
      for (TDevice* d : members)
        ++groupsOf[d->ID + "/" + d->Name];
  }
  EXPECT_EQ(groupsOf.size(), 258u);
  for (const auto& [device, n] : groupsOf)
    EXPECT_EQ(n, 1) << device;
}

} // namespace
