#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/fwimages.h"
#include "link/usb/ezioctl.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/virtualbackend.h"
#include "sim/usbdescriptors.h"
#include "sim/virtualmodule.h"
#include "support/recorderservices.h"

namespace {

using THandle = TUsbDriver::THandle;

// Sits between the driver and the virtual modules to play what a module
// cannot: a device of another maker, and a device the user may not open.
class TGateBackend : public TUsbBackend {
public:
  explicit TGateBackend(TUsbBackend& inner) : Inner(inner) {
    Inner.OnChange = [this](bool arrival) {
      if (OnChange) OnChange(arrival);
    };
  }
  ~TGateBackend() override { Inner.OnChange = nullptr; }

  std::vector<TUsbDeviceId> Enumerate() override {
    std::vector<TUsbDeviceId> ids = Inner.Enumerate();
    for (TUsbDeviceId& id : ids)
      if (Foreign.count(id.Key)) {
        id.Vendor = 0x1234;
        id.Product = 0x5678;
      }
    return ids;
  }
  std::unique_ptr<TUsbPort> Open(std::uint64_t key, TUsbStatus& status) override {
    if (Denied.count(key)) {
      status = TUsbStatus::Access;
      return nullptr;
    }
    return Inner.Open(key, status);
  }
  void PollEvents() override { Inner.PollEvents(); }

  std::set<std::uint64_t> Foreign;
  std::set<std::uint64_t> Denied;

private:
  TUsbBackend& Inner;
};

struct TIo {
  TDrvStatus Status;
  int SysError;
  std::vector<std::uint8_t> Out; // cut to `returned`
};

std::vector<std::uint8_t> Le32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

std::vector<std::uint8_t> VendorBlock(std::uint8_t direction, std::uint8_t request,
                                      std::uint16_t value, std::uint16_t index,
                                      std::uint8_t type = 2, std::uint8_t recipient = 0) {
  return {direction,
          type,
          recipient,
          0,
          request,
          0,
          static_cast<std::uint8_t>(value),
          static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(index),
          static_cast<std::uint8_t>(index >> 8)};
}

class EzUsbDriverTest : public ::testing::Test {
protected:
  TRecorderServices Recorder;
  TServicesScope Scope{Recorder};
  TVirtualBackend Virtual;
  TGateBackend Gate{Virtual};

  std::uint64_t NewestKey() { return Virtual.Enumerate().back().Key; }

  // One request; `data` is the out buffer's content (the data of a write),
  // `outSize` its size when larger.
  static TIo Io(TUsbDriver& driver, THandle handle, std::uint32_t code,
                const std::vector<std::uint8_t>& in, std::uint32_t outSize,
                std::vector<std::uint8_t> data = {}) {
    data.resize(std::max<std::size_t>(data.size(), outSize), 0xEE);
    std::uint32_t returned = 12345;
    int sysError = -1;
    TDrvStatus status = driver.IoControl(
        handle, code, in.empty() ? nullptr : in.data(), static_cast<std::uint32_t>(in.size()),
        data.empty() ? nullptr : data.data(), static_cast<std::uint32_t>(data.size()), returned,
        1000, sysError);
    EXPECT_LE(returned, data.size());
    data.resize(std::min<std::size_t>(returned, data.size()));
    return {status, sysError, data};
  }

  static THandle OpenOk(TUsbDriver& driver, const std::string& name) {
    int sysError = -1;
    THandle h = driver.Open(name, sysError);
    EXPECT_NE(h, TUsbDriver::InvalidHandle) << name << " error " << sysError;
    return h;
  }

  static void SelectInterface(TUsbDriver& driver, THandle h, std::uint8_t alt) {
    TIo io = Io(driver, h, EzSetInterface, {0, alt}, 0);
    ASSERT_EQ(io.Status, TDrvStatus::Ok) << io.SysError;
  }

  // Our base firmware into RAM with the core held, then released: the module
  // then answers command frames.
  static void StartBaseFirmware(TUsbDriver& driver, THandle h) {
    std::vector<std::uint8_t> image = DecodeImage(BaseFirmwareImage());
    ASSERT_FALSE(image.empty());
    ASSERT_EQ(Io(driver, h, EzVendorRequest, VendorBlock(0, 0xA0, 0xE600, 0), 0, {1}).Status,
              TDrvStatus::Ok);
    for (std::size_t at = 0; at < image.size(); at += 4096) {
      std::vector<std::uint8_t> chunk(image.begin() + at,
                                      image.begin() + std::min(image.size(), at + 4096));
      ASSERT_EQ(Io(driver, h, EzVendorRequest,
                   VendorBlock(0, 0xA0, static_cast<std::uint16_t>(at), 0), 0, chunk)
                    .Status,
                TDrvStatus::Ok);
    }
    ASSERT_EQ(Io(driver, h, EzVendorRequest, VendorBlock(0, 0xA0, 0xE600, 0), 0, {0}).Status,
              TDrvStatus::Ok);
  }
};

// --- names ---

TEST_F(EzUsbDriverTest, NamesFollowOrderOfAppearanceAndReuseTheLowestFreeNumber) {
  TEzUsbDriver driver(Virtual);
  std::map<char, std::shared_ptr<TVirtualModule>> modules;
  struct TStep {
    char Action; // '+' plug (again), '-' unplug
    char Module;
    std::vector<std::string> Names; // in order of appearance
  };
  const std::vector<TStep> steps = {
      {'+', 'A', {"EZUSB-0"}},
      {'+', 'B', {"EZUSB-0", "EZUSB-1"}},
      {'+', 'C', {"EZUSB-0", "EZUSB-1", "EZUSB-2"}},
      {'-', 'B', {"EZUSB-0", "EZUSB-2"}},            // C keeps its name
      {'+', 'D', {"EZUSB-0", "EZUSB-2", "EZUSB-1"}}, // the gap is filled first
      {'+', 'E', {"EZUSB-0", "EZUSB-2", "EZUSB-1", "EZUSB-3"}},
      {'-', 'A', {"EZUSB-2", "EZUSB-1", "EZUSB-3"}},
      {'+', 'A', {"EZUSB-2", "EZUSB-1", "EZUSB-3", "EZUSB-0"}}, // a replug is a new arrival
      {'-', 'E', {"EZUSB-2", "EZUSB-1", "EZUSB-0"}},
  };
  for (const TStep& step : steps) {
    if (step.Action == '+') {
      if (modules.count(step.Module)) {
        ASSERT_TRUE(Virtual.Plug(modules[step.Module]));
      } else {
        modules[step.Module] = Virtual.Plug();
      }
    } else {
      ASSERT_TRUE(Virtual.Unplug(*modules[step.Module]));
    }
    EXPECT_EQ(driver.Names(), step.Names) << step.Action << step.Module;
  }
}

TEST_F(EzUsbDriverTest, OnlyDevicesInTheIdListAreNamed) {
  Virtual.Plug();
  Virtual.Plug();
  Gate.Foreign.insert(NewestKey()); // another maker's device between two modules
  Virtual.Plug();
  TEzUsbDriver driver(Gate);
  EXPECT_EQ(driver.Names(), (std::vector<std::string>{"EZUSB-0", "EZUSB-1"}));

  driver.SetDeviceIds({{0x1234, 0x5678}});
  EXPECT_EQ(driver.Names(), (std::vector<std::string>{"EZUSB-0"}));
  driver.SetDeviceIds({});
  EXPECT_TRUE(driver.Names().empty());
  EXPECT_FALSE(driver.Probe("EZUSB-0"));
  driver.SetDeviceIds(TEzUsbDriver::DefaultIds());
  EXPECT_TRUE(driver.Probe("EZUSB-1"));
}

TEST_F(EzUsbDriverTest, ProbeAcceptsOnlyExactNamesOfPresentDevices) {
  Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  const std::map<std::string, bool> cases = {
      {"EZUSB-0", true},   {"EZUSB-1", false},  {"EZUSB-00", false},          {"EZUSB-", false},
      {"ezusb-0", false},  {"EZUSB--0", false}, {"EZUSB-0 ", false},          {"EZUSB-+0", false},
      {"XEZUSB-0", false}, {"", false},         {"EZUSB-99999999999", false},
  };
  for (const auto& [name, present] : cases) {
    EXPECT_EQ(driver.Probe(name), present) << '"' << name << '"';
    int sysError = 0;
    THandle h = driver.Open(name, sysError);
    EXPECT_EQ(h != TUsbDriver::InvalidHandle, present) << '"' << name << '"';
    if (present) {
      driver.Close(h, sysError);
    } else {
      EXPECT_EQ(sysError, SysErrorNotFound) << '"' << name << '"';
    }
  }
}

TEST_F(EzUsbDriverTest, ArrivalAndRemovalReachTheDriverFromPollEvents) {
  TEzUsbDriver driver(Virtual);
  std::vector<bool> events;
  driver.OnDeviceChange = [&](bool arrival) {
    events.push_back(arrival);
    // The names are up to date when the notification comes.
    EXPECT_EQ(driver.Probe("EZUSB-0"), arrival);
  };
  auto module = Virtual.Plug();
  EXPECT_TRUE(events.empty()) << "delivered only from PollEvents";
  driver.PollEvents();
  Virtual.Unplug(*module);
  driver.PollEvents();
  EXPECT_EQ(events, (std::vector<bool>{true, false}));
}

// --- handles ---

TEST_F(EzUsbDriverTest, HandlesOpenAndCloseIndependently) {
  Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle a = OpenOk(driver, "EZUSB-0");
  THandle b = OpenOk(driver, "EZUSB-0");
  EXPECT_NE(a, b);
  int sysError = 0;
  EXPECT_TRUE(driver.Close(a, sysError));
  EXPECT_EQ(Io(driver, b, EzGetDeviceDescriptor, {}, 18).Status, TDrvStatus::Ok);
  // A closed handle, a handle never given and the invalid handle are refused.
  for (THandle h : {a, THandle{4711}, TUsbDriver::InvalidHandle}) {
    TIo io = Io(driver, h, EzGetDeviceDescriptor, {}, 18);
    EXPECT_EQ(io.Status, TDrvStatus::Failed) << h;
    EXPECT_EQ(io.SysError, SysErrorInvalid) << h;
    EXPECT_FALSE(driver.Close(h, sysError)) << h;
    EXPECT_EQ(sysError, SysErrorInvalid) << h;
  }
  EXPECT_TRUE(driver.Close(b, sysError));
}

TEST_F(EzUsbDriverTest, UnplugFailsTheOpenHandlesWithNoDevice) {
  auto module = Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle h = OpenOk(driver, "EZUSB-0");
  SelectInterface(driver, h, 1);
  Virtual.Unplug(*module);
  // Before and after the driver has heard of the removal.
  for (int pass = 0; pass < 2; ++pass) {
    for (std::uint32_t code : {EzGetDeviceDescriptor, EzGetConfigDescriptor}) {
      TIo io = Io(driver, h, code, {}, 18);
      EXPECT_EQ(io.Status, TDrvStatus::Failed) << pass << " " << code;
      EXPECT_EQ(io.SysError, SysErrorNoDevice) << pass << " " << code;
    }
    TIo io = Io(driver, h, EzBulkRead, Le32(1), 64);
    EXPECT_EQ(io.SysError, SysErrorNoDevice) << pass;
    driver.PollEvents();
  }
  EXPECT_FALSE(driver.Probe("EZUSB-0"));

  // The same module plugged again is a new device under the free name; the
  // old handle stays dead.
  Virtual.Plug(module);
  THandle again = OpenOk(driver, "EZUSB-0");
  EXPECT_EQ(Io(driver, again, EzGetDeviceDescriptor, {}, 18).Status, TDrvStatus::Ok);
  EXPECT_EQ(Io(driver, h, EzGetDeviceDescriptor, {}, 18).SysError, SysErrorNoDevice);
  int sysError = 0;
  EXPECT_TRUE(driver.Close(h, sysError));
  EXPECT_TRUE(driver.Close(again, sysError));
}

TEST_F(EzUsbDriverTest, NoPermissionGivesOneUdevMessagePerArrival) {
  auto module = Virtual.Plug();
  Gate.Denied.insert(NewestKey());
  TEzUsbDriver driver(Gate);
  EXPECT_TRUE(driver.Probe("EZUSB-0")) << "the device exists even if it cannot be opened";
  for (int attempt = 0; attempt < 2; ++attempt) {
    int sysError = 0;
    EXPECT_EQ(driver.Open("EZUSB-0", sysError), TUsbDriver::InvalidHandle);
    EXPECT_EQ(sysError, SysErrorAccess);
  }
  ASSERT_EQ(Recorder.Lines.size(), 1u);
  const std::string& line = Recorder.Lines[0];
  for (const char* part :
       {"EZUSB-0", "04B4:8613", "packaging/udev/60-kvprog.rules", "/etc/udev/rules.d/", "udevadm"})
    EXPECT_NE(line.find(part), std::string::npos) << part << " missing from: " << line;

  Virtual.Unplug(*module);
  Virtual.Plug(module);
  Gate.Denied.insert(NewestKey());
  int sysError = 0;
  EXPECT_EQ(driver.Open("EZUSB-0", sysError), TUsbDriver::InvalidHandle);
  EXPECT_EQ(Recorder.Lines.size(), 2u);
}

// --- requests ---

TEST_F(EzUsbDriverTest, DescriptorRequestsFillTheOutBufferAsFarAsItGoes) {
  auto module = Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle h = OpenOk(driver, "EZUSB-0");
  std::size_t size = 0;
  const std::uint8_t* dev = TUsbDescriptors::Device(size);
  const std::vector<std::uint8_t> device(dev, dev + size);
  const std::uint8_t* cfg = TUsbDescriptors::Configuration(size);
  const std::vector<std::uint8_t> config(cfg, cfg + size);
  const std::uint32_t total = static_cast<std::uint32_t>(config.size());
  auto head = [](const std::vector<std::uint8_t>& v, std::size_t n) {
    return std::vector<std::uint8_t>(v.begin(), v.begin() + std::min(n, v.size()));
  };
  std::uint8_t maker[64];
  const std::vector<std::uint8_t> makerDesc(
      maker, maker + TUsbDescriptors::String(1, module->Strings(), maker));
  ASSERT_GT(makerDesc.size(), 5u);

  struct TCase {
    const char* What;
    std::uint32_t Code;
    std::vector<std::uint8_t> In;
    std::uint32_t OutSize;
    TDrvStatus Status;
    int SysError;
    std::vector<std::uint8_t> Out;
  };
  const std::vector<TCase> cases = {
      {"device descriptor", EzGetDeviceDescriptor, {}, 18, TDrvStatus::Ok, 0, device},
      {"device descriptor, large buffer", EzGetDeviceDescriptor, {}, 64, TDrvStatus::Ok, 0, device},
      {"device descriptor, short buffer",
       EzGetDeviceDescriptor,
       {},
       17,
       TDrvStatus::Failed,
       SysErrorInvalid,
       {}},
      {"config header", EzGetConfigDescriptor, {}, 9, TDrvStatus::Ok, 0, head(config, 9)},
      {"config one byte", EzGetConfigDescriptor, {}, 1, TDrvStatus::Ok, 0, head(config, 1)},
      {"config whole", EzGetConfigDescriptor, {}, total, TDrvStatus::Ok, 0, config},
      {"config, buffer beyond it",
       EzGetConfigDescriptor,
       {},
       total + 100,
       TDrvStatus::Ok,
       0,
       config},
      {"config, no buffer", EzGetConfigDescriptor, {}, 0, TDrvStatus::Failed, SysErrorInvalid, {}},
      {"string head", EzGetStringDescriptor, {1, 0, 0}, 4, TDrvStatus::Ok, 0, head(makerDesc, 4)},
      {"string whole",
       EzGetStringDescriptor,
       {1, 0, 0},
       makerDesc[0],
       TDrvStatus::Ok,
       0,
       makerDesc},
      {"string cut mid-character",
       EzGetStringDescriptor,
       {1, 0, 0},
       5,
       TDrvStatus::Ok,
       0,
       head(makerDesc, 5)},
      {"string, buffer beyond it",
       EzGetStringDescriptor,
       {1, 0, 0},
       300,
       TDrvStatus::Ok,
       0,
       makerDesc},
      {"language table",
       EzGetStringDescriptor,
       {0, 0, 0},
       255,
       TDrvStatus::Ok,
       0,
       {4, 3, 0x09, 0x04}},
      {"string the module lacks",
       EzGetStringDescriptor,
       {99, 0x09, 0x04},
       4,
       TDrvStatus::Failed,
       SysErrorPipe,
       {}},
      {"string, short in buffer",
       EzGetStringDescriptor,
       {1, 0},
       4,
       TDrvStatus::Failed,
       SysErrorInvalid,
       {}},
      {"string, no out buffer",
       EzGetStringDescriptor,
       {1, 0, 0},
       0,
       TDrvStatus::Failed,
       SysErrorInvalid,
       {}},
      {"unknown code", 0x222000, {}, 18, TDrvStatus::Failed, SysErrorInvalid, {}},
  };
  for (const TCase& c : cases) {
    TIo io = Io(driver, h, c.Code, c.In, c.OutSize);
    EXPECT_EQ(io.Status, c.Status) << c.What;
    EXPECT_EQ(io.SysError, c.SysError) << c.What;
    if (c.Status == TDrvStatus::Ok) {
      EXPECT_EQ(io.Out, c.Out) << c.What;
    }
  }
}

TEST_F(EzUsbDriverTest, MissingBuffersAreRefused) {
  Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle h = OpenOk(driver, "EZUSB-0");
  std::uint8_t in[4] = {};
  std::uint32_t returned = 0;
  int sysError = 0;
  EXPECT_EQ(
      driver.IoControl(h, EzGetDeviceDescriptor, nullptr, 0, nullptr, 18, returned, 100, sysError),
      TDrvStatus::Failed);
  EXPECT_EQ(sysError, SysErrorInvalid);
  EXPECT_EQ(driver.IoControl(h, EzSetInterface, nullptr, 2, in, 0, returned, 100, sysError),
            TDrvStatus::Failed);
  EXPECT_EQ(sysError, SysErrorInvalid);
}

TEST_F(EzUsbDriverTest, PipesMapToTheEndpointsOfTheSelectedAlternateSetting) {
  auto module = Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle h = OpenOk(driver, "EZUSB-0");
  std::vector<std::uint8_t> frame(64, 0);
  frame[0] = 0x02; // identification, 0x4002
  frame[1] = 0x40;

  // Alternate setting 0 has no endpoints, so no pipe at all.
  for (std::uint32_t pipe : {0u, 1u, 2u}) {
    EXPECT_EQ(Io(driver, h, EzBulkWrite, Le32(pipe), 0, frame).SysError, SysErrorInvalid) << pipe;
    EXPECT_EQ(Io(driver, h, EzBulkRead, Le32(pipe), 64).SysError, SysErrorInvalid) << pipe;
  }
  // A setting the module refuses leaves the map as it was.
  TIo refused = Io(driver, h, EzSetInterface, {0, 5}, 0);
  EXPECT_EQ(refused.SysError, SysErrorPipe);
  EXPECT_EQ(Io(driver, h, EzSetInterface, {0}, 0).SysError, SysErrorInvalid);
  EXPECT_EQ(Io(driver, h, EzBulkRead, Le32(1), 64).SysError, SysErrorInvalid);

  SelectInterface(driver, h, 1);
  StartBaseFirmware(driver, h);
  ASSERT_TRUE(module->AnswersFrames());
  // Pipes 0, 1, 2 are 0x01 OUT, 0x81 IN, 0x82 IN in descriptor order: a
  // transfer against a pipe's direction, or past the last pipe, is refused.
  struct TCase {
    std::uint32_t Code;
    std::uint32_t Pipe;
    int SysError;
  };
  const std::vector<TCase> wrong = {
      {EzBulkRead, 0, SysErrorInvalid},     {EzBulkWrite, 1, SysErrorInvalid},
      {EzBulkWrite, 2, SysErrorInvalid},    {EzBulkRead, 3, SysErrorInvalid},
      {EzBulkRead, 0x100, SysErrorInvalid},
  };
  for (const TCase& c : wrong)
    EXPECT_EQ(Io(driver, h, c.Code, Le32(c.Pipe), 64, frame).SysError, c.SysError)
        << c.Code << " pipe " << c.Pipe;
  EXPECT_EQ(Io(driver, h, EzBulkRead, {1, 0, 0}, 64).SysError, SysErrorInvalid) << "short in";

  std::uint64_t framesBefore = module->FramesReceived();
  TIo sent = Io(driver, h, EzBulkWrite, Le32(0), 0, frame);
  ASSERT_EQ(sent.Status, TDrvStatus::Ok);
  EXPECT_EQ(sent.Out.size(), 64u);
  EXPECT_EQ(module->FramesReceived(), framesBefore + 1);
  TIo reply = Io(driver, h, EzBulkRead, Le32(1), 64);
  ASSERT_EQ(reply.Status, TDrvStatus::Ok);
  ASSERT_EQ(reply.Out.size(), 64u);
  EXPECT_EQ(reply.Out[2], 0) << "status byte of the identification";

  // Nothing more to read: the module's silence is a time-out, not a failure.
  TIo silent = Io(driver, h, EzBulkRead, Le32(1), 64);
  EXPECT_EQ(silent.Status, TDrvStatus::Timeout);
  EXPECT_TRUE(silent.Out.empty());

  // The driver's reset keeps the selected setting and with it the pipe map.
  EXPECT_EQ(Io(driver, h, EzResetPipe, {}, 0).Status, TDrvStatus::Ok);
  EXPECT_EQ(Io(driver, h, EzBulkWrite, Le32(0), 0, frame).Status, TDrvStatus::Ok);

  // Back to alternate setting 0: the pipes are gone again.
  SelectInterface(driver, h, 0);
  EXPECT_EQ(Io(driver, h, EzBulkWrite, Le32(0), 0, frame).SysError, SysErrorInvalid);
}

TEST_F(EzUsbDriverTest, PipeMapSurvivesReopeningTheDevice) {
  Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle h = OpenOk(driver, "EZUSB-0");
  SelectInterface(driver, h, 1);
  int sysError = 0;
  driver.Close(h, sysError);
  // The module is still in alternate setting 1, so its pipes are still there.
  h = OpenOk(driver, "EZUSB-0");
  TIo io = Io(driver, h, EzBulkRead, Le32(1), 64);
  EXPECT_NE(io.SysError, SysErrorInvalid);
}

TEST_F(EzUsbDriverTest, VendorRequestsCarryTheirDataEitherWay) {
  auto module = Virtual.Plug();
  TEzUsbDriver driver(Virtual);
  THandle h = OpenOk(driver, "EZUSB-0");
  const std::vector<std::uint8_t> data = {0x11, 0x22, 0x33, 0x44, 0x55};

  TIo written = Io(driver, h, EzVendorRequest, VendorBlock(0, 0xA0, 0x1234, 0), 0, data);
  ASSERT_EQ(written.Status, TDrvStatus::Ok);
  EXPECT_EQ(written.Out.size(), data.size());
  EXPECT_EQ(std::memcmp(module->Ram() + 0x1234, data.data(), data.size()), 0)
      << "value is the little-endian address";
  TIo read = Io(driver, h, EzVendorRequest, VendorBlock(1, 0xA0, 0x1234, 0), 5);
  ASSERT_EQ(read.Status, TDrvStatus::Ok);
  EXPECT_EQ(read.Out, data);

  struct TCase {
    const char* What;
    std::vector<std::uint8_t> Block;
    std::uint32_t OutSize;
    int SysError;
  };
  std::vector<std::uint8_t> nineBytes = VendorBlock(1, 0xA0, 0, 0);
  nineBytes.pop_back();
  const std::vector<TCase> refused = {
      {"request the module lacks", VendorBlock(1, 0x55, 0, 0), 1, SysErrorPipe},
      {"direction 2", VendorBlock(2, 0xA0, 0, 0), 1, SysErrorInvalid},
      {"reserved type 3", VendorBlock(1, 0xA0, 0, 0, 3), 1, SysErrorInvalid},
      {"recipient 4", VendorBlock(1, 0xA0, 0, 0, 2, 4), 1, SysErrorInvalid},
      {"block of 9 bytes", nineBytes, 1, SysErrorInvalid},
      {"more than a control transfer holds", VendorBlock(1, 0xA0, 0, 0), 0x10000, SysErrorInvalid},
  };
  for (const TCase& c : refused) {
    TIo io = Io(driver, h, EzVendorRequest, c.Block, c.OutSize);
    EXPECT_EQ(io.Status, TDrvStatus::Failed) << c.What;
    EXPECT_EQ(io.SysError, c.SysError) << c.What;
  }
}

TEST(UsbDriverGlobal, DefaultDriverHasNoDevices) {
  SetUsbDriver(nullptr);
  TUsbDriver& none = UsbDriver();
  EXPECT_FALSE(none.Probe("EZUSB-0"));
  int sysError = 0;
  EXPECT_EQ(none.Open("EZUSB-0", sysError), TUsbDriver::InvalidHandle);
  EXPECT_EQ(sysError, SysErrorNotFound);

  TVirtualBackend backend;
  backend.Plug();
  TEzUsbDriver driver(backend);
  SetUsbDriver(&driver);
  EXPECT_EQ(&UsbDriver(), &driver);
  EXPECT_TRUE(UsbDriver().Probe("EZUSB-0"));
  SetUsbDriver(nullptr);
  EXPECT_EQ(&UsbDriver(), &none);
}

} // namespace
