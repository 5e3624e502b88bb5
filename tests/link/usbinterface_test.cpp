#include <gtest/gtest.h>

#include "link/basecmds.h"
#include "sim/pinmodel.h"
#include "support/virtuallink.h"

namespace {

class Link : public ::testing::Test {
protected:
  TVirtualLink V;
  std::shared_ptr<TVirtualModule> M;
  TUSBInt L;
  std::vector<int> TransportErrors;

  void SetUp() override {
    L.OnError = [this](TUsbX*, const std::string&, int code) { TransportErrors.push_back(code); };
  }
  void Ready(const TModuleConfig& cfg = {}) {
    M = V.Plug(cfg);
    ASSERT_TRUE(L.Open(0));
    ASSERT_EQ(L.InitModule(), trSuccess);
    V.Rec.Reset();
    TransportErrors.clear();
  }
  void Fault(const std::string& text) {
    std::string error;
    ASSERT_TRUE(M->AddFault(text, error)) << error;
  }
};

TEST_F(Link, InitModuleInstallsAndIdentifies) {
  TModuleConfig cfg;
  cfg.SerialNumber = 0x02345678;
  cfg.IdTopBits = 0xF; // reply byte 15 = 0xF2: the top four bits are not the serial's
  M = V.Plug(cfg);
  ASSERT_TRUE(L.Open(0));
  EXPECT_EQ(L.InitModule(), trSuccess);
  EXPECT_EQ(L.CurrentModule, tmMotorola);
  EXPECT_EQ(M->LoadedModule(), tmMotorola);
  EXPECT_EQ(L.AlternateSetting, 1);
  EXPECT_EQ(L.SerialNumber, 0x02345678u);
  ASSERT_EQ(V.Rec.Lines.size(), 1u);
  EXPECT_EQ(V.Rec.Lines[0], "Found Device Programmer KVSP1, Serial Number: 02345678");
  EXPECT_EQ(V.Rec.Errors, 0);
}

TEST_F(Link, InitModuleWithoutModule) {
  UsbConList().RefreshConnections();
  EXPECT_FALSE(L.Open(0));
  EXPECT_EQ(L.InitModule(), trLoadFirmwareError);
  EXPECT_EQ(TransportErrors, std::vector<int>{UsbErrNotOpened});
  EXPECT_TRUE(V.Rec.Lines.empty()); // the transport's handler words it, not InitModule
}

TEST_F(Link, LoadModuleDownloadsOnlyOnChange) {
  Ready();
  const auto t0 = V.Now();
  EXPECT_EQ(L.LoadModule(tmMotorola), trSuccess); // loaded by InitModule
  EXPECT_EQ(V.Now(), t0) << "nothing is sent";
  EXPECT_EQ(L.LoadModule(tmScope), trSuccess);
  EXPECT_EQ(M->LoadedModule(), tmScope);
  const auto t1 = V.Now();
  EXPECT_GT(t1, t0);
  EXPECT_EQ(L.LoadModule(tmScope), trSuccess);
  EXPECT_EQ(V.Now(), t1);
  EXPECT_EQ(V.Rec.Errors, 0);
}

TEST_F(Link, InvalidModules) {
  Ready();
  for (TModule m : {tmNone, static_cast<TModule>(14), static_cast<TModule>(255)}) {
    V.Rec.Reset();
    EXPECT_EQ(L.LoadModule(m), trInvalidModule);
    EXPECT_EQ(V.Rec.Lines, std::vector<std::string>{"Invalid Module"});
    EXPECT_EQ(V.Rec.Errors, 1);
    EXPECT_EQ(L.CurrentModule, tmMotorola);
  }
}

TEST_F(Link, FailedLoadIsRetriedNextTime) {
  Ready();
  Fault("a0fail@1");
  EXPECT_EQ(L.LoadModule(tmEEPROM), trLoadModuleError);
  EXPECT_EQ(L.CurrentModule, tmNone);
  EXPECT_EQ(V.Rec.Errors, 0) << "the transport reported it";
  EXPECT_EQ(TransportErrors.size(), 1u);
  EXPECT_EQ(L.LoadModule(tmMotorola), trSuccess) << "the module below was damaged";
  EXPECT_EQ(M->LoadedModule(), tmMotorola);
  EXPECT_EQ(L.LoadModule(tmEEPROM), trSuccess);
  EXPECT_EQ(M->LoadedModule(), tmEEPROM);
}

TEST_F(Link, StatusFaultsAreMappedAndReported) {
  Ready();
  struct TCase {
    const char* Text;
    TTaskResult Result;
    std::vector<std::string> Lines;
  } cases[] = {
      {"status=9@1", trNoDetectedModules, {"No Programmers Connected to the USB Module"}},
      {"status=42@1", trDevError, {"General Error"}},
      {"status=7@1", trEchoError, {"Device not Respond"}},
      {"short@1", trUSBError, {}},
      {"noreply@1", trUSBError, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    V.Rec.Reset();
    Fault(c.Text);
    TFrame req = MakeRequest(CmdIdentify), reply{};
    EXPECT_EQ(L.SendCommand(req, reply, true), c.Result);
    EXPECT_EQ(V.Rec.Lines, c.Lines);
    EXPECT_EQ(V.Rec.Errors, 1);
    TFrame silentReq = MakeRequest(CmdIdentify);
    EXPECT_EQ(L.SendCommand(silentReq, reply, false), trSuccess) << "the link recovers";
  }
}

TEST_F(Link, StaleReplyIsNotTakenForTheNextOne) {
  Ready();
  Fault("stale@1");
  std::uint8_t levels = 0;
  EXPECT_EQ(L.SetPins(P1Off, PinHigh, PinHigh, PinHigh, PinHigh, PinHigh, PinHigh, 1, levels),
            trUSBError);
  EXPECT_EQ(TransportErrors, std::vector<int>{UsbErrTimeout});
  EXPECT_EQ(L.IdentifyProgrammer(), trSuccess);
  EXPECT_EQ(L.SerialNumber, TModuleConfig{}.SerialNumber);
  EXPECT_EQ(TransportErrors.size(), 1u) << "draining adds no error";
  EXPECT_EQ(M->PendingReplies(), 0);
}

TEST_F(Link, UnplugInTheMiddleOfACommand) {
  Ready();
  Fault("unplug@1");
  TFrame req = MakeRequest(CmdIdentify), reply{};
  EXPECT_EQ(L.SendCommand(req, reply, true), trUSBError);
  EXPECT_EQ(V.Rec.Errors, 1);
  V.Driver.PollEvents();
  EXPECT_FALSE(L.Opened());
  EXPECT_EQ(L.DevCount(), 0);
}

TEST_F(Link, BaseCommandsDriveThePins) {
  Ready();
  std::uint8_t levels = 0;
  ASSERT_TRUE(L.PowerOn());
  EXPECT_TRUE(M->Pins().SupplyOn());
  EXPECT_EQ(L.SetPins(P1_8V, PinHiZ, PinHiZ, PinHiZ, PinHiZ, PinHiZ, PinHiZ, 1, levels), trSuccess);
  EXPECT_EQ(M->Pins().P1Code(), P1_8V);
  EXPECT_EQ(levels, M->Pins().LevelByte());
  std::array<bool, 6> pinLevels{};
  EXPECT_EQ(L.ReadPinLevels(0, pinLevels), trSuccess);
  EXPECT_TRUE(pinLevels[0]) << "P2 is pulled up from P9";

  TPinResults r;
  EXPECT_EQ(L.MeasurePins(r, 0.9f, 2.0f, 4.5f, 5.25f, 6.0f, 13.5f), trSuccess);
  EXPECT_NEAR(r[0].Volts, 8.0, 0.02);
  EXPECT_EQ(TUSBInt::PinCheckText(r[0].Check), "OK");
  EXPECT_NEAR(r[7].Volts, 5.0, 0.02);
  EXPECT_EQ(TUSBInt::PinCheckText(r[7].Check), "OK");

  ASSERT_TRUE(L.PowerOff());
  ASSERT_TRUE(L.ReleasePins());
  EXPECT_FALSE(M->Pins().SupplyOn());
  EXPECT_EQ(M->Pins().P1Code(), P1Off);
}

TEST_F(Link, SerialLinkSettingsReachTheModule) {
  Ready();
  EXPECT_TRUE(L.StartSerialLink(3000, 9600));
  const auto& s = M->SerialLink();
  EXPECT_EQ(s.WaitTime, 4565793u);
  EXPECT_EQ(s.Divider, 412);
  EXPECT_EQ(s.HalfDivider, 206);
  EXPECT_EQ(s.HalfDivider32, 206u);
  EXPECT_TRUE(s.Started);
  EXPECT_FALSE(s.Alternate);
  EXPECT_TRUE(L.StartSerialLinkAlt(3000, 9600));
  EXPECT_TRUE(M->SerialLink().Alternate);
  EXPECT_EQ(V.Rec.Errors, 0);
}

TEST_F(Link, ResultsWithoutTextCountAnError) {
  for (TTaskResult r : {trUSBError, trProgramCancel, trLoadFirmwareError}) {
    V.Rec.Reset();
    L.ReportResult(r);
    EXPECT_TRUE(V.Rec.Lines.empty());
    EXPECT_EQ(V.Rec.Errors, 1);
  }
  V.Rec.Reset();
  L.ReportResult(trSuccess);
  EXPECT_EQ(V.Rec.Errors, 0);
  L.ReportProgramError(0x1A, 0x0B, 0xFF);
  EXPECT_EQ(V.Rec.Lines, std::vector<std::string>{"Program Error [1A] = 0B read FF"});
  EXPECT_EQ(V.Rec.Errors, 1);
}

} // namespace
