#include "simfixture.h"

#include "sim/fault.h"
#include "sim/pinmodel.h"

namespace {

TEST(FaultGrammar, ParsesEveryKind) {
  struct TCase {
    const char* Text;
    TFaultKind Kind;
    std::uint32_t At;
    bool Repeat;
    std::uint8_t Value;
    double Volts;
  };
  const TCase cases[] = {
      {"noreply", TFaultKind::NoReply, 1, false, 0, 0},
      {"noreply@3", TFaultKind::NoReply, 3, false, 0, 0},
      {"noreply@2+", TFaultKind::NoReply, 2, true, 0, 0},
      {"status=9@1", TFaultKind::Status, 1, false, 9, 0},
      {"status=0xFF@12", TFaultKind::Status, 12, false, 255, 0},
      {"stale@2", TFaultKind::Stale, 2, false, 0, 0},
      {"short@1", TFaultKind::Short, 1, false, 8, 0},
      {"short=0@4", TFaultKind::Short, 4, false, 0, 0},
      {"a0fail@2", TFaultKind::A0Fail, 2, false, 0, 0},
      {"unplug@4", TFaultKind::Unplug, 4, false, 0, 0},
      {"pin=P9:4.1", TFaultKind::PinVolts, 1, false, PinP9, 4.1},
      {"pin=p6:0", TFaultKind::PinVolts, 1, false, PinP6, 0},
  };
  for (const auto& c : cases) {
    TFault f;
    std::string error;
    ASSERT_TRUE(ParseFault(c.Text, f, error)) << c.Text << ": " << error;
    EXPECT_EQ(f.Kind, c.Kind) << c.Text;
    EXPECT_EQ(f.At, c.At) << c.Text;
    EXPECT_EQ(f.Repeat, c.Repeat) << c.Text;
    EXPECT_EQ(f.Value, c.Value) << c.Text;
    EXPECT_DOUBLE_EQ(f.Volts, c.Volts) << c.Text;
  }
}

TEST(FaultGrammar, RejectsBadTextWithAMessageAndKeepsTheFault) {
  const char* bad[] = {"",           "timeout@1",    "noreply@0",   "noreply@",
                       "noreply@x",  "noreply@-1",   "noreply@0x2", "noreply=3@1",
                       "status@1",   "status=256@1", "status=-1@1", "status=9@1x",
                       "short=64@1", "short=@1",     "pin=P5:1.0",  "pin=P10:1",
                       "pin=P9",     "pin=P9:abc",   "pin=P9:1@2",  "pin=P9:99",
                       "NOREPLY@1",  "noreply@1++"};
  for (const char* text : bad) {
    TFault f;
    f.Kind = TFaultKind::Stale;
    f.At = 77;
    std::string error;
    EXPECT_FALSE(ParseFault(text, f, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_EQ(f.Kind, TFaultKind::Stale) << text;
    EXPECT_EQ(f.At, 77u) << text;
  }
}

class Faults : public TSimFixture {
protected:
  void SetUp() override {
    PlugModule();
    Install();
  }

  void Add(const std::string& text) {
    std::string error;
    ASSERT_TRUE(Module->AddFault(text, error)) << error;
  }

  // Status of each of n identification exchanges; -1 for a read time-out.
  std::vector<int> Run(int n) {
    std::vector<int> statuses;
    for (int i = 0; i < n; ++i) {
      const TExchange x = Exchange(Request(CmdIdentify));
      statuses.push_back(x.Read == TUsbStatus::Timeout ? -1 : x.Status());
    }
    return statuses;
  }
};

TEST_F(Faults, FrameFaultsFireAtTheirCountFromWhenTheyWereAdded) {
  struct TCase {
    const char* Text;
    std::vector<int> Statuses;
  };
  const TCase cases[] = {
      {"noreply@2", {0, -1, 0, 0}},
      {"noreply@2+", {0, -1, -1, -1}},
      {"status=9@3", {0, 0, 9, 0}},
      {"status=42@1+", {42, 42, 42, 42}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    Module->ClearFaults();
    Run(2); // frames before the fault do not count
    Add(c.Text);
    EXPECT_EQ(Run(4), c.Statuses);
  }
}

TEST_F(Faults, NoReplyCostsTheTimeOutOnTheVirtualClock) {
  Add("noreply@1");
  const std::uint64_t before = Backend.Clock().Now();
  const TExchange x = Exchange(Request(CmdIdentify), 1234);
  EXPECT_EQ(x.Write, TUsbStatus::Ok);
  EXPECT_EQ(x.Read, TUsbStatus::Timeout);
  EXPECT_EQ(x.Length, 0u);
  EXPECT_GE(Backend.Clock().Now() - before, 1234000u);
  EXPECT_LT(Backend.Clock().Now() - before, 1235000u);
}

TEST_F(Faults, ForcedStatusStillRunsTheCommand) {
  Add("status=9@1");
  const TExchange x = Exchange(Request(CmdIdentify));
  EXPECT_EQ(x.Status(), 9);
  EXPECT_EQ(x.Echo(), CmdIdentify);
  EXPECT_EQ(x.Reply[12], 0xCD) << "the identification was filled";
}

TEST_F(Faults, StaleReplyWaitsForTheNextRead) {
  Add("stale@1");
  const TExchange first = Exchange(Request(CmdIdentify));
  EXPECT_EQ(first.Read, TUsbStatus::Timeout);
  // The late reply of 0x4002 now sits in front of the reply to 0x0008.
  const TExchange second = Exchange(Request(CmdReadPinLevels));
  EXPECT_EQ(second.Echo(), CmdIdentify);
  TFrameBytes reply{};
  std::uint32_t n = 0;
  ASSERT_EQ(Port->Bulk(0x81, reply.data(), 64, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_EQ(Get16(reply, 0), CmdReadPinLevels);
  EXPECT_EQ(Module->PendingReplies(), 0);
}

TEST_F(Faults, ResetOrAFlushingReadClearsAStaleReply) {
  Add("stale@1+");
  EXPECT_EQ(Exchange(Request(CmdIdentify)).Read, TUsbStatus::Timeout);
  EXPECT_EQ(Module->PendingReplies(), 1);
  ASSERT_EQ(Port->Reset(), TUsbStatus::Ok);
  EXPECT_EQ(Module->PendingReplies(), 0);

  Module->ClearFaults();
  Add("stale@1");
  EXPECT_EQ(Exchange(Request(CmdIdentify)).Read, TUsbStatus::Timeout);
  TFrameBytes reply{};
  std::uint32_t n = 0;
  ASSERT_EQ(Port->Bulk(0x81, reply.data(), 64, 10, n), TUsbStatus::Ok) << "flush";
  EXPECT_EQ(Port->Bulk(0x81, reply.data(), 64, 10, n), TUsbStatus::Timeout);
  EXPECT_EQ(Exchange(Request(CmdReadPinLevels)).Echo(), CmdReadPinLevels);
}

TEST_F(Faults, ShortReplyCutsTheTransfer) {
  Add("short=3@1");
  Add("short@2");
  const std::uint32_t lengths[] = {3, 8, 64};
  for (std::uint32_t expected : lengths) {
    const TExchange x = Exchange(Request(CmdIdentify));
    EXPECT_EQ(x.Read, TUsbStatus::Ok);
    EXPECT_EQ(x.Length, expected);
    EXPECT_EQ(x.Echo(), CmdIdentify);
  }
}

TEST_F(Faults, FailedFirmwareChunkLeavesTheCoreHeld) {
  Add("a0fail@2");
  TBytes image = DecodeImage(ModuleImage(tmEEPROM));
  image.resize(0x1000 + 2 * 4096 + 10, 0x55); // three chunks
  ASSERT_EQ(HoldCpu(), TUsbStatus::Ok) << "hold and run are not chunks";
  EXPECT_EQ(
      VendorOut(VrFirmwareLoad, 0x1000, 0, TBytes(image.begin() + 0x1000, image.begin() + 0x2000)),
      TUsbStatus::Ok);
  EXPECT_EQ(VendorOut(VrFirmwareLoad, 0x2000, 0, TBytes(4096, 0x55)), TUsbStatus::Stall);
  TBytes back(4);
  ASSERT_EQ(VendorIn(VrFirmwareLoad, 0x2000, 0, back), TUsbStatus::Ok);
  EXPECT_NE(back, TBytes(4, 0x55)) << "nothing written";
  EXPECT_TRUE(Module->CpuHeld());
  EXPECT_EQ(Run(1), std::vector<int>{-1});
  EXPECT_EQ(VendorOut(VrFirmwareLoad, 0x2000, 0, TBytes(16, 0x55)), TUsbStatus::Ok) << "one-shot";
}

TEST_F(Faults, UnplugInTheMiddleOfACommand) {
  std::vector<bool> events;
  Backend.OnChange = [&](bool arrival) { events.push_back(arrival); };
  Backend.PollEvents();
  events.clear();
  Add("unplug@2");
  EXPECT_EQ(Run(1), std::vector<int>{0});
  const TExchange x = Exchange(Request(CmdIdentify));
  EXPECT_EQ(x.Write, TUsbStatus::Ok) << "the request reached the module";
  EXPECT_EQ(x.Read, TUsbStatus::NoDevice);
  EXPECT_TRUE(Backend.Enumerate().empty());
  Backend.PollEvents();
  EXPECT_EQ(events, std::vector<bool>{false});
}

TEST_F(Faults, PinVoltageFaultShowsInTheCheck) {
  Add("pin=P9:4.1");
  TFrameBytes r = Request(CmdCheckPins);
  Put16(r, 32 + 4 * PinP9, 279); // 4.5 V
  Put16(r, 34 + 4 * PinP9, 326); // 5.25 V
  EXPECT_EQ(Exchange(Request(CmdPowerOn)).Status(), 0);
  const TExchange x = Exchange(r);
  EXPECT_EQ(x.Status(), 5);
  EXPECT_EQ(Get16(x.Reply, 32 + 4 * PinP9), 254); // 4.1 V
  Module->ClearFaults();
  EXPECT_EQ(Exchange(Request(CmdPowerOn)).Status(), 0);
  EXPECT_EQ(Exchange(r).Status(), 0);
}

} // namespace
