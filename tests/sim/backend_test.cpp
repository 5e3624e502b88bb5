#include "simfixture.h"

namespace {

class VirtualBackend : public TSimFixture {
protected:
  std::vector<bool> Events;
  void SetUp() override {
    Backend.OnChange = [this](bool arrival) { Events.push_back(arrival); };
  }
};

TEST_F(VirtualBackend, PlugAndUnplugAreDeliveredByTheNextPoll) {
  TVirtualBackend& b = Backend;
  auto first = b.Plug();
  TModuleConfig config;
  config.SerialNumber = 0x0000BEEF;
  auto second = b.Plug(config);
  EXPECT_TRUE(Events.empty()) << "nothing before the poll";
  b.PollEvents();
  EXPECT_EQ(Events, (std::vector<bool>{true, true}));

  const auto ids = b.Enumerate();
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_NE(ids[0].Key, ids[1].Key);
  for (const auto& id : ids) {
    EXPECT_EQ(id.Vendor, 0x04B4);
    EXPECT_EQ(id.Product, 0x8613);
  }
  EXPECT_EQ(b.Modules(), (std::vector<std::shared_ptr<TVirtualModule>>{first, second}));

  Events.clear();
  EXPECT_TRUE(b.Unplug(*first));
  EXPECT_FALSE(b.Unplug(*first)) << "already gone";
  b.PollEvents();
  EXPECT_EQ(Events, std::vector<bool>{false});
  ASSERT_EQ(b.Enumerate().size(), 1u);
  EXPECT_EQ(b.Enumerate()[0].Key, ids[1].Key);

  // Plugged again it is a new device.
  EXPECT_TRUE(b.Plug(first));
  EXPECT_FALSE(b.Plug(first));
  EXPECT_NE(b.Enumerate().back().Key, ids[0].Key);
}

TEST_F(VirtualBackend, PortsTalkToTheirOwnModule) {
  TVirtualBackend& b = Backend;
  TModuleConfig a;
  a.SerialNumber = 0x00000AAA;
  TModuleConfig c;
  c.SerialNumber = 0x00000CCC;
  b.Plug(a);
  b.Plug(c);
  const auto ids = b.Enumerate();
  std::vector<std::string> serials;
  for (const auto& id : ids) {
    TUsbStatus status;
    Port = b.Open(id.Key, status);
    ASSERT_EQ(status, TUsbStatus::Ok);
    serials.push_back(StringDescriptor(3));
  }
  EXPECT_EQ(serials, (std::vector<std::string>{"00000AAA", "00000CCC"}));
  TUsbStatus status = TUsbStatus::Ok;
  EXPECT_EQ(b.Open(9999, status), nullptr);
  EXPECT_EQ(status, TUsbStatus::NoDevice);
}

TEST_F(VirtualBackend, EveryTransferOfAnUnpluggedModuleFindsNoDevice) {
  PlugModule();
  Install();
  ASSERT_TRUE(Backend.Unplug(*Module));
  std::uint8_t buf[64] = {0};
  std::uint32_t n = 7;
  EXPECT_EQ(Port->Control(0x80, 6, 0x0100, 0, buf, 18, TimeoutMs, n), TUsbStatus::NoDevice);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(Port->Bulk(0x01, buf, 64, TimeoutMs, n), TUsbStatus::NoDevice);
  EXPECT_EQ(Port->Bulk(0x81, buf, 64, TimeoutMs, n), TUsbStatus::NoDevice);
  EXPECT_EQ(Port->SetInterface(0, 1), TUsbStatus::NoDevice);
  EXPECT_EQ(Port->SetConfiguration(1), TUsbStatus::NoDevice);
  EXPECT_EQ(Port->Reset(), TUsbStatus::NoDevice);
  // A port opened before the unplug stays dead after the module comes back.
  ASSERT_TRUE(Backend.Plug(Module));
  EXPECT_EQ(Port->Reset(), TUsbStatus::NoDevice);
}

TEST_F(VirtualBackend, TimeOutsAdvanceTheClockByTheRequestsTimeOut) {
  PlugModule();
  ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
  std::uint8_t buf[64] = {0};
  std::uint32_t n = 0;
  for (unsigned timeout : {5000u, 1u, 0u, 20000u}) {
    const std::uint64_t before = Backend.Clock().Now();
    EXPECT_EQ(Port->Bulk(0x81, buf, 64, timeout, n), TUsbStatus::Timeout);
    EXPECT_EQ(Backend.Clock().Now() - before, timeout * 1000ull);
  }
  // Successful transfers cost bus time only.
  const std::uint64_t before = Backend.Clock().Now();
  EXPECT_EQ(Port->Control(0x80, 6, 0x0100, 0, buf, 18, TimeoutMs, n), TUsbStatus::Ok);
  EXPECT_LT(Backend.Clock().Now() - before, 1000u);
}

TEST_F(VirtualBackend, EventsRaisedWhileDeliveringWaitForTheNextPoll) {
  TVirtualBackend& b = Backend;
  b.OnChange = [&](bool arrival) {
    Events.push_back(arrival);
    if (arrival && Events.size() == 1) b.Plug();
  };
  b.Plug();
  b.PollEvents();
  EXPECT_EQ(Events, std::vector<bool>{true});
  b.PollEvents();
  EXPECT_EQ(Events, (std::vector<bool>{true, true}));
  b.UnplugAll();
  EXPECT_TRUE(b.Enumerate().empty());
}

} // namespace
