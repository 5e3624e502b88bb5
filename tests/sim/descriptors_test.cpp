#include "simfixture.h"

#include "link/fwheader.h"

namespace {

class Descriptors : public TSimFixture {};

TEST_F(Descriptors, DeviceDescriptorNamesTheFx2AndIsCutToTheRequest) {
  PlugModule();
  std::uint8_t buf[64] = {0};
  std::uint32_t n = 0;
  ASSERT_EQ(Port->Control(0x80, 6, 0x0100, 0, buf, 64, TimeoutMs, n), TUsbStatus::Ok);
  ASSERT_EQ(n, 18u);
  EXPECT_EQ(buf[0], 18);
  EXPECT_EQ(buf[1], 1);
  EXPECT_EQ(buf[8] | (buf[9] << 8), 0x04B4);
  EXPECT_EQ(buf[10] | (buf[11] << 8), 0x8613);
  EXPECT_EQ(buf[17], 1); // one configuration
  ASSERT_EQ(Port->Control(0x80, 6, 0x0100, 0, buf, 8, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_EQ(n, 8u);
}

struct TEndpoint {
  int Alt;
  std::uint8_t Address;
  std::uint8_t Type;
  std::uint16_t MaxPacket;
};

TEST_F(Descriptors, ConfigurationHasAnEmptyAndACommandAlternateSetting) {
  PlugModule();
  std::uint8_t head[9] = {0};
  std::uint32_t n = 0;
  ASSERT_EQ(Port->Control(0x80, 6, 0x0200, 0, head, 9, TimeoutMs, n), TUsbStatus::Ok);
  ASSERT_EQ(n, 9u);
  const std::uint16_t total = static_cast<std::uint16_t>(head[2] | (head[3] << 8));
  std::vector<std::uint8_t> all(total);
  ASSERT_EQ(Port->Control(0x80, 6, 0x0200, 0, all.data(), total, TimeoutMs, n), TUsbStatus::Ok);
  ASSERT_EQ(n, total);

  std::vector<TEndpoint> endpoints;
  std::vector<int> alts;
  int alt = -1;
  for (std::size_t at = 0; at + 1 < all.size() && all[at] != 0; at += all[at]) {
    if (all[at + 1] == 2) {
      EXPECT_EQ(all[at + 5], 1) << "configuration value";
    }
    if (all[at + 1] == 4) {
      EXPECT_EQ(all[at + 2], 0) << "interface number";
      alt = all[at + 3];
      alts.push_back(alt);
    }
    if (all[at + 1] == 5)
      endpoints.push_back({alt, all[at + 2], static_cast<std::uint8_t>(all[at + 3] & 3),
                           static_cast<std::uint16_t>(all[at + 4] | (all[at + 5] << 8))});
  }
  EXPECT_EQ(alts, (std::vector<int>{0, 1}));
  ASSERT_EQ(endpoints.size(), 3u);
  const TEndpoint expected[] = {{1, 0x01, 2, 64}, {1, 0x81, 2, 64}, {1, 0x82, 2, 512}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(endpoints[i].Alt, expected[i].Alt);
    EXPECT_EQ(endpoints[i].Address, expected[i].Address);
    EXPECT_EQ(endpoints[i].Type, expected[i].Type);
    EXPECT_EQ(endpoints[i].MaxPacket, expected[i].MaxPacket);
  }
}

std::uint32_t VersionOf(const TFirmwareImage& raw, std::size_t at = 0) {
  const auto image = DecodeImage(raw);
  return ReadImageHeader(image.data() + at, image.size() - at)->Version;
}

TEST_F(Descriptors, StringsFollowThePersonality) {
  const std::string boot = std::to_string(VersionOf(BootEepromImage()));
  const std::string base = std::to_string(VersionOf(BaseFirmwareImage()));
  const std::string old = std::to_string(OldFirmwareVersion);
  struct TCase {
    TPersonality Personality;
    std::string Maker, Product, Serial, Kind, Version;
  };
  const TCase cases[] = {
      {TPersonality::Blank, "", "", "", "", ""},
      {TPersonality::KvBootOld, "Morlisk", "Korvane", "0123ABCD", "KVBOOT", old},
      {TPersonality::KvBoot, "Morlisk", "Korvane", "0123ABCD", "KVBOOT", boot},
      {TPersonality::KvSpOld, "Morlisk", "Korvane", "0123ABCD", "KVSP", old},
      {TPersonality::KvSp, "Morlisk", "Korvane", "0123ABCD", "KVSP", base},
  };
  for (const auto& c : cases) {
    TModuleConfig config;
    config.Personality = c.Personality;
    PlugModule(config);
    SCOPED_TRACE(PersonalityName(c.Personality));
    EXPECT_EQ(StringDescriptor(1), c.Maker);
    EXPECT_EQ(StringDescriptor(2), c.Product);
    EXPECT_EQ(StringDescriptor(3), c.Serial);
    EXPECT_EQ(StringDescriptor(7), c.Kind);
    EXPECT_EQ(StringDescriptor(8), c.Version);
    Backend.Unplug(*Module);
  }
  TModuleConfig other;
  other.Personality = TPersonality::OtherMaker;
  PlugModule(other);
  EXPECT_NE(StringDescriptor(1), "Morlisk");
  EXPECT_NE(StringDescriptor(1), "");
}

TEST_F(Descriptors, StringDescriptorLayoutAndUnknownIndices) {
  TModuleConfig config;
  config.Strings = TModuleStrings{"mOrLiSk", "Korvane", "1", "kvsp", "not a number"};
  PlugModule(config);
  std::uint8_t buf[64] = {0};
  std::uint32_t n = 0;
  // A 4-byte read gives bLength; the full read gives UTF-16LE characters.
  ASSERT_EQ(Port->Control(0x80, 6, 0x0301, 0, buf, 4, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(buf[0], 2 + 2 * 7);
  EXPECT_EQ(buf[1], 3);
  EXPECT_EQ(StringDescriptor(1), "mOrLiSk");
  EXPECT_EQ(StringDescriptor(7), "kvsp");
  EXPECT_EQ(StringDescriptor(8), "not a number");
  // Language table
  ASSERT_EQ(Port->Control(0x80, 6, 0x0300, 0, buf, 64, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(buf[2] | (buf[3] << 8), 0x0409);
  for (std::uint8_t index : {4, 5, 6, 9, 255})
    EXPECT_EQ(StringDescriptor(index), "<stall>");
}

TEST_F(Descriptors, RunningBaseFirmwareReportsWorkingFirmware) {
  TModuleConfig config;
  config.Personality = TPersonality::Blank;
  PlugModule(config);
  Install();
  EXPECT_EQ(StringDescriptor(1), "Morlisk");
  EXPECT_EQ(StringDescriptor(7), "KVSP");
  EXPECT_EQ(StringDescriptor(8), std::to_string(VersionOf(BaseFirmwareImage())));
  // Held, the base firmware no longer answers.
  ASSERT_EQ(HoldCpu(), TUsbStatus::Ok);
  EXPECT_EQ(StringDescriptor(7), "");
}

TEST_F(Descriptors, StandardRequestsSelectConfigurationAndInterface) {
  PlugModule();
  std::uint8_t b[2] = {0xEE, 0xEE};
  std::uint32_t n = 0;
  ASSERT_EQ(Port->Control(0x80, 8, 0, 0, b, 1, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_EQ(b[0], 1) << "configured at plug";
  EXPECT_EQ(Port->Control(0x01, 11, 1, 0, nullptr, 0, TimeoutMs, n), TUsbStatus::Ok);
  ASSERT_EQ(Port->Control(0x81, 10, 0, 0, b, 1, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_EQ(b[0], 1);
  struct TBad {
    std::uint8_t Interface, Alt;
  };
  for (const TBad bad : {TBad{0, 2}, TBad{1, 0}, TBad{1, 1}})
    EXPECT_EQ(Port->SetInterface(bad.Interface, bad.Alt), TUsbStatus::Stall);
  EXPECT_EQ(Module->AlternateSetting(), 1) << "a refused selection changes nothing";
  EXPECT_EQ(Port->SetConfiguration(2), TUsbStatus::Stall);
  EXPECT_EQ(Port->SetConfiguration(1), TUsbStatus::Ok);
  EXPECT_EQ(Module->AlternateSetting(), 0);
  EXPECT_EQ(Port->SetConfiguration(0), TUsbStatus::Ok);
  EXPECT_EQ(Port->SetInterface(0, 1), TUsbStatus::Stall) << "unconfigured";
}

} // namespace
