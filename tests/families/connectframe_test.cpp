#include <gtest/gtest.h>

#include <memory>

#include "devices/devlist.h"
#include "families/familyclasses.h"
#include "editor/xhexedit.h"
#include "families/framedpage.h"
#include "families/i2c.h"
#include "support/recorderservices.h"

namespace {

// Exposes the connect frame a serial memory sends.
class TFrameProbe : public TI2C {
public:
  using TI2C::TI2C;
  using TE2MEM::ConnectFrame;
};

TEST(ConnectFrame, TimesTooLongForTheModulesByteFieldsSaturate) {
  struct TCase {
    std::uint32_t WriteUs, ClockUs;
    std::uint16_t PowerMs;
    int WriteByte, ClockByte, PowerByte;
  };
  const TCase cases[] = {
      {10000, 50, 100, 10, 50, 10},      // the catalogue's values pass unchanged
      {255000, 255, 2550, 255, 255, 255}, // the largest that fit
      {300000, 300, 3000, 255, 255, 255}, // would wrap to 44, 44 and 44
  };
  std::unique_ptr<TDeviceList> list = CreateDeviceList();
  const TDevice* entry = list->FindByID("i2cn02");
  ASSERT_NE(entry, nullptr);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.WriteUs);
    TFrameProbe probe(*entry);
    probe.e2Tw = c.WriteUs;
    probe.e2Tc = c.ClockUs;
    probe.PowerSetupTime = c.PowerMs;
    const TFrame frame = probe.ConnectFrame(0x2001, 0xA0, 0);
    EXPECT_EQ(frame[8], c.PowerByte);
    EXPECT_EQ(frame[9], c.WriteByte);
    EXPECT_EQ(frame[10], c.ClockByte);
  }
}

} // namespace

namespace {

TEST(PageGoesAway, TheDeviceForgetsItsPanelsAndRefusesToRun) {
  TRecorderServices rec;
  TServicesScope scope(rec);
  std::unique_ptr<TDeviceList> list = CreateDeviceList();
  auto* device = dynamic_cast<TE2MEM*>(list->FindByID("i2cn02"));
  ASSERT_NE(device, nullptr);
  TXHexEdit buffer;
  {
    TFramedPage page;
    page.XHexEdit1 = &buffer;
    page.AttachDevice(device);
    ASSERT_EQ(device->RangeEnd(), 0xFF);
    device->DetachPage(&page); // what the page's owner does as it closes
  }
  // No panel of the closed page is read: the range is the no-panel one and an
  // operation stops before the module is touched.
  EXPECT_EQ(device->MemoryFrame, nullptr);
  EXPECT_EQ(device->ConnectionFrame, nullptr);
  EXPECT_EQ(device->RangeEnd(), -1);
  EXPECT_NE(device->DeviceRead(), trSuccess);
}

} // namespace
