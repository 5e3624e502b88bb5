#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "link/usb/ezusbdriver.h"
#include "link/usb/libusbbackend.h"

// These run on whatever this machine has: often no USB at all (no usbfs in a
// container), sometimes a few devices but no programmer module.

TEST(LibUsbBackend, EnumerationHasUniqueKeysThatStayPut) {
  TLibUsbBackend backend;
  std::vector<TUsbDeviceId> first = backend.Enumerate();
  if (!backend.Available()) {
    EXPECT_TRUE(first.empty());
  }
  std::set<std::uint64_t> keys;
  for (const TUsbDeviceId& id : first)
    EXPECT_TRUE(keys.insert(id.Key).second) << "key " << id.Key << " given twice";
  std::vector<TUsbDeviceId> second = backend.Enumerate();
  ASSERT_EQ(first.size(), second.size());
  for (std::size_t i = 0; i < first.size(); ++i)
    EXPECT_EQ(first[i].Key, second[i].Key);
}

TEST(LibUsbBackend, OpenOfAnUnknownKeyFailsCleanly) {
  TLibUsbBackend backend;
  std::set<std::uint64_t> known;
  for (const TUsbDeviceId& id : backend.Enumerate())
    known.insert(id.Key);
  for (std::uint64_t key : {std::uint64_t{0}, std::uint64_t{123456789}, ~std::uint64_t{0}}) {
    if (known.count(key)) continue;
    TUsbStatus status = TUsbStatus::Ok;
    EXPECT_EQ(backend.Open(key, status), nullptr) << key;
    EXPECT_EQ(status, TUsbStatus::NoDevice) << key;
  }
}

TEST(LibUsbBackend, PollingWithoutChangesRaisesNothing) {
  TLibUsbBackend backend;
  int changes = 0;
  backend.OnChange = [&](bool) { ++changes; };
  backend.PollEvents();
  backend.PollEvents();
  EXPECT_EQ(changes, 0);
}

TEST(LibUsbBackend, DriverWithAnEmptyIdListNamesNothing) {
  TLibUsbBackend backend;
  TEzUsbDriver driver(backend, {});
  EXPECT_TRUE(driver.Names().empty());
  EXPECT_FALSE(driver.Probe("EZUSB-0"));
  int sysError = 0;
  EXPECT_EQ(driver.Open("EZUSB-0", sysError), TUsbDriver::InvalidHandle);
  EXPECT_EQ(sysError, SysErrorNotFound);
}

TEST(LibUsbBackend, DriverNamesOnlyListedDevices) {
  TLibUsbBackend backend;
  std::vector<TUsbDeviceId> present = backend.Enumerate();
  if (present.empty()) GTEST_SKIP() << "no USB devices on this machine";
  // List the id of the first device seen: every device with that id is named,
  // and no other.
  TUsbIdPair wanted{present[0].Vendor, present[0].Product};
  std::size_t expected = 0;
  for (const TUsbDeviceId& id : present)
    expected += id.Vendor == wanted.Vendor && id.Product == wanted.Product;
  TEzUsbDriver driver(backend, {wanted});
  EXPECT_EQ(driver.Names().size(), expected);
}
