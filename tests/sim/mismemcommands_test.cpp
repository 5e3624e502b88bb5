#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <vector>

#include "sim/cat64part.h"
#include "sim/firmwarecontext.h"
#include "sim/m6mpart.h"
#include "sim/mismemparts.h"
#include "sim/moduleconfig.h"
#include "sim/pinmodel.h"
#include "sim/simclock.h"
#include "sim/tc89part.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

// The tmEEPROM_MIS firmware's groups run frame by frame against one part.
class MisMemFirmware : public ::testing::Test {
protected:
  TSimClock Clock;
  TPinModel Pins;
  TBytes Ram = TBytes(TFirmwareContext::RamSize);
  TSerialLinkSettings SerialLink;
  TModuleConfig Config;
  TFirmwareContext Fw{Clock, Pins, Ram.data(), SerialLink, Config, tmEEPROM_MIS, nullptr};
  std::shared_ptr<TMisMemSession> Session = std::make_shared<TMisMemSession>();
  TM6MCommands M6M{Session};
  TCAT64Commands CAT64{Session};
  TTC89Commands TC89{Session};
  std::shared_ptr<TMisMemPart> Part;
  std::array<std::uint8_t, 64> Reply{};

  void Insert(const char* code, std::uint32_t capacity) {
    Part = MakeMisMemPart(code, capacity);
    Fw.Target = Part.get();
    Pins.AttachTarget(Part.get());
  }
  std::uint8_t Send(TCommandGroup& group, std::uint16_t command, std::uint32_t address = 0,
                    std::uint8_t count = 0, const TBytes& data = {}, std::uint8_t org = 8) {
    std::array<std::uint8_t, 64> request{};
    request[0] = static_cast<std::uint8_t>(command);
    request[1] = static_cast<std::uint8_t>(command >> 8);
    for (int i = 0; i < 4; ++i)
      request[3 + i] = static_cast<std::uint8_t>(address >> (8 * i));
    request[7] = count;
    if ((command & 0xFF) == 0x01) {
      request[8] = 10; // power-up 100 ms
      request[9] = 20; // write time, ms
      request[10] = 5; // clock time, 2 us units
      request[11] = org;
      request[12] = 8;                    // address bits
      request[32 + 4 * PinP9 + 2] = 0xFF; // any supply voltage
      request[32 + 4 * PinP9 + 3] = 0xFF;
    }
    std::copy(data.begin(), data.end(), request.begin() + 8);
    Reply.fill(0);
    return group.Execute(Fw, request.data(), Reply.data());
  }
};

TEST_F(MisMemFirmware, FramesAndTheirStatus) {
  Insert("tcto", 256);
  EXPECT_EQ(Send(TC89, 0x9002, 0, 4), 1) << "no connect: nothing answers";
  ASSERT_EQ(Send(TC89, 0x9001), 0);
  struct TCase {
    std::uint16_t Command;
    std::uint8_t Count;
    std::uint8_t Status;
  } cases[] = {
      {0x9002, 0, 2},  {0x9002, 57, 2}, {0x9003, 0, 2},
      {0x9003, 57, 2}, {0x9002, 56, 0}, {0x9005, 1, 2}, // no such command
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Send(TC89, c.Command, 0, c.Count, TBytes(56, 0)), c.Status)
        << std::hex << c.Command << " count " << std::dec << int(c.Count);
  }
  EXPECT_EQ(Send(M6M, 0xA004), 2) << "the M6M group has no chip erase";
  EXPECT_EQ(Send(M6M, 0xA002, 0, 1), 1) << "a TC89 part does not speak M6M";
  Pins.SetSupply(false);
  EXPECT_EQ(Send(TC89, 0x9002, 0, 1), 1) << "unpowered";
}

// With 16-bit organisation the address names a word; a count that ends inside
// a word keeps the word's other byte.
TEST_F(MisMemFirmware, WordWritesKeepTheOtherByte) {
  Insert("tcto", 256);
  std::iota(Part->Cells.begin(), Part->Cells.end(), 0);
  ASSERT_EQ(Send(TC89, 0x9001, 0, 0, {}, 16), 0);
  ASSERT_EQ(Send(TC89, 0x9003, 1, 3, {0xA1, 0xA2, 0xA3}), 0);
  EXPECT_EQ(Reply[7], 3);
  EXPECT_EQ(TBytes(Part->Cells.begin(), Part->Cells.begin() + 7),
            (TBytes{0, 1, 0xA1, 0xA2, 0xA3, 5, 6}));
  ASSERT_EQ(Send(TC89, 0x9002, 2, 3), 0);
  EXPECT_EQ(TBytes(Reply.begin() + 8, Reply.begin() + 11), (TBytes{0xA3, 5, 6}));
}

// The CAT64 parts connect through the M6M group and move data through 0x17,
// which answers no other part.
TEST_F(MisMemFirmware, CAT64ConnectsThroughM6M) {
  Insert("cat6", 128);
  Part->Cells[2] = 0x5C;
  EXPECT_EQ(Send(CAT64, 0x1701), 2) << "group 0x17 has no connect";
  ASSERT_EQ(Send(M6M, 0xA001, 0, 0, {}, 16), 0);
  ASSERT_EQ(Send(CAT64, 0x1702, 1, 2), 0);
  EXPECT_EQ(Reply[8], 0x5C);
  EXPECT_EQ(Send(M6M, 0xA002, 1, 2), 1);

  Insert("m6m8", 128);
  ASSERT_EQ(Send(M6M, 0xA001, 0, 0, {}, 16), 0);
  EXPECT_EQ(Send(CAT64, 0x1702, 0, 2), 1);
}

} // namespace
