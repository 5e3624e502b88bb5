#include <gtest/gtest.h>

#include <vector>

#include "sim/i2ceeprom.h"
#include "sim/pinmodel.h"

namespace {

// A powered part on a bus driven byte by byte, as the firmware drives it.
struct TBus {
  TI2CEeprom Part;
  TPinModel Pins;
  std::uint64_t Now = 0;
  explicit TBus(std::uint32_t capacity, std::uint8_t addressBits = 8, std::uint8_t pin7 = 0)
      : Part(TI2CEeprom::TraitsFor(capacity, addressBits, pin7, 0xA0)) {
    Pins.AttachTarget(&Part);
    Pins.SetSupply(true);
    Pins.SetLogicState(PinP8, pin7 == 1 ? 1 : 0);
    Part.PinsChanged(Pins);
  }
  // START, the bytes, STOP; the acknowledges.
  std::vector<bool> Write(std::vector<std::uint8_t> bytes) {
    std::vector<bool> acks;
    Part.Start();
    for (auto b : bytes)
      acks.push_back(Part.WriteByte(b, Now));
    Part.Stop(Now);
    return acks;
  }
};

TEST(I2CPart, PageBufferWrapsInsideThePage) {
  TBus bus(256); // 24C02: 8-byte pages
  std::vector<std::uint8_t> frame{0xA0, 0x06};
  for (int i = 0; i < 10; ++i)
    frame.push_back(static_cast<std::uint8_t>(0x10 + i));
  bus.Write(frame);
  const auto& m = bus.Part.Memory;
  // 6, 7, then 0..7 of the same page again: the last two overwrite 0x06, 0x07.
  EXPECT_EQ(m[0], 0x12);
  EXPECT_EQ(m[5], 0x17);
  EXPECT_EQ(m[6], 0x18);
  EXPECT_EQ(m[7], 0x19);
  EXPECT_EQ(m[8], 0xFF);
  EXPECT_EQ(bus.Part.WriteCycles, 1u);
}

TEST(I2CPart, NoAcknowledgeDuringTheWriteCycle) {
  TBus bus(256);
  bus.Write({0xA0, 0x00, 0x55});
  EXPECT_EQ(bus.Write({0xA0}), std::vector<bool>{false});
  bus.Now += 4999;
  EXPECT_EQ(bus.Write({0xA0}), std::vector<bool>{false});
  bus.Now += 1;
  EXPECT_EQ(bus.Write({0xA0}), std::vector<bool>{true});
}

TEST(I2CPart, ControlByteSelectsBlocksOrTheChip) {
  struct TCase {
    std::uint32_t Capacity;
    std::uint8_t Control;
    bool Ack;
    std::uint32_t Cell; // where the byte lands when acknowledged
  };
  const TCase cases[] = {
      {256, 0xA0, true, 0x33},   {256, 0xA2, false, 0}, // A0 pin is low
      {512, 0xA2, true, 0x133},  {512, 0xA4, false, 0}, // 24C04: one block bit
      {2048, 0xAE, true, 0x733}, {256, 0xB0, false, 0}, // 24C16: three; other device type
  };
  for (const TCase& c : cases) {
    TBus bus(c.Capacity);
    const auto acks = bus.Write({c.Control, 0x33, 0x5A});
    EXPECT_EQ(acks[0], c.Ack) << std::hex << int(c.Control);
    if (c.Ack) {
      EXPECT_EQ(bus.Part.Memory[c.Cell], 0x5A);
    }
  }
}

TEST(I2CPart, WritesNeedPin7AsThePartWantsIt) {
  struct TCase {
    std::uint8_t Pin7Kind; // the part's pin-7 mode
    std::uint8_t Level;    // what P8 is driven to
    bool Stored;
  };
  const TCase cases[] = {{0, 0, true}, {0, 1, false}, {1, 1, true}, {1, 0, false}, {2, 1, true}};
  for (const TCase& c : cases) {
    TBus bus(256, 8, c.Pin7Kind);
    bus.Pins.SetLogicState(PinP8, c.Level);
    bus.Part.PinsChanged(bus.Pins);
    bus.Write({0xA0, 0x10, 0x77});
    EXPECT_EQ(bus.Part.Memory[0x10] == 0x77, c.Stored) << int(c.Pin7Kind) << "/" << int(c.Level);
  }
}

TEST(I2CPart, AddressByteVariantsAndTwoByteAddresses) {
  TBus x01(128, 0); // X24C01: (address << 1) | R/W
  x01.Write({0x7F << 1, 0x42});
  EXPECT_EQ(x01.Part.Memory[0x7F], 0x42);
  TBus big(32768, 16); // 24C256
  big.Write({0xA0, 0x7F, 0xFE, 1, 2});
  EXPECT_EQ(big.Part.Memory[0x7FFE], 1);
  EXPECT_EQ(big.Part.Memory[0x7FFF], 2);
}

} // namespace
