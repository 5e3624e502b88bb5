#include "simfixture.h"

#include <cmath>

#include "sim/pinmodel.h"
#include "sim/targetpart.h"

namespace {

constexpr double CountsPerVolt = 62.0606;
std::uint16_t Counts(double volts) {
  return static_cast<std::uint16_t>(std::nearbyint(volts * CountsPerVolt));
}

enum : std::uint8_t { L = 0, H = 1, Z = 2 };

class BaseCommands : public TSimFixture {
protected:
  void SetUp() override { Start({}); }

  void Start(const TModuleConfig& config) {
    PlugModule(config);
    Install();
  }

  TExchange SetPins(std::uint8_t p1, std::array<std::uint8_t, 6> logic, std::uint8_t p9) {
    TFrameBytes r = Request(CmdSetPins);
    r[8] = p1;
    for (int i = 0; i < 6; ++i)
      r[9 + i] = logic[i];
    r[15] = p9;
    return Exchange(r);
  }

  // Pin check with a window per pin (volts); noStop adds the flag to P1..P8.
  TExchange CheckPins(const std::array<double, 16>& limits, bool noStop = false) {
    TFrameBytes r = Request(CmdCheckPins);
    for (int pin = 0; pin < 8; ++pin) {
      std::uint16_t low = Counts(limits[2 * pin]);
      if (noStop && pin < 7) low |= PinLimitNoStopFlag;
      Put16(r, 32 + 4 * pin, low);
      Put16(r, 34 + 4 * pin, Counts(limits[2 * pin + 1]));
    }
    return Exchange(r);
  }

  // Measures every pin with limits that cannot fail: wide windows for P1 and
  // P9, and an empty undefined zone for the logic pins.
  std::array<std::uint16_t, 8> Measure() {
    std::array<double, 16> wide{};
    wide[2 * PinP1 + 1] = wide[2 * PinP9 + 1] = 500;
    const TExchange x = CheckPins(wide);
    EXPECT_EQ(x.Status(), 0);
    std::array<std::uint16_t, 8> counts{};
    for (int pin = 0; pin < 8; ++pin)
      counts[pin] = Get16(x.Reply, 32 + 4 * pin);
    return counts;
  }

  std::uint8_t Levels() {
    const TExchange x = Exchange(Request(CmdReadPinLevels, 0x0001BB00));
    EXPECT_EQ(x.Status(), 0);
    return x.Reply[8];
  }
};

// Tools' limits: P1 6.0..13.5, logic pins 0.9..2.0, P9 4.5..5.25.
constexpr std::array<double, 16> ToolLimits = {6.0, 13.5, 0.9, 2.0, 0.9, 2.0, 0.9, 2.0,
                                               0.9, 2.0,  0.9, 2.0, 0.9, 2.0, 4.5, 5.25};

TEST_F(BaseCommands, SetPinsDrivesAndReportsLevelsAndVoltages) {
  struct TCase {
    const char* Name;
    bool J1;
    std::uint8_t P1;
    std::array<std::uint8_t, 6> Logic; // P2 P3 P4 P6 P7 P8
    std::uint8_t P9;
    std::uint8_t Levels;
    std::array<double, 8> Volts; // P1 P2 P3 P4 P6 P7 P8 P9
  };
  const TCase cases[] = {
      {"idle", true, 0, {Z, Z, Z, Z, Z, Z}, 0, 0x00, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"P1 8 V", true, 15, {Z, Z, Z, Z, Z, Z}, 0, 0x00, {8, 0, 0, 0, 0, 0, 0, 0}},
      {"P1 13 V", true, 1, {Z, Z, Z, Z, Z, Z}, 0, 0x00, {13, 0, 0, 0, 0, 0, 0, 0}},
      {"supply, pull-ups on P2 P6",
       true,
       0,
       {Z, Z, Z, Z, Z, Z},
       1,
       0x30,
       {0, 3.5, 0, 0, 3.5, 0, 0, 5}},
      {"all low", true, 0, {L, L, L, L, L, L}, 1, 0x00, {0, 0, 0, 0, 0, 0, 0, 5}},
      {"all high", true, 0, {H, H, H, H, H, H}, 1, 0xF3, {0, 5, 5, 5, 5, 5, 5, 5}},
      {"P3 and P8 high", true, 9, {L, H, L, Z, L, H}, 0, 0x82, {10, 0, 5, 0, 0, 0, 5, 0}},
      {"3.3 V supply", false, 0, {Z, Z, Z, Z, Z, Z}, 1, 0x30, {0, 2.9, 0, 0, 2.9, 0, 0, 3.3}},
      {"3.3 V high", false, 0, {H, H, H, H, H, H}, 1, 0xF3, {0, 3.3, 3.3, 3.3, 3.3, 3.3, 3.3, 3.3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Module->Pins().SetJumperJ1(c.J1);
    const TExchange x = SetPins(c.P1, c.Logic, c.P9);
    ASSERT_EQ(x.Read, TUsbStatus::Ok);
    EXPECT_EQ(x.Echo(), CmdSetPins);
    EXPECT_EQ(x.Status(), 0);
    EXPECT_EQ(x.Reply[8], c.Levels);
    EXPECT_EQ(Levels(), c.Levels);
    const auto counts = Measure();
    for (int pin = 0; pin < 8; ++pin)
      EXPECT_EQ(counts[pin], Counts(c.Volts[pin])) << "pin " << pin;
  }
}

TEST_F(BaseCommands, SetPinsRefusesBadCodesAndChangesNothing) {
  ASSERT_EQ(SetPins(15, {H, L, H, L, H, L}, 1).Status(), 0);
  const std::uint8_t before = Levels();
  const auto volts = Measure();
  struct TBad {
    std::uint8_t P1;
    std::array<std::uint8_t, 6> Logic;
    std::uint8_t P9;
  };
  const TBad bad[] = {{2, {Z, Z, Z, Z, Z, Z}, 0},
                      {16, {Z, Z, Z, Z, Z, Z}, 0},
                      {0, {Z, Z, 3, Z, Z, Z}, 0},
                      {0, {Z, Z, Z, Z, Z, Z}, 2}};
  for (const auto& b : bad) {
    const TExchange x = SetPins(b.P1, b.Logic, b.P9);
    EXPECT_EQ(x.Status(), 2);
    EXPECT_EQ(x.Reply[8], 0);
    EXPECT_EQ(Levels(), before);
  }
  EXPECT_EQ(Measure(), volts);
}

TEST_F(BaseCommands, SupplyAndReleaseCommands) {
  ASSERT_EQ(Exchange(Request(CmdPowerOn)).Status(), 0);
  EXPECT_EQ(Levels(), 0x30) << "pull-ups follow the supply";
  EXPECT_EQ(Measure()[PinP9], 310); // 5 V, as the host reads back 4.995 V
  ASSERT_EQ(Exchange(Request(CmdPowerOff)).Status(), 0);
  EXPECT_EQ(Levels(), 0x00);

  ASSERT_EQ(SetPins(1, {H, H, H, H, H, H}, 1).Status(), 0);
  const TExchange x = Exchange(Request(CmdReleasePins));
  EXPECT_EQ(x.Echo(), CmdReleasePins);
  EXPECT_EQ(x.Status(), 0);
  EXPECT_EQ(Measure(), (std::array<std::uint16_t, 8>{})) << "released: no Vpp, no supply";
}

TEST_F(BaseCommands, CheckPinsAgainstLimitsAndTheNoStopFlag) {
  struct TCase {
    const char* Name;
    bool J1;
    std::uint8_t P1;
    std::uint8_t P9;
    std::array<double, 16> Limits;
    bool NoStop;
    std::uint8_t Status;
    std::array<std::uint8_t, 8> Checks; // P1 P2 P3 P4 P6 P7 P8 P9
    bool PoweredAfter;
  };
  constexpr std::array<double, 16> P1at9 = {8.7, 9.3, 0.9, 2.0, 0.9, 2.0, 0.9, 2.0,
                                            0.9, 2.0, 0.9, 2.0, 0.9, 2.0, 4.5, 5.25};
  const TCase cases[] = {
      {"idle module passes the tools' limits",
       true,
       0,
       0,
       ToolLimits,
       false,
       0,
       {0, 1, 1, 1, 1, 1, 1, 0},
       false},
      {"powered at 5 V", true, 0, 1, ToolLimits, false, 0, {0, 1, 1, 1, 1, 1, 1, 1}, true},
      {"3.3 V supply against 5 V limits stops",
       false,
       0,
       1,
       ToolLimits,
       false,
       5,
       {0, 1, 1, 1, 1, 1, 1, 2},
       false},
      {"the flag never spares P9",
       false,
       0,
       1,
       ToolLimits,
       true,
       5,
       {0, 1, 1, 1, 1, 1, 1, 2},
       false},
      {"Vpp outside its window stops",
       true,
       15,
       1,
       P1at9,
       false,
       6,
       {2, 1, 1, 1, 1, 1, 1, 1},
       false},
      {"Vpp outside with the flag goes on",
       true,
       15,
       1,
       P1at9,
       true,
       0,
       {2, 1, 1, 1, 1, 1, 1, 1},
       true},
      {"P9 wins over P1", false, 15, 1, P1at9, false, 5, {2, 1, 1, 1, 1, 1, 1, 2}, false},
      {"Vpp inside", true, 11, 1, P1at9, false, 0, {1, 1, 1, 1, 1, 1, 1, 1}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Module->Pins().SetJumperJ1(c.J1);
    ASSERT_EQ(SetPins(c.P1, {Z, Z, Z, Z, Z, Z}, c.P9).Status(), 0);
    const TExchange x = CheckPins(c.Limits, c.NoStop);
    EXPECT_EQ(x.Echo(), CmdCheckPins);
    EXPECT_EQ(x.Status(), c.Status);
    for (int pin = 0; pin < 8; ++pin)
      EXPECT_EQ(x.Reply[35 + 4 * pin], c.Checks[pin]) << pin;
    // The result block is filled whatever the status.
    EXPECT_EQ(Get16(x.Reply, 32 + 4 * PinP9), c.P9 ? Counts(c.J1 ? 5.0 : 3.3) : 0);
    EXPECT_EQ(Get16(x.Reply, 32 + 4 * PinP1), Counts(TPinModel::P1CodeVolts(c.P1)));
    EXPECT_EQ(x.Reply[34 + 4 * PinP2], c.P9 ? 1 : 0) << "P2 level";
    EXPECT_EQ(Module->Pins().SupplyOn(), c.PoweredAfter);
  }
}

// A part that holds P3 low, as a stuck line would.
class THoldsP3Low : public TTargetPart {
public:
  TTargetDrive Drive(int pin) const override {
    return pin == PinP3 ? TTargetDrive::Low : TTargetDrive::None;
  }
};

TEST_F(BaseCommands, LogicPinInTheUndefinedZoneIsBad) {
  Module->AttachTarget(std::make_shared<THoldsP3Low>());
  ASSERT_EQ(SetPins(0, {Z, Z, Z, Z, Z, Z}, 1).Status(), 0);
  EXPECT_EQ(Levels(), 0x30) << "P3 held low reads low";
  ASSERT_EQ(SetPins(0, {Z, H, Z, Z, Z, Z}, 1).Status(), 0);
  EXPECT_EQ(Measure()[PinP3], Counts(TPinModel::ContentionVolts)) << "driven against the part";

  for (bool noStop : {true, false}) {
    SCOPED_TRACE(noStop ? "no stop" : "stop");
    ASSERT_EQ(SetPins(0, {Z, H, Z, Z, Z, Z}, 1).Status(), 0);
    const TExchange x = CheckPins(ToolLimits, noStop);
    EXPECT_EQ(x.Status(), noStop ? 0 : 5);
    EXPECT_EQ(x.Reply[35 + 4 * PinP3], 2);
    EXPECT_EQ(x.Reply[35 + 4 * PinP4], 1);
  }
}

TEST_F(BaseCommands, SerialLinkSettingsAreStored) {
  TFrameBytes bitRate = Request(CmdSetBitRate, 206);
  Put16(bitRate, 8, 412);
  Put16(bitRate, 10, 206);
  EXPECT_EQ(Exchange(bitRate).Status(), 0);
  EXPECT_EQ(Exchange(Request(CmdSetWaitTime, 4565793)).Status(), 0);
  EXPECT_FALSE(Module->SerialLink().Started);
  EXPECT_EQ(Exchange(Request(CmdStartSerialLinkAlt)).Status(), 0);
  const TSerialLinkSettings& s = Module->SerialLink();
  EXPECT_EQ(s.Divider, 412);
  EXPECT_EQ(s.HalfDivider, 206);
  EXPECT_EQ(s.HalfDivider32, 206u);
  EXPECT_EQ(s.WaitTime, 4565793u);
  EXPECT_TRUE(s.Started);
  EXPECT_TRUE(s.Alternate);
  EXPECT_EQ(Exchange(Request(CmdStartSerialLink)).Status(), 0);
  EXPECT_FALSE(Module->SerialLink().Alternate);
  // A module load restarts the firmware and forgets them.
  ASSERT_TRUE(LoadModule(tmEEPROM));
  EXPECT_FALSE(Module->SerialLink().Started);
  EXPECT_EQ(Module->SerialLink().Divider, 0);
}

TEST_F(BaseCommands, IdentificationCarriesPodIdAndSerialNumber) {
  struct TCase {
    std::uint32_t Serial;
    std::uint8_t TopBits;
    std::array<std::uint8_t, 4> Bytes12;
  };
  const TCase cases[] = {{0x02345678, 0xF, {0x78, 0x56, 0x34, 0xF2}},
                         {0x0123ABCD, 0x0, {0xCD, 0xAB, 0x23, 0x01}},
                         {0xFFFFFFFF, 0x5, {0xFF, 0xFF, 0xFF, 0x5F}}};
  for (const auto& c : cases) {
    TModuleConfig config;
    config.SerialNumber = c.Serial;
    config.IdTopBits = c.TopBits;
    Start(config);
    const TExchange x = Exchange(Request(CmdIdentify));
    EXPECT_EQ(x.Echo(), CmdIdentify);
    EXPECT_EQ(x.Status(), 0);
    EXPECT_EQ(x.Length, 64u);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(x.Reply[8 + i], config.PodId[i]);
      EXPECT_EQ(x.Reply[12 + i], c.Bytes12[i]) << i;
    }
  }
}

TEST_F(BaseCommands, UnknownWordsOfBaseGroupsAreFrameErrors) {
  for (std::uint16_t command :
       {0x0003, 0x0005, 0x0007, 0x0009, 0x00FF, 0x3000, 0x3008, 0x4000, 0x4001, 0x4003}) {
    const TExchange x = Exchange(Request(command));
    EXPECT_EQ(x.Echo(), command);
    EXPECT_EQ(x.Status(), 2) << command;
  }
}

} // namespace
