#include <gtest/gtest.h>

#include <algorithm>

#include "serialfixture.h"
#include "sim/i2ceeprom.h"

namespace {

// Two pages share one serial memory; the second chose it last. Each panel's
// buttons work on their own page's buffer and range, and a panel left behind
// on a page that chose another device starts nothing.
TEST(SharedDevice, EachPanelsButtonWorksOnItsOwnPage) {
  TSerialFixture f("i2cn02");
  std::vector<std::uint8_t> image(256);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 3 + 1);
  f.Part<TI2CEeprom>()->Memory = image;

  TXHexEdit secondBuffer;
  TFramedPage second;
  second.XHexEdit1 = &secondBuffer;
  second.AttachDevice(f.Device);
  ASSERT_TRUE(second.E2MemoryFrame.SetRange(0x80, 0xFF));
  std::fill_n(f.Buffer.Data(), f.Buffer.DataSize(), 0);
  std::fill_n(secondBuffer.Data(), secondBuffer.DataSize(), 0);

  // The first page's Read, with no activation in between.
  f.V.Rec.Lines.clear();
  EXPECT_TRUE(f.Frame().ReadBtn.Click());
  EXPECT_EQ(f.Lines(), std::vector<std::string>{"Reading: Success  Device: 24C02 Range: 0 - FF"});
  EXPECT_TRUE(std::equal(image.begin(), image.end(), f.Buffer.Data()));
  EXPECT_EQ(secondBuffer.Data()[0x80], 0);

  // And the second's, on its own range.
  f.V.Rec.Lines.clear();
  EXPECT_TRUE(second.E2MemoryFrame.ReadBtn.Click());
  EXPECT_EQ(f.Lines(), std::vector<std::string>{"Reading: Success  Device: 24C02 Range: 80 - FF"});
  EXPECT_EQ(secondBuffer.Data()[0x80], image[0x80]);
  EXPECT_EQ(secondBuffer.Data()[0x7F], 0);

  // The first page goes back to the groups; its panel, left behind still
  // wired to this device, must not reach the second page's data.
  f.Page.AttachDevice(f.List->FindByID("gdevall"));
  std::fill_n(secondBuffer.Data(), secondBuffer.DataSize(), 0);
  f.V.Rec.Lines.clear();
  f.Frame().ReadBtn.Click();
  EXPECT_TRUE(f.Lines().empty());
  EXPECT_EQ(secondBuffer.Data()[0x80], 0);
}

} // namespace
