#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "editor/compbinfiles.h"
#include "editor/crc32.h"
#include "editor/hexdec.h"
#include "editor/modifiedlist.h"
#include "editor/xhexedit.h"
#include "support/recorderservices.h"

namespace {

uint32_t BitwiseCrc(const std::vector<uint8_t>& data, uint32_t crc) {
  for (uint8_t b : data) {
    crc ^= b;
    for (int k = 0; k < 8; ++k)
      crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return crc;
}

TEST(Crc32, RegisterWithoutFinalInversion) {
  const char* text = "123456789";
  uint32_t crc = Crc32Start;
  UpdateCrc32(reinterpret_cast<const uint8_t*>(text), 9, crc);
  EXPECT_EQ(Crc32Text(crc), "340BC6D9h");
  crc = Crc32Start;
  UpdateCrc32(nullptr, 0, crc);
  EXPECT_EQ(Crc32Text(crc), "FFFFFFFFh") << "an empty buffer leaves the register";
  EXPECT_EQ(Crc32Text(0x0000ABCD), "0000ABCDh");

  std::mt19937 gen(7);
  std::vector<uint8_t> data(100);
  for (auto& b : data)
    b = static_cast<uint8_t>(gen());
  for (size_t length = 0; length <= data.size(); length += 3) {
    std::vector<uint8_t> part(data.begin(), data.begin() + static_cast<long>(length));
    uint32_t whole = Crc32Start;
    UpdateCrc32(part.data(), part.size(), whole);
    EXPECT_EQ(whole, BitwiseCrc(part, Crc32Start)) << length;
    uint32_t pieces = Crc32Start; // any split gives the same register
    UpdateCrc32(part.data(), length / 3, pieces);
    UpdateCrc32(part.data() + length / 3, length - length / 3, pieces);
    EXPECT_EQ(pieces, whole) << length;
  }
}

TEST(HexDecConverter, BothDirections) {
  struct {
    THexDecType Type;
    bool FromHex;
    const char* Input;
    std::string Output;
    bool Beep;
  } const cases[] = {
      {hdSigned8, true, "FF", "-1", false},
      {hdUnsigned, true, "FF", "255", false},
      {hdUnsigned, true, "FFFFFFFFFFFFFFFF", "18446744073709551615", false},
      {hdSigned16, true, "FFFF", "-1", false},
      {hdSigned16, true, "10000", "", false},
      {hdSigned8, true, "100", "Out of Range", false},
      {hdSigned32, true, "80000000", "-2147483648", false},
      {hdSigned32, true, "100000000", "Out of Range", false},
      {hdSigned64, true, "FFFFFFFFFFFFFFFE", "-2", false},
      {hdSigned64, true, "7FFFFFFFFFFFFFFF", "NAN", false},
      {hdFloat32, true, "3F800000", "1.00", false},
      {hdFloat32, true, "7FC00000", "NAN", false},
      {hdFloat64, true, "4000000000000000", "2.00", false},
      {hdUnsigned, true, "", "", true},
      {hdUnsigned, true, "1G", "", true},
      {hdUnsigned, true, "12345678901234567", "", true},
      {hdFloat32, false, "1", "3F800000", false},
      {hdUnsigned, false, "-1", "1", false},
      {hdUnsigned, false, "2.5", "2", false},
      {hdUnsigned, false, "3.5", "4", false},
      {hdUnsigned, false, "1E30", "NAN", false},
      {hdSigned8, false, "256", "Out of Range", false},
      {hdSigned8, false, "255", "FF", false},
      {hdSigned8, false, "-128", "80", false},
      {hdSigned8, false, "-129", "Out of Range", false},
      {hdSigned16, false, "-1", "FFFF", false},
      {hdSigned16, false, "65536", "Out of Range", false},
      {hdSigned32, false, "4294967295", "FFFFFFFF", false},
      {hdSigned32, false, "-2147483649", "Out of Range", false},
      {hdSigned64, false, "-1", "FFFFFFFFFFFFFFFF", false},
      {hdFloat32, false, "1E300", "NAN", false},
      {hdFloat64, false, "-2", "C000000000000000", false},
      {hdUnsigned, false, "1,5", "", true},
      {hdUnsigned, false, "", "", true},
      {hdUnsigned, false, "INF", "", true},
      {hdUnsigned, false, "0x10", "", true},
  };
  for (const auto& c : cases) {
    THexDecConverter conv;
    conv.Type = c.Type;
    THexDecResult r = c.FromHex ? conv.HexToDec(c.Input) : conv.DecToHex(c.Input);
    EXPECT_EQ(r.Text, c.Output) << conv.TypeCaption() << " " << (c.FromHex ? "hex " : "dec ")
                                << c.Input;
    EXPECT_EQ(r.Beep, c.Beep) << conv.TypeCaption() << " " << c.Input;
  }
}

TEST(HexDecConverter, TypeButtonCycles) {
  THexDecConverter conv;
  std::vector<std::string> captions;
  for (int i = 0; i < 8; ++i) {
    captions.push_back(conv.TypeCaption());
    conv.CycleType();
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"Unsigned", "8 bits Signed", "16 bits Signed",
                                                "32 bits Signed", "64 bits Signed", "32 bits Float",
                                                "64 bits Float", "Unsigned"}));
}

void Fill(TXHexEdit& e, const std::string& name, std::vector<uint8_t> bytes) {
  e.NewData(name, static_cast<int32_t>(bytes.size()) - 1);
  std::memcpy(e.Data(), bytes.data(), bytes.size());
}

TEST(CompareBuffers, ReportsAndMarksDifferences) {
  TRecorderServices rec;
  TServicesScope scope(rec);
  TXHexEdit a, b;
  Fill(a, "a.bin", {1, 2, 3, 4});
  Fill(b, "b.bin", {1, 0xF2, 3, 0x44, 5, 6, 7, 8});
  TModifiedList marksA, marksB;
  marksA.AddOffset(3000); // cleared first
  int lastProgress = -1;
  EXPECT_EQ(
      CompareBuffers({&a, &marksA}, {&b, nullptr}, true, [&](int32_t p) { lastProgress = p; }), 2);
  EXPECT_EQ(rec.Lines,
            (std::vector<std::string>{"Comparing Files: a.bin; b.bin", "[ 000001 ]:    02     F2",
                                      "[ 000003 ]:    04     44", "Differences: 2"}));
  EXPECT_EQ(lastProgress, 3) << "only the shorter buffer's 4 bytes";
  EXPECT_EQ(marksA.Count(), 2);
  EXPECT_TRUE(marksA.Contains(1));
  EXPECT_FALSE(marksA.Contains(3000));

  rec.Reset();
  marksB.AddOffset(9);
  EXPECT_EQ(CompareBuffers({&a, nullptr}, {&b, &marksB}, false), 2);
  EXPECT_EQ(rec.Lines,
            (std::vector<std::string>{"Comparing Files: a.bin; b.bin", "Differences: 2"}));
  EXPECT_EQ(marksB.Count(), 2);

  rec.Reset();
  EXPECT_EQ(CompareBuffers({&a, &marksA}, {&a, &marksA}, true), 0) << "a page with itself";
  EXPECT_EQ(marksA.Count(), 0);
  EXPECT_EQ(rec.Lines.back(), "Differences: 0");
}

} // namespace
