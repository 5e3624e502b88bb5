#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "devices/connection.h"
#include "devices/taskexec.h"
#include "link/debugwnd.h"
#include "link/fwimages.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/virtualmodule.h"
#include "support/recorderservices.h"

namespace {

const std::string BootQuestion =
    "Boot EEPROM Update|USB Module Boot Eeprom\rmust be updated. Continue?";
const std::string ReconnectBox = "Information|Please reconnect the USB Module then restart\rthe "
                                 "Korvane Device Programmer software";
const std::string OldFirmwareBox = "Warning|An old firmware version is detected!\rPlease reconnect "
                                   "the USB Module then restart\rthe Korvane Device Programmer "
                                   "software";
// The range ends at the size of the boot EEPROM image we carry.
std::string BootRange() {
  char buf[32];
  std::snprintf(buf, sizeof buf, " Range: 0 - %02X",
                static_cast<unsigned>(DecodeImage(BootEepromImage()).size()));
  return buf;
}

class Lifecycle : public ::testing::Test {
protected:
  void SetUp() override {
    Driver = std::make_unique<TEzUsbDriver>(Backend);
    SetUsbDriver(Driver.get());
    Link().Close();
    Link().CurrentModule = tmNone;
    StartLink();
    TaskForm().ProgramConfirmation = true;
  }
  void TearDown() override {
    Link().Close();
    Link().CurrentModule = tmNone;
    Link().OnError = nullptr;
    UsbDriver().OnDeviceChange = nullptr;
    SetUsbDriver(nullptr);
    UsbConList().RefreshConnections();
  }

  // Plugs a module; unless announced, the arrival handler does not search, so
  // the module still shows its plug-time strings to the test's own search.
  std::shared_ptr<TVirtualModule> Plug(TPersonality p, bool announce = false) {
    TModuleConfig cfg;
    cfg.Personality = p;
    return PlugConfig(cfg, announce);
  }
  std::shared_ptr<TVirtualModule> PlugStrings(const TModuleStrings& s) {
    TModuleConfig cfg;
    cfg.Strings = s;
    return PlugConfig(cfg, false);
  }
  std::shared_ptr<TVirtualModule> PlugConfig(const TModuleConfig& cfg, bool announce) {
    auto m = Backend.Plug(cfg);
    auto arrival = DebugWin().OnUSBArrival;
    if (!announce) DebugWin().OnUSBArrival = nullptr;
    Backend.PollEvents();
    DebugWin().OnUSBArrival = arrival;
    return m;
  }

  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  TVirtualBackend Backend;
  std::unique_ptr<TEzUsbDriver> Driver;
};

TEST_F(Lifecycle, EachPersonalityTakesItsBranch) {
  struct Case {
    TPersonality Personality;
    std::vector<TAnswer> Answers;
    bool Found;
    std::vector<std::string> Boxes;
    bool Opened;
  } cases[] = {
      {TPersonality::KvBoot, {}, true, {}, true},
      {TPersonality::KvSp, {}, true, {}, true},
      {TPersonality::KvSpOld, {}, false, {OldFirmwareBox}, true},
      {TPersonality::Blank, {TAnswer::No}, false, {BootQuestion}, true},
      {TPersonality::KvBootOld, {TAnswer::Cancel}, false, {BootQuestion}, true},
      {TPersonality::OtherMaker, {}, false, {}, false},
  };
  for (const auto& c : cases) {
    Backend.UnplugAll();
    Backend.PollEvents();
    Rec.Reset();
    Plug(c.Personality);
    Rec.Answers.assign(c.Answers.begin(), c.Answers.end());
    EXPECT_EQ(FindModule(), c.Found) << PersonalityName(c.Personality);
    EXPECT_EQ(Rec.Boxes, c.Boxes) << PersonalityName(c.Personality);
    EXPECT_EQ(Link().Opened(), c.Opened) << PersonalityName(c.Personality);
    EXPECT_TRUE(Rec.Lines.empty() || c.Opened) << PersonalityName(c.Personality);
  }
}

TEST_F(Lifecycle, StartUpInstallsTheFirmwareAndIdentifiesThePod) {
  auto m = Plug(TPersonality::KvBoot);
  EXPECT_TRUE(StartUpSearch());
  EXPECT_TRUE(m->AnswersFrames());
  EXPECT_EQ(m->LoadedModule(), tmMotorola);
  EXPECT_EQ(Rec.Errors, 0);
  EXPECT_FALSE(Rec.Lines.empty()); // the pod identification
}

TEST_F(Lifecycle, NoModuleAtStartSaysNotFound) {
  EXPECT_FALSE(StartUpSearch());
  EXPECT_FALSE(Link().Opened());
  ASSERT_FALSE(Rec.Lines.empty());
  EXPECT_EQ(Rec.Lines.front(), "Programmer not Found 1001");
}

TEST_F(Lifecycle, TheFirstAcceptableModuleIsUsed) {
  Plug(TPersonality::OtherMaker);
  auto second = Plug(TPersonality::KvSp);
  Plug(TPersonality::KvBoot);
  EXPECT_TRUE(FindModule());
  EXPECT_EQ(Link().DeviceName(), "EZUSB-1");
  Rec.Reset();
  Link().InitModule();
  EXPECT_TRUE(second->AnswersFrames());
}

TEST_F(Lifecycle, StringsAreComparedInUpperCaseAndBadVersionsAreSkipped) {
  PlugStrings({"Morlisk", "KORVANE", "1", "kvsp", "NaN"});        // skipped: no number
  PlugStrings({"MORLISK", "korvane", "2", "KVFOO", "268435456"}); // skipped: other kind
  PlugStrings({"morlisk", "Korvane", "3", "kvboot", "268435456"});
  EXPECT_TRUE(FindModule());
  EXPECT_EQ(Link().DeviceName(), "EZUSB-2");
}

TEST_F(Lifecycle, ArrivalSearchesOnlyWhileNoModuleIsOpen) {
  Plug(TPersonality::KvBoot, true);
  ASSERT_EQ(Rec.Lines.size(), 2u);
  EXPECT_EQ(Rec.Lines[0], "USB Module Connected");
  EXPECT_TRUE(Link().Opened());
  const std::string first = Link().DeviceName();

  Rec.Reset();
  Plug(TPersonality::KvBoot, true); // ignored while one is open
  EXPECT_TRUE(Rec.Lines.empty());
  EXPECT_EQ(Link().DeviceName(), first);

  Rec.Reset();
  Backend.Unplug(*Backend.Modules().back());
  Backend.PollEvents();
  EXPECT_EQ(Rec.Lines, (std::vector<std::string>{"USB Module Disconnected"}));
  EXPECT_TRUE(Link().Opened()); // its own module is still there
}

TEST_F(Lifecycle, TransportErrorLines) {
  struct Case {
    int Code;
    const char* Line;
  } cases[] = {{1000, "EZUSB-0Programmer not respond 1000"},
               {1001, "EZUSB-0Programmer not Found 1001"},
               {1004, "EZUSB-0Error: 1004"},
               {19, "EZUSB-0Error: 19"}};
  for (const auto& c : cases)
    EXPECT_EQ(LinkErrorLine("EZUSB-0", c.Code), c.Line);
}

TEST_F(Lifecycle, BlankModuleGetsItsBootEepromWrittenAndVerified) {
  auto m = Plug(TPersonality::Blank);
  Rec.Answers = {TAnswer::Yes, TAnswer::Yes}; // the update, then "Program?"
  EXPECT_FALSE(FindModule());
  EXPECT_EQ(Rec.Boxes, (std::vector<std::string>{BootQuestion, "Confirm|Program?", ReconnectBox}));
  ASSERT_FALSE(Rec.Lines.empty());
  EXPECT_EQ(Rec.Lines.back(), "Programming: Success  Device: USB Module Boot EEPROM" + BootRange());
  EXPECT_EQ(Rec.StatusLines.back(), " Verifying... Success");
  const std::vector<std::uint8_t> image = DecodeImage(BootEepromImage());
  ASSERT_FALSE(image.empty());
  EXPECT_TRUE(std::equal(image.begin(), image.end(), m->BootEeprom().begin()));
}

TEST_F(Lifecycle, BootEepromWriteFailingAtAnOffsetStopsBeforeVerifying) {
  auto m = Plug(TPersonality::Blank);
  Rec.Answers = {TAnswer::Yes, TAnswer::Yes};
  int pumps = 0;
  Rec.OnPump = [&] {
    // After the block at offset 16 the module goes: the write at 32 fails.
    if (++pumps == 2) Backend.Unplug(*m);
  };
  EXPECT_FALSE(FindModule());
  Rec.OnPump = nullptr;
  EXPECT_EQ(TaskForm().TaskResult, trDevWriteError);
  EXPECT_EQ(TaskForm().ErrorCount, 1);
  EXPECT_EQ(Rec.Lines.back(),
            "Programming:  1 Errors Found  Device: USB Module Boot EEPROM" + BootRange());
  for (const auto& s : Rec.StatusLines)
    EXPECT_EQ(s.find("Verifying"), std::string::npos) << s;
  EXPECT_EQ(Rec.Boxes.back(), ReconnectBox);
  const std::vector<std::uint8_t> image = DecodeImage(BootEepromImage());
  const auto& eeprom = m->BootEeprom();
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 32, eeprom.begin()));
  EXPECT_FALSE(std::equal(image.begin() + 32, image.begin() + 48, eeprom.begin() + 32));
}

TEST(FirmwareVersion, ParsesDecimalAndHexOnly) {
  struct Case {
    const char* Text;
    std::optional<std::uint32_t> Value;
  } cases[] = {{"268435456", 0x10000000u},  {"$10000000", 0x10000000u},
               {"0x0F000005", 0x0F000005u}, {" 42 ", 42u},
               {"", std::nullopt},          {"12ab", std::nullopt},
               {"-1", std::nullopt},        {"99999999999", std::nullopt}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseFirmwareVersion(c.Text), c.Value) << c.Text;
}

} // namespace
