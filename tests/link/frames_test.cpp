#include <gtest/gtest.h>

#include <cmath>

#include "link/usbinterface.h"

namespace {

TEST(Frames, VoltCountsRoundToNearest) {
  EXPECT_EQ(VoltsToCounts(13.5f), 838);
  EXPECT_EQ(VoltsToCounts(0.9f), 56);
  EXPECT_EQ(VoltsToCounts(0), 0);
  EXPECT_EQ(VoltsToCounts(-3), 0);
  EXPECT_NEAR(CountsToVolts(310), 4.995, 0.0005);
}

TEST(Frames, BitRateDivider) {
  EXPECT_EQ(TUSBInt::BitRateDivider(9600), 412);
  EXPECT_EQ(TUSBInt::BitRateDivider(0), 0);
  EXPECT_EQ(TUSBInt::BitRateDivider(-1), 0);
  EXPECT_EQ(TUSBInt::BitRateDivider(1e9f), 0);
}

TEST(Frames, RequestLayout) {
  const TFrame f = MakeRequest(0x3004, 4565793u, 7);
  EXPECT_EQ(f[0], 0x04);
  EXPECT_EQ(f[1], 0x30);
  EXPECT_EQ(f[2], 7);
  EXPECT_EQ(GetLong(f, 3), 4565793u);
  EXPECT_EQ(f[7], 0);
  for (std::size_t i = 8; i < FrameSize; ++i)
    EXPECT_EQ(f[i], 0);
}

TEST(Frames, PinLimitsFromPresetWithAndWithoutStopFlag) {
  TPowerPreset preset;
  for (int i = 0; i < 26; ++i)
    preset.Volts[i] = static_cast<float>(i) * 0.25f;
  for (bool stop : {true, false}) {
    preset.StopOnError = stop;
    TFrame req{};
    TUSBInt::SetPinLimits(req, preset, 6.0f, 13.5f);
    SCOPED_TRACE(stop);
    const std::uint16_t flag = stop ? 0 : 0x8000;
    EXPECT_EQ(GetWord(req, 32), VoltsToCounts(6.0f) + flag);
    EXPECT_EQ(GetWord(req, 34), VoltsToCounts(13.5f));
    for (int i = 1; i < 8; ++i) {
      const std::uint16_t pinFlag = i < 7 ? flag : 0; // never on P9
      EXPECT_EQ(GetWord(req, 32 + 4 * i), VoltsToCounts(preset.Volts[12 + 2 * (i - 1)]) + pinFlag);
      EXPECT_EQ(GetWord(req, 34 + 4 * i), VoltsToCounts(preset.Volts[13 + 2 * (i - 1)]));
    }
  }
}

TEST(Frames, DecodePinResultsAndCheckTexts) {
  TFrame reply{};
  PutWord(reply, 32 + 4 * 7, 310);
  reply[34 + 4 * 7] = 1;
  reply[35 + 4 * 7] = 2;
  TPinResults r;
  TUSBInt::DecodePinResults(reply, r);
  EXPECT_NEAR(r[7].Volts, 4.995, 0.0005);
  EXPECT_EQ(r[7].Level, 1);
  EXPECT_EQ(r[7].Check, 2);
  EXPECT_EQ(r[0].Volts, 0);
  EXPECT_EQ(TUSBInt::PinCheckText(0), "N/A");
  EXPECT_EQ(TUSBInt::PinCheckText(1), "OK");
  EXPECT_EQ(TUSBInt::PinCheckText(2), "Bad");
  EXPECT_EQ(TUSBInt::PinCheckText(3), "");
}

} // namespace
