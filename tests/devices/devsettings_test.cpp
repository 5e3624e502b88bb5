#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/devsettings.h"

namespace {

TDevInfo Device(std::uint16_t settings) {
  TDevInfo d;
  d.ID = "dev";
  d.Name = "DEV";
  d.Settings = settings;
  d.e2Tw = 10000;
  d.e2Tc = 50;
  d.e2Tera = 30;
  d.e2Tfw = 4500;
  d.PowerSetupTime = 100;
  d.ResetTime0 = 20;
  d.ResetTime1 = 40;
  d.I2CSlave = 0xA0;
  return d;
}

std::vector<std::string> Keys(const std::vector<TSettingsRow>& rows) {
  std::vector<std::string> keys;
  for (const auto& r : rows)
    keys.push_back(r.Key);
  return keys;
}

// The rows as loaded, with one value replaced.
std::vector<TSettingsRow> Edited(std::vector<TSettingsRow> rows, const std::string& key,
                                 const std::string& value) {
  for (auto& r : rows)
    if (r.Key == key) r.Value = value;
  return rows;
}

TEST(DeviceSettings, EachLayoutShowsItsRowsInOrder) {
  const struct {
    std::uint16_t Settings;
    std::vector<std::string> Keys;
  } cases[] = {
      {0, {}},
      {1, {"Write Time, ms", "Power Setup Time, ms", "Reset0 Time, ms", "Reset1 Time, ms"}},
      {2, {"Power Setup Time, ms", "Reset0 Time, ms", "Reset1 Time, ms"}},
      {3, {"Write Time, ms", "Power Setup Time, ms", "Clock Time, us", "Control Byte"}},
      {4, {"Write Time, ms", "Power Setup Time, ms", "Clock Time, us"}},
      {5, {"Write Time, ms", "Chip Erase Time, ms", "Power Setup Time, ms", "Clock Time, us"}},
      {6,
       {"EEPROM Write Time, ms", "Flash Write Time, ms", "Chip Erase Time, ms",
        "Power Setup Time, ms", "Clock Time, us", "Reset Time, ms"}},
      {7, {}},
  };
  for (const auto& c : cases) {
    TDevInfo d = Device(c.Settings);
    TDeviceSettings s;
    EXPECT_EQ(Keys(s.LoadDevice(d)), c.Keys) << c.Settings;
    EXPECT_EQ(s.Device(), &d);
  }
}

TEST(DeviceSettings, ShowsAndStoresWithTheRowsConversions) {
  const struct {
    std::uint16_t Settings;
    const char* Key;
    const char* Shown;
    const char* Entered;
    std::uint32_t TDevInfo::*Field32;
    std::uint16_t TDevInfo::*Field16;
    std::uint8_t TDevInfo::*Field8;
    std::uint32_t Stored;
  } cases[] = {
      {1, "Write Time, ms", "10", "12", &TDevInfo::e2Tw, nullptr, nullptr, 12000},
      {4, "Clock Time, us", "100", "7", &TDevInfo::e2Tc, nullptr, nullptr, 3},
      {3, "Control Byte", "$A0", "$A2", nullptr, nullptr, &TDevInfo::I2CSlave, 0xA2},
      {3, "Control Byte", "$A0", "0xa4", nullptr, nullptr, &TDevInfo::I2CSlave, 0xA4},
      {3, "Control Byte", "$A0", " 166 ", nullptr, nullptr, &TDevInfo::I2CSlave, 0xA6},
      {5, "Chip Erase Time, ms", "30", "250", &TDevInfo::e2Tera, nullptr, nullptr, 250},
      {6, "EEPROM Write Time, ms", "10", "9", &TDevInfo::e2Tw, nullptr, nullptr, 9000},
      {6, "Flash Write Time, ms", "4", "5", &TDevInfo::e2Tfw, nullptr, nullptr, 5000},
      {6, "Reset Time, ms", "20", "0", nullptr, &TDevInfo::ResetTime0, nullptr, 0},
      {2, "Reset1 Time, ms", "40", "65535", nullptr, &TDevInfo::ResetTime1, nullptr, 65535},
      {2, "Power Setup Time, ms", "100", "+250", nullptr, &TDevInfo::PowerSetupTime, nullptr, 250},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Key) + " <- " + c.Entered);
    TDevInfo d = Device(c.Settings);
    TDeviceSettings s;
    auto rows = s.LoadDevice(d);
    bool found = false;
    for (const auto& r : rows)
      if (r.Key == c.Key) {
        found = true;
        EXPECT_EQ(r.Value, c.Shown);
      }
    ASSERT_TRUE(found);
    ASSERT_TRUE(s.StoreDevice(Edited(rows, c.Key, c.Entered))) << s.Error();
    std::uint32_t stored = c.Field32 ? d.*c.Field32 : c.Field16 ? d.*c.Field16 : d.*c.Field8;
    EXPECT_EQ(stored, c.Stored);
    EXPECT_TRUE(s.Error().empty());
  }
}

TEST(DeviceSettings, UntouchedRowsKeepTheirExactValues) {
  // 100 us shows as 0 ms and 4500 us as 4 ms: storing the shown text back
  // would lose the device's write times.
  TDevInfo d = Device(6);
  d.e2Tw = 100;
  d.e2Tc = 1;
  TDevInfo before = d;
  TDeviceSettings s;
  auto rows = s.LoadDevice(d);
  EXPECT_EQ(rows[0].Value, "0");
  ASSERT_TRUE(s.StoreDevice(rows)) << s.Error();
  EXPECT_EQ(d, before);

  ASSERT_TRUE(s.StoreDevice(Edited(rows, "Chip Erase Time, ms", "40")));
  EXPECT_EQ(d.e2Tera, 40u);
  EXPECT_EQ(d.e2Tw, 100u);
  EXPECT_EQ(d.e2Tfw, 4500u);
}

TEST(DeviceSettings, ABadRowStoresNothingAndNamesTheRow) {
  const struct {
    std::uint16_t Settings;
    const char* Key;
    const char* Entered;
    int Row;
  } cases[] = {
      {1, "Write Time, ms", "abc", 0},
      {1, "Write Time, ms", "", 0},
      {1, "Write Time, ms", "12.5", 0},
      {1, "Write Time, ms", "0", 0},       // a write cycle needs time
      {1, "Write Time, ms", "2147484", 0}, // x1000 leaves the field
      {1, "Reset1 Time, ms", "-1", 3},
      {2, "Power Setup Time, ms", "65536", 0}, // word field
      {2, "Reset0 Time, ms", "99999999999999999999999", 1},
      {3, "Control Byte", "$100", 3}, // byte field
      {3, "Control Byte", "A2", 3},   // hexadecimal needs its "$"
      {3, "Control Byte", "$", 3},
      {4, "Clock Time, us", "1", 2}, // would store a zero half period
      {4, "Clock Time, us", "-8", 2},
      {5, "Chip Erase Time, ms", "2147483648", 1},
      {6, "Flash Write Time, ms", "0x", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Key) + " <- " + c.Entered);
    TDevInfo d = Device(c.Settings);
    const TDevInfo before = d;
    TDeviceSettings s;
    auto rows = s.LoadDevice(d);
    // Every other row is changed to a good value first: none of them may land.
    for (auto& r : rows)
      if (r.Key != c.Key) r.Value = r.Key == "Control Byte" ? "$A6" : "7";
    EXPECT_FALSE(s.StoreDevice(Edited(rows, c.Key, c.Entered)));
    EXPECT_EQ(d, before);
    EXPECT_EQ(s.ErrorRow(), c.Row);
    EXPECT_EQ(s.Error().rfind(c.Key, 0), 0u) << s.Error();
  }
}

TEST(DeviceSettings, StoringNeedsALoadedDeviceAndEveryRow) {
  TDeviceSettings s;
  EXPECT_FALSE(s.StoreDevice({{"Write Time, ms", "5"}}));
  EXPECT_FALSE(s.Error().empty());

  TDevInfo d = Device(4);
  const TDevInfo before = d;
  auto rows = s.LoadDevice(d);
  rows[0].Value = "20";
  rows.pop_back(); // the clock row is gone
  EXPECT_FALSE(s.StoreDevice(rows));
  EXPECT_EQ(d, before);
  EXPECT_EQ(s.ErrorRow(), 2);
}

} // namespace
