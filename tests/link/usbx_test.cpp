#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "link/basecmds.h"
#include "support/virtuallink.h"

namespace {

class UsbX : public ::testing::Test {
protected:
  TVirtualLink V;
  std::vector<std::pair<std::string, int>> Errors;

  void Watch(TUsbX& x) {
    x.OnError = [this](TUsbX*, const std::string& device, int code) {
      Errors.emplace_back(device, code);
    };
  }
  std::vector<std::string> Log() { return DebugWin().Lines(); }
};

TEST_F(UsbX, NoModuleAttached) {
  TUsbX x;
  Watch(x);
  UsbConList().RefreshConnections();
  EXPECT_EQ(x.DevCount(), 0);
  EXPECT_FALSE(x.Open(0));
  EXPECT_EQ(x.LastError(), 0);
  EXPECT_TRUE(Errors.empty());
  EXPECT_FALSE(x.Close());
  EXPECT_EQ(x.LastError(), UsbErrNotOpened);
  EXPECT_EQ(x.LastError(), 0); // read and reset
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], std::make_pair(std::string(), UsbErrNotOpened));
  EXPECT_EQ(UsbErrorText(UsbErrNotOpened), "Device must be opened first");
  EXPECT_EQ(UsbErrorText(19), "Error 19");
}

TEST_F(UsbX, OpensAndReadsDescriptors) {
  V.Plug();
  TUsbX x;
  ASSERT_EQ(x.DevCount(), 1);
  ASSERT_TRUE(x.Open(0));
  EXPECT_EQ(x.DeviceName(), "EZUSB-0");
  EXPECT_EQ(UsbConList()[0].OpenCount, 1);
  EXPECT_EQ(x.idVendor, 0x04B4);
  EXPECT_EQ(x.idProduct, 0x8613);
  EXPECT_EQ(x.Manufacturer, "Morlisk");
  EXPECT_EQ(x.Product, "Korvane");
  EXPECT_EQ(x.ConfigurationCount, 1);
  EXPECT_EQ(x.GetStringDescriptor(0, 0), "");
  // Alternate setting 0 has no endpoints.
  for (const auto& p : x.Pipes)
    EXPECT_FALSE(p.Present);
  const auto log = Log();
  EXPECT_NE(std::find(log.begin(), log.end(), "EZUSB-0: Connected"), log.end());
  EXPECT_EQ(log.back(), "EZUSB-0: Opened");
  EXPECT_TRUE(x.Close());
  EXPECT_EQ(Log().back(), "EZUSB-0: Closed");
  EXPECT_EQ(UsbConList()[0].OpenCount, 0);
  EXPECT_FALSE(x.Opened());
}

TEST_F(UsbX, InterfaceSelectionAndItsErrors) {
  V.Plug();
  TUsbX x;
  ASSERT_TRUE(x.Open(0));
  ASSERT_TRUE(x.SetInterface(0, 1));
  EXPECT_EQ(x.AlternateSetting, 1);
  EXPECT_TRUE(x.Pipes[piEP1Out].Present);
  EXPECT_TRUE(x.Pipes[piEP1Out].Out);
  EXPECT_EQ(x.Pipes[piEP1Out].Type, 2);
  EXPECT_EQ(x.Pipes[piEP1Out].MaxPacketSize, 64);
  EXPECT_TRUE(x.Pipes[piEP1In].Present);
  EXPECT_FALSE(x.Pipes[piEP1In].Out);
  EXPECT_TRUE(x.Pipes[piEP2].Present);
  EXPECT_FALSE(x.Pipes[piEP2].Out);
  EXPECT_FALSE(x.Pipes[piEP4].Present);

  struct TCase {
    int Interface, Alternate, Error;
  } cases[] = {{0, 5, UsbErrAlternateSetting}, {3, 0, UsbErrInterface}};
  for (const auto& c : cases) {
    EXPECT_FALSE(x.SetInterface(c.Interface, c.Alternate));
    EXPECT_EQ(x.LastError(), c.Error);
    EXPECT_EQ(x.AlternateSetting, 1) << "the old selection stays";
    EXPECT_TRUE(x.Pipes[piEP1In].Present);
  }
  x.ConfigurationValue = 2;
  EXPECT_FALSE(x.SetInterface(0, 0));
  EXPECT_EQ(x.LastError(), UsbErrConfiguration);
}

TEST_F(UsbX, EndpointChecksBeforeTransfers) {
  V.Plug();
  TUsbX x;
  std::uint8_t buf[64] = {};
  std::uint32_t n = 0;
  EXPECT_FALSE(x.ReadEP1(buf, 64, n));
  EXPECT_EQ(x.LastError(), UsbErrNotOpened);
  ASSERT_TRUE(x.Open(0));
  EXPECT_FALSE(x.ReadEP1(buf, 64, n)); // alternate setting 0: no pipes
  EXPECT_EQ(x.LastError(), UsbErrEndpoint);
  EXPECT_FALSE(x.TransferEP2(buf, 64, n));
  EXPECT_EQ(x.LastError(), UsbErrEndpoint);
  ASSERT_TRUE(x.SetInterface(0, 1));
  x.Pipes[piEP2].Type = 1; // isochronous: refused without an error
  EXPECT_FALSE(x.TransferEP2(buf, 64, n));
  EXPECT_EQ(x.LastError(), 0);
  x.Pipes[piEP1In].Type = 0;
  EXPECT_FALSE(x.ReadEP1(buf, 64, n));
  EXPECT_EQ(x.LastError(), UsbErrEndpointType);
}

TEST_F(UsbX, NamesFollowOrderOfAppearance) {
  auto a = V.Plug();
  auto b = V.Plug();
  V.Unplug(*a);
  V.Plug(); // takes the lowest free number, EZUSB-0, but appears after EZUSB-1
  ASSERT_EQ(UsbConList().Count(), 2);
  EXPECT_EQ(UsbConList()[0].Name, "EZUSB-1");
  EXPECT_EQ(UsbConList()[1].Name, "EZUSB-0");
  TUsbX x;
  ASSERT_TRUE(x.Open(0));
  EXPECT_EQ(x.DeviceName(), "EZUSB-1");
  EXPECT_FALSE(x.Open(5));
  EXPECT_FALSE(x.Opened()) << "Open closes the device it had first";
}

TEST_F(UsbX, UnplugClosesTheOpenTransportAndNotifies) {
  auto m = V.Plug();
  int removed = 0;
  DebugWin().OnUSBRemove = [&](void*) { ++removed; };
  TUsbX x;
  ASSERT_TRUE(x.Open(0));
  V.Unplug(*m);
  EXPECT_FALSE(x.Opened());
  EXPECT_EQ(removed, 1);
  const auto log = Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "EZUSB-0: Closed");
  EXPECT_EQ(log.back(), "EZUSB-0: Disconnected");
  EXPECT_EQ(x.DevCount(), 0);
}

TEST_F(UsbX, DownloadWritesModuleRamInChunks) {
  auto m = V.Plug();
  TUsbX x;
  ASSERT_TRUE(x.Open(0));
  std::vector<std::uint8_t> data(4127);
  std::iota(data.begin(), data.end(), 0);
  ASSERT_TRUE(x.DownloadFirmware(data.data(), static_cast<std::uint16_t>(data.size()), 0));
  EXPECT_TRUE(std::equal(data.begin(), data.end(), m->Ram()));
  EXPECT_FALSE(m->CpuHeld());
  // The second chunk is the one at 0x1000: failing it leaves the core held.
  std::string error;
  ASSERT_TRUE(m->AddFault("a0fail@2", error)) << error;
  EXPECT_FALSE(x.DownloadFirmware(data.data(), static_cast<std::uint16_t>(data.size()), 0));
  EXPECT_TRUE(m->CpuHeld());
  EXPECT_EQ(x.LastError(), SysErrorPipe);
}

TEST_F(UsbX, ShortStringDescriptor) {
  TModuleConfig cfg;
  cfg.Strings = TModuleStrings{"ab", "Korvane", "1", "KVBOOT", "268435456"};
  V.Plug(cfg);
  TUsbX x;
  ASSERT_TRUE(x.Open(0));
  EXPECT_EQ(x.Manufacturer, "ab"); // bLength 6: two characters
  EXPECT_EQ(x.GetStringDescriptor(7, 0), "KVBOOT");
}

TEST_F(UsbX, TimeoutIsRecordedOnceAndBounded) {
  auto m = V.Plug();
  TUsbX x;
  Watch(x);
  ASSERT_TRUE(x.Open(0));
  ASSERT_TRUE(x.SetInterface(0, 1));
  std::uint8_t buf[64] = {};
  std::uint32_t n = 0;
  const auto before = V.Now();
  EXPECT_FALSE(x.ReadEP1(buf, 64, n)); // no base firmware runs: nothing answers
  EXPECT_EQ(n, 0u);
  EXPECT_GE(V.Now() - before, 5000u * 1000);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0].second, UsbErrTimeout);
  EXPECT_EQ(Log().back(), "EZUSB-0: Timeout");
}

} // namespace
