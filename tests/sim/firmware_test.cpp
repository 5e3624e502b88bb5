#include "simfixture.h"

#include "link/fwheader.h"
#include "sim/commandgroup.h"
#include "sim/firmwarecontext.h"

namespace {

// A family's command group as later work registers it: answers every command
// with a status that names the group and records its restarts.
class TEchoGroup : public TCommandGroup {
public:
  explicit TEchoGroup(std::uint8_t status) : Answer(status) {}
  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override {
    ++Frames;
    LastModule = fw.LoadedModule;
    reply[8] = request[8] ^ 0xFF;
    reply[9] = fw.Ram[ModuleDataArea]; // bulk data placed before the command
    return Answer;
  }
  void Restart(TFirmwareContext&) override { ++Restarts; }
  std::uint8_t Answer;
  int Frames = 0;
  int Restarts = 0;
  TModule LastModule = tmNone;
};

class Firmware : public TSimFixture {
protected:
  void SetUp() override { PlugModule(); }

  bool Answers() {
    const std::uint64_t before = Backend.Clock().Now();
    const TExchange x = Exchange(Request(CmdIdentify));
    if (x.Read == TUsbStatus::Timeout) {
      EXPECT_EQ(Backend.Clock().Now() - before,
                TimeoutMs * 1000ull + TVirtualModule::BulkTransferUs)
          << "the write's bus time and the read's time-out";
    }
    return x.Write == TUsbStatus::Ok && x.Read == TUsbStatus::Ok && x.Status() == 0;
  }
};

TEST_F(Firmware, VendorRequestA0WritesAndReadsRam) {
  ASSERT_EQ(VendorOut(VrFirmwareLoad, ModuleDataArea, 0, {1, 2, 3, 4}), TUsbStatus::Ok);
  TBytes back(4);
  ASSERT_EQ(VendorIn(VrFirmwareLoad, ModuleDataArea + 1, 0, back), TUsbStatus::Ok);
  EXPECT_EQ(back, (TBytes{2, 3, 4, 0}));
  EXPECT_EQ(VendorOut(VrFirmwareLoad, 0xFFFE, 0, {1, 2, 3}), TUsbStatus::Stall) << "past 64 KB";
  EXPECT_EQ(VendorOut(0xA1, 0, 0, {1}), TUsbStatus::Stall) << "unknown vendor request";
}

TEST_F(Firmware, CpuRegisterHoldsAndReleasesTheCore) {
  Install();
  EXPECT_TRUE(Answers());
  ASSERT_EQ(HoldCpu(), TUsbStatus::Ok);
  EXPECT_TRUE(Module->CpuHeld());
  EXPECT_FALSE(Answers());
  ASSERT_EQ(RunCpu(), TUsbStatus::Ok);
  EXPECT_FALSE(Module->CpuHeld());
  EXPECT_TRUE(Answers());
  // Bit 0 alone decides; a write that spans the register counts too.
  TBytes span(0x10, 0);
  span[0x0F] = 0xFF;
  ASSERT_EQ(VendorOut(VrFirmwareLoad, CpuControlRegister - 0x0F, 0, span), TUsbStatus::Ok);
  EXPECT_TRUE(Module->CpuHeld());
}

TEST_F(Firmware, NothingAnswersWithoutAValidBaseFirmware) {
  const TBytes base = DecodeImage(BaseFirmwareImage());
  TBytes badCrc = base;
  badCrc.back() ^= 0x01;
  TBytes badMagic = base;
  badMagic[0] = 'X';
  const TBytes pic = DecodeImage(ModuleImage(tmPIC));
  struct TCase {
    const char* Name;
    TBytes Image;
  };
  const TCase cases[] = {
      {"enciphered image sent as is",
       TBytes(BaseFirmwareImage().Data, BaseFirmwareImage().Data + BaseFirmwareImage().Size)},
      {"body corrupted", badCrc},
      {"no magic", badMagic},
      {"boot EEPROM image at 0", DecodeImage(BootEepromImage())},
      {"protocol module at 0", TBytes(pic.begin() + 0x1000, pic.end())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    PlugModule();
    ASSERT_TRUE(Download(c.Image, 0, 0));
    ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
    EXPECT_FALSE(Answers());
    EXPECT_EQ(Module->Strings().Kind, "KVBOOT") << "the plug strings stay";
  }
  // Fresh from the plug: the resident boot firmware answers no frames either.
  PlugModule();
  ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
  EXPECT_FALSE(Answers());
}

TEST_F(Firmware, CommandEndpointsExistOnlyInAlternateSettingOne) {
  ASSERT_TRUE(Download(DecodeImage(BaseFirmwareImage()), 0, 0));
  const TExchange x = Exchange(Request(CmdIdentify));
  EXPECT_EQ(x.Write, TUsbStatus::Error);
  EXPECT_EQ(x.Read, TUsbStatus::Error);
  ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
  EXPECT_TRUE(Answers());
}

TEST_F(Firmware, FamilyGroupsAnswerOnlyWhileTheirModuleRuns) {
  auto eeprom = std::make_shared<TEchoGroup>(0);
  auto pic = std::make_shared<TEchoGroup>(21);
  auto unlisted = std::make_shared<TEchoGroup>(0);
  Module->RegisterGroup(0x70, eeprom);
  Module->RegisterGroup(0x13, pic);
  Module->RegisterGroup(0x77, unlisted); // a group no image lists
  Install();
  EXPECT_EQ(Module->LoadedModule(), tmMotorola);

  struct TStep {
    TModule Load;
    std::uint16_t Command;
    std::uint8_t Status;
  };
  const TStep steps[] = {
      {tmMotorola, 0x7001, 2}, {tmMotorola, 0x1301, 2}, {tmEEPROM, 0x7001, 0},
      {tmEEPROM, 0x1301, 2},   {tmEEPROM, 0x6001, 2}, // listed, but no handler built yet
      {tmEEPROM, 0x7701, 2},   {tmPIC, 0x1301, 21},     {tmPIC, 0x7001, 2},
  };
  for (const auto& s : steps) {
    if (Module->LoadedModule() != s.Load) {
      ASSERT_TRUE(LoadModule(s.Load));
    }
    TFrameBytes request = Request(s.Command);
    request[8] = 0x0F;
    const TExchange x = Exchange(request);
    SCOPED_TRACE(std::string(ModuleName(s.Load)) + " " + std::to_string(s.Command));
    ASSERT_EQ(x.Read, TUsbStatus::Ok);
    EXPECT_EQ(x.Echo(), s.Command);
    EXPECT_EQ(x.Status(), s.Status);
    EXPECT_EQ(x.Reply[8], s.Status == 2 ? 0 : 0xF0);
    EXPECT_TRUE(Answers()) << "base commands survive every module change";
  }
  EXPECT_EQ(eeprom->Frames, 1);
  EXPECT_EQ(eeprom->LastModule, tmEEPROM);
  EXPECT_EQ(pic->Frames, 1);
  EXPECT_EQ(unlisted->Frames, 0);
  EXPECT_GE(eeprom->Restarts, 4) << "plug, base, and each module load restart the firmware";
}

TEST_F(Firmware, GroupsSeeTheDataAreaWrittenBeforeTheCommand) {
  auto eeprom = std::make_shared<TEchoGroup>(0);
  Module->RegisterGroup(0x70, eeprom);
  Install();
  ASSERT_TRUE(LoadModule(tmEEPROM));
  ASSERT_EQ(VendorOut(VrFirmwareLoad, ModuleDataArea, 0, {0x5C}), TUsbStatus::Ok);
  EXPECT_EQ(Exchange(Request(0x7002)).Reply[9], 0x5C);
}

TEST_F(Firmware, ModuleWithoutBaseFirmwareAnswersNothing) {
  ASSERT_TRUE(LoadModule(tmEEPROM));
  ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
  EXPECT_FALSE(Answers());
}

TEST_F(Firmware, BootEepromIsReachableOnlyWhileTheBootUpdaterRuns) {
  TModuleConfig config;
  config.Personality = TPersonality::Blank;
  PlugModule(config);
  TBytes one(1);
  EXPECT_EQ(VendorIn(VrBootEeprom, 0, BootEepromIndex, one), TUsbStatus::Stall);
  Install();
  EXPECT_EQ(VendorOut(VrBootEeprom, 0, BootEepromIndex, {1}), TUsbStatus::Stall);

  ASSERT_TRUE(LoadModule(tmKVBoot));
  EXPECT_EQ(Module->LoadedModule(), tmKVBoot);
  EXPECT_FALSE(Answers()) << "the boot updater answers no frames";
  EXPECT_EQ(VendorOut(VrBootEeprom, 0, 0x1234, {1}), TUsbStatus::Stall) << "wrong index";
  EXPECT_EQ(VendorOut(VrBootEeprom, TVirtualModule::BootEepromSize - 1, BootEepromIndex, {1, 2}),
            TUsbStatus::Stall)
      << "past the end";

  const TBytes image = DecodeImage(BootEepromImage());
  for (std::size_t at = 0; at < image.size(); at += 16) {
    TBytes chunk(image.begin() + at, image.begin() + std::min(at + 16, image.size()));
    ASSERT_EQ(VendorOut(VrBootEeprom, static_cast<std::uint16_t>(at), BootEepromIndex, chunk),
              TUsbStatus::Ok);
  }
  for (std::size_t at : {std::size_t{0}, std::size_t{17}, image.size() - 1}) {
    TBytes b(1);
    ASSERT_EQ(VendorIn(VrBootEeprom, static_cast<std::uint16_t>(at), BootEepromIndex, b),
              TUsbStatus::Ok);
    EXPECT_EQ(b[0], image[at]);
  }
  EXPECT_EQ(StringDescriptor(7), "") << "still the blank module until it is plugged again";

  ASSERT_TRUE(Backend.Unplug(*Module));
  ASSERT_TRUE(Backend.Plug(Module));
  OpenPort();
  EXPECT_EQ(StringDescriptor(1), "Morlisk");
  EXPECT_EQ(StringDescriptor(7), "KVBOOT");
  EXPECT_EQ(StringDescriptor(8),
            std::to_string(ReadImageHeader(image.data(), image.size())->Version));
}

TEST_F(Firmware, PlugAgainStartsFromEmptyRam) {
  Install();
  ASSERT_TRUE(Backend.Unplug(*Module));
  ASSERT_TRUE(Backend.Plug(Module));
  OpenPort();
  ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
  EXPECT_FALSE(Answers());
  EXPECT_EQ(Module->LoadedModule(), tmNone);
}

} // namespace
