#include <gtest/gtest.h>

#include <bitset>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "link/cipher.h"
#include "link/fwheader.h"
#include "link/fwimages.h"
#include "sim/virtualmodule.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TEST(Cipher, RoundTripRestoresEveryInput) {
  std::mt19937 rng(7);
  TBytes noise(5000);
  for (auto& b : noise)
    b = static_cast<std::uint8_t>(rng());
  TBytes ramp(256);
  for (int i = 0; i < 256; ++i)
    ramp[i] = static_cast<std::uint8_t>(i);
  const std::vector<TBytes> inputs = {{}, {0x00}, {0xFF}, TBytes(300, 0), ramp, noise};
  const std::vector<TCipherParams> params = {ImageCipher, {0, 1, 0}, {0xFFFF, 0xFFFF, 0xFFFF}};
  for (const auto& p : params)
    for (const auto& plain : inputs) {
      TBytes data = plain;
      EncipherInPlace(data.data(), data.size(), p);
      TBytes back(data.size());
      Decipher(data.data(), back.data(), data.size(), p);
      EXPECT_EQ(back, plain) << "key " << p.Key << " size " << plain.size();
      DecipherInPlace(data.data(), data.size(), p);
      EXPECT_EQ(data, plain);
    }
}

TEST(Cipher, FirstByteDependsOnlyOnKeyAndFirstInput) {
  TBytes a = {0x5A, 0x00, 0x11};
  TBytes b = {0x5A, 0xFF, 0x99, 0x42};
  EncipherInPlace(a.data(), a.size());
  EncipherInPlace(b.data(), b.size());
  EXPECT_EQ(a[0], b[0]);
  EXPECT_EQ(a[0], 0x5A ^ (ImageCipher.Key >> 8));
  // A key whose high byte is zero passes the first byte unchanged.
  TBytes c = {0x77, 0x01};
  EncipherInPlace(c.data(), c.size(), {0x00FF, 3, 5});
  EXPECT_EQ(c[0], 0x77);
}

TEST(Cipher, StringFormsMatchTheBufferForm) {
  std::string text = "Korvane \x01\xFF text";
  TBytes bytes(text.begin(), text.end());
  EncipherInPlace(bytes.data(), bytes.size());
  const std::string enciphered(bytes.begin(), bytes.end());
  EXPECT_EQ(DecipherString(enciphered), text);
  std::string inPlace = enciphered;
  DecipherStringInPlace(inPlace);
  EXPECT_EQ(inPlace, text);
}

// The command groups an image says it answers: the body starts with them.
std::bitset<256> GroupsOf(const TBytes& image, std::size_t headerAt) {
  std::bitset<256> groups;
  const std::uint8_t* body = image.data() + headerAt + ImageHeaderSize;
  for (int i = 0; i < body[0]; ++i)
    groups.set(body[1 + i]);
  return groups;
}

TEST(Images, BaseFirmwareFitsBelowTheModulesAndIsCurrent) {
  const TFirmwareImage raw = BaseFirmwareImage();
  ASSERT_GT(raw.Size, ImageHeaderSize);
  EXPECT_LE(raw.Size, BaseFirmwareLimit);
  EXPECT_NE(raw.Data[0], 'K') << "images are stored enciphered";
  const TBytes image = DecodeImage(raw);
  const auto h = ReadImageHeader(image.data(), image.size());
  ASSERT_TRUE(h);
  EXPECT_EQ(h->Kind, TImageKind::Base);
  EXPECT_GE(h->Version, 0x10000000u);
  EXPECT_EQ(ImageHeaderSize + h->BodyLength, image.size());
  const auto groups = GroupsOf(image, 0);
  EXPECT_TRUE(groups.test(0x00) && groups.test(0x30) && groups.test(0x40));
  EXPECT_EQ(groups.count(), 3u);
}

TEST(Images, EveryModuleDecodesToItsOwnValidHeader) {
  std::bitset<256> claimed;
  for (int m = tmMotorola; m < ModuleCount; ++m) {
    const auto module = static_cast<TModule>(m);
    const TBytes image = DecodeImage(ModuleImage(module));
    const std::size_t headerAt = module == tmKVBoot ? 0 : ProtocolModuleOffset;
    ASSERT_GT(image.size(), headerAt + ImageHeaderSize) << ModuleName(module);
    const auto h = ReadImageHeader(image.data() + headerAt, image.size() - headerAt);
    ASSERT_TRUE(h) << ModuleName(module);
    EXPECT_EQ(h->Module, module);
    EXPECT_EQ(h->Kind, module == tmKVBoot ? TImageKind::BootUpdater : TImageKind::Protocol);
    EXPECT_EQ(headerAt + ImageHeaderSize + h->BodyLength, image.size()) << ModuleName(module);
    // Each command group belongs to one module only.
    const auto groups = GroupsOf(image, headerAt);
    EXPECT_TRUE((claimed & groups).none()) << ModuleName(module);
    EXPECT_FALSE(groups.test(0x00) || groups.test(0x30) || groups.test(0x40));
    claimed |= groups;
    if (module != tmKVBoot) {
      EXPECT_TRUE(groups.any()) << ModuleName(module);
    }
  }
  EXPECT_EQ(ModuleImage(tmNone).Size, 0u);
  EXPECT_TRUE(DecodeImage(ModuleImage(tmNone)).empty());
}

TEST(Images, BootEepromImageFitsTheBootEeprom) {
  const TBytes image = DecodeImage(BootEepromImage());
  EXPECT_LE(image.size(), TVirtualModule::BootEepromSize);
  const auto h = ReadImageHeader(image.data(), image.size());
  ASSERT_TRUE(h);
  EXPECT_EQ(h->Kind, TImageKind::BootEeprom);
  EXPECT_GE(h->Version, 0x10000000u);
}

} // namespace
