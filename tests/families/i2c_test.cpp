#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "serialfixture.h"
#include "sim/i2ccommands.h"
#include "sim/i2ceeprom.h"

namespace {

std::string ResultLine(const std::string& prefix, const std::string& device, int first, int last,
                       int errors = 0) {
  char range[48];
  std::snprintf(range, sizeof range, " Range: %X - %02X", static_cast<unsigned>(first),
                static_cast<unsigned>(last));
  const std::string outcome = errors ? " " + std::to_string(errors) + " Errors Found" : "Success";
  return prefix + outcome + "  Device: " + device + range;
}

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i)
    v[i] = static_cast<std::uint8_t>(seed ^ (i * 13 + (i >> 8)));
  return v;
}

TEST(I2CRoad, ReadOfA24C02EndsWithOneResultLineAndTheTargetOff) {
  TSerialFixture f("i2cn02");
  const auto image = Pattern(256, 0x5A);
  f.Part<TI2CEeprom>()->Memory = image;
  f.V.Rec.Lines.clear();
  EXPECT_TRUE(f.Frame().ReadBtn.Click());
  EXPECT_EQ(f.Lines(), std::vector<std::string>{"Reading: Success  Device: 24C02 Range: 0 - FF"});
  EXPECT_TRUE(std::equal(image.begin(), image.end(), f.Buffer.Data()));
  EXPECT_EQ(f.Module->LoadedModule(), tmEEPROM);
  EXPECT_TRUE(f.TargetIdle());
  // The connection panel shows the measured pins with their checks.
  EXPECT_EQ(f.Con().PinTexts[8], "5.00V  OK");
  EXPECT_EQ(f.Con().PinColours[8], TPinColour::Green);
}

TEST(I2CAttach, PanelsFollowTheClass) {
  struct TCase {
    const char* Id;
    std::array<std::string, 9> Pins;
    int Capacity;
  };
  const std::array<std::string, 9> i2cPins{"Unused", "CLK", "A1", "A2", "Vss",
                                           "DATA",   "A0",  "WP", "Vcc"};
  const TCase cases[] = {
      {"i2cn02", i2cPins, 256},
      {"i2c0c00", i2cPins, 16},
      {"i2c1x01",
       {"Unused", "CLK", "Unused", "Unused", "Vss", "DATA", "Unused", "Unused", "Vcc"},
       128},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    TSerialFixture f(c.Id);
    EXPECT_EQ(f.Con().PinNames, c.Pins);
    EXPECT_EQ(f.Frame().RangeStart, 0);
    EXPECT_EQ(f.Frame().RangeEnd, c.Capacity - 1);
    EXPECT_EQ(f.Frame().EndText, HexText(c.Capacity - 1));
    EXPECT_EQ(f.Buffer.DataSize(), c.Capacity);
    EXPECT_TRUE(f.Buffer.Modified());
    EXPECT_FALSE(f.Frame().EraseBtn.Visible); // no built-in I2C part erases
    EXPECT_FALSE(f.Frame().ReadStatusRegisterBtn.Visible);
    EXPECT_FALSE(f.Frame().RegisterEditVisible);
    EXPECT_FALSE(f.Frame().ClearProtectRegisterBtn.Visible);
    EXPECT_FALSE(f.Con().TestConnectionBtn.Visible);
  }
}

// Program, read back, verify and blank-check every addressing form.
TEST(I2CClasses, ProgramReadVerifyBlank) {
  const char* ids[] = {"i2cn01",  "i2cn02",   "i2cn04",  "i2cn16",  "i2cn64",
                       "i2cnF82", "i2cn2516", "i2c0c00", "i2c1x01", "i2cnkz06"};
  for (const char* id : ids) {
    SCOPED_TRACE(id);
    TSerialFixture f(id);
    const std::string name = f.Device->Name;
    const int last = f.Frame().RangeEnd;
    EXPECT_EQ(f.Device->DeviceBlankCheck(), trSuccess);
    const auto image = Pattern(static_cast<std::size_t>(last + 1), 0x33);
    std::copy(image.begin(), image.end(), f.Buffer.Data());
    f.Frame().ProgramBtn.Click();
    EXPECT_EQ(f.Part<TI2CEeprom>()->Memory, image);
    std::fill_n(f.Buffer.Data(), last + 1, 0);
    f.Frame().ReadBtn.Click();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), f.Buffer.Data()));
    f.Frame().VerifyBtn.Click();
    f.Frame().BlankCheckBtn.Click();
    const int notBlank = static_cast<int>(
        std::count_if(image.begin(), image.end(), [](auto b) { return b != 0xFF; }));
    ASSERT_GE(f.Lines().size(), 4u);
    EXPECT_EQ(f.Lines()[0], ResultLine("Programming: ", name, 0, last));
    EXPECT_EQ(f.Lines()[1], ResultLine("Reading: ", name, 0, last));
    EXPECT_EQ(f.Lines()[2], ResultLine("Verifying: ", name, 0, last));
    EXPECT_EQ(f.Lines().back(), ResultLine("Blank Checking: ", name, 0, last, notBlank));
    EXPECT_EQ(f.Lines().size(), 4u + static_cast<std::size_t>(notBlank));
    EXPECT_TRUE(f.TargetIdle());
  }
}

TEST(I2CBlocks, RangesAreReadInBlocksOfAtMost56Bytes) {
  struct TCase {
    const char* Id;
    int Start, End;
    std::uint64_t Frames; // connect(s), blocks, power off, release
  };
  const TCase cases[] = {{"i2cn02", 0, 99, 5},    {"i2cn02", 0, 55, 4}, {"i2cn02", 0x10, 0x10, 4},
                         {"i2cn02", 0, 0xFF, 8},  {"i2c0c00", 0, 15, 5}, // a second connect frame
                         {"i2c1x01", 0, 0x7F, 7}};
  for (const TCase& c : cases) {
    TSerialFixture f(c.Id);
    ASSERT_TRUE(f.Frame().SetRange(c.Start, c.End));
    const std::uint64_t before = f.Module->FramesReceived();
    EXPECT_EQ(f.Device->DeviceRead(), trSuccess);
    EXPECT_EQ(f.Module->FramesReceived() - before, c.Frames) << c.Start << ".." << c.End;
  }
}

TEST(I2CProgram, ARangeCutAtItsEndWritesNothingPast) {
  TSerialFixture f("i2cn02");
  f.Fill(1);
  ASSERT_TRUE(f.Frame().SetRange(0x05, 0x2A));
  f.Frame().ProgramBtn.Click();
  const auto& mem = f.Part<TI2CEeprom>()->Memory;
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(mem[i], i >= 5 && i <= 0x2A ? f.Buffer.Data()[i] : 0xFF) << i;
  EXPECT_EQ(f.Lines().back(), ResultLine("Programming: ", "24C02", 5, 0x2A));
}

TEST(I2CProgram, ModifiedOnlyWritesTheMarkedBytesInsideTheRange) {
  struct TCase {
    const char* Id;
    std::uint8_t Org;
    std::vector<int> Marks;
    std::vector<int> Written; // cells that change
  };
  const TCase cases[] = {
      {"i2cn02", 8, {3, 0x70, 0x40}, {3, 0x70, 0x40}},
      {"i2cn02", 8, {0xF0, 2}, {2}}, // 0xF0 is outside the range 0..0x7F
      // 16-bit: the whole word below an odd offset, at word address offset/2.
      {"i2cn02", 16, {5}, {4, 5}},
      // The X24C01 takes buffer offsets even for 16-bit organisation.
      {"i2c1x01", 16, {9}, {8, 9}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id + std::string(" org ") + std::to_string(c.Org));
    TSerialFixture f(c.Id);
    f.Device->e2org = c.Org;
    f.Fill(0x10);
    ASSERT_TRUE(f.Frame().SetRange(0, 0x7F));
    f.Frame().ProgramModifiedOnlyCheck.Checked = true;
    for (int m : c.Marks)
      f.Page.ModifiedList.AddOffset(m);
    f.Frame().ProgramBtn.Click();
    const auto& mem = f.Part<TI2CEeprom>()->Memory;
    for (int i = 0; i < static_cast<int>(mem.size()); ++i) {
      const bool written = std::find(c.Written.begin(), c.Written.end(), i) != c.Written.end();
      EXPECT_EQ(mem[i], written ? f.Buffer.Data()[i] : 0xFF) << i;
    }
    EXPECT_EQ(f.Lines().back(), ResultLine("Programming: ", f.Device->Name, 0, 0x7F));
    EXPECT_TRUE(f.TargetIdle());
  }
}

TEST(I2CProgram, ModifiedOnlyWithNothingMarkedSaysSoAndWritesNothing) {
  TSerialFixture f("i2cn02");
  f.Frame().ProgramModifiedOnlyCheck.Checked = true;
  f.Frame().ProgramBtn.Click();
  EXPECT_EQ(f.V.Rec.Boxes, std::vector<std::string>{"Information|No modified data"});
  EXPECT_EQ(f.Part<TI2CEeprom>()->WriteCycles, 0u);
}

TEST(I2CVerify, EveryDifferingByteOfABlockIsReported) {
  TSerialFixture f("i2cn02");
  f.Part<TI2CEeprom>()->Memory = Pattern(256, 7);
  std::copy_n(f.Part<TI2CEeprom>()->Memory.begin(), 256, f.Buffer.Data());
  f.Buffer.Data()[0x10] ^= 0xFF;
  f.Buffer.Data()[0x11] = 0x00;
  f.Buffer.Data()[0xFF] ^= 1;
  const auto& mem = f.Part<TI2CEeprom>()->Memory;
  f.Frame().VerifyBtn.Click();
  char l1[64], l2[64], l3[64];
  std::snprintf(l1, sizeof l1, "Verify Error [10] = %02X read %02X", f.Buffer.Data()[0x10],
                mem[0x10]);
  std::snprintf(l2, sizeof l2, "Verify Error [11] = 00 read %02X", mem[0x11]);
  std::snprintf(l3, sizeof l3, "Verify Error [FF] = %02X read %02X", f.Buffer.Data()[0xFF],
                mem[0xFF]);
  const int errors = mem[0x11] == 0 ? 2 : 3;
  std::vector<std::string> expected{l1};
  if (errors == 3) expected.push_back(l2);
  expected.push_back(l3);
  expected.push_back(ResultLine("Verifying: ", "24C02", 0, 0xFF, errors));
  EXPECT_EQ(f.Lines(), expected);
}

TEST(I2CAlg, PartsNeedingIt_ReadTheLastByteBeforeProgramming) {
  for (const char* id : {"i2cn02", "i2cn2526"}) {
    TSerialFixture f(id);
    ASSERT_TRUE(f.Frame().SetRange(0, 0x0F));
    const std::uint64_t before = f.Module->FramesReceived();
    EXPECT_EQ(f.Device->DeviceProgram(), trSuccess);
    // connect, (one read), one write block, power off, release
    EXPECT_EQ(f.Module->FramesReceived() - before, f.Device->Alg == 1 ? 5u : 4u) << id;
  }
}

TEST(I2CBreak, CancelStopsBetweenBlocksAndKeepsWhatWasRead) {
  TSerialFixture f("i2cn02");
  f.Part<TI2CEeprom>()->Memory = Pattern(256, 9);
  std::fill_n(f.Buffer.Data(), 256, 0);
  f.V.Rec.OnPump = [] { TaskForm().SetUserBreak(true); };
  f.Frame().ReadBtn.Click();
  EXPECT_EQ(f.Lines(),
            std::vector<std::string>{"Reading: User Break  Device: 24C02 Range: 0 - FF"});
  const auto& mem = f.Part<TI2CEeprom>()->Memory;
  EXPECT_TRUE(std::equal(mem.begin(), mem.begin() + 56, f.Buffer.Data()));
  EXPECT_EQ(f.Buffer.Data()[56], 0);
  EXPECT_TRUE(f.TargetIdle());
}

// Each fault: the panel's lines, the result, the target left off and released.
TEST(I2CFaults, LinesResultAndTargetState) {
  enum TOp { Read, Program };
  struct TCase {
    const char* Name;
    TOp Op;
    std::function<void(TSerialFixture&)> Inject;
    TTaskResult Result;
    std::string Message;
  };
  const TCase cases[] = {
      {"no acknowledge", Read, [](TSerialFixture& f) { f.Part<TI2CEeprom>()->Faults.NoAck = true; },
       trACKError, "ACK Error"},
      {"SDA stuck low", Read,
       [](TSerialFixture& f) { f.Part<TI2CEeprom>()->Faults.StuckSda = true; }, trI2CBusBusy,
       "I2C Bus Busy"},
      {"WP high (part)", Program,
       [](TSerialFixture& f) { f.Part<TI2CEeprom>()->Faults.WpHigh = true; }, trWPError,
       "WP High Error"},
      {"WP high (pin)", Program,
       [](TSerialFixture& f) {
         std::string e;
         ASSERT_TRUE(f.Module->AddFault("pin=P8:5", e)) << e;
       },
       trWPError, "WP High Error"},
      {"stays busy", Program,
       [](TSerialFixture& f) { f.Part<TI2CEeprom>()->Faults.StaysBusy = true; }, trDevTimeout,
       "Device not Respond"},
      {"reply count 0", Read,
       [](TSerialFixture& f) {
         auto g = std::dynamic_pointer_cast<TI2CCommands>(f.Socket->Current().Groups[0].second);
         g->CountFault.Count = 0;
       },
       trDevFrameError, "Frame Error"},
      {"reply count too large", Read,
       [](TSerialFixture& f) {
         auto g = std::dynamic_pointer_cast<TI2CCommands>(f.Socket->Current().Groups[0].second);
         g->CountFault.Count = 200;
       },
       trDevFrameError, "Frame Error"},
      {"module status", Read,
       [](TSerialFixture& f) {
         std::string e;
         ASSERT_TRUE(f.Module->AddFault("status=22@2", e)) << e;
       },
       trACKError, "ACK Error"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSerialFixture f("i2cn02");
    f.Fill(3);
    const auto before = f.Part<TI2CEeprom>()->Memory;
    c.Inject(f);
    const TTaskResult r = c.Op == Read ? f.Device->ReadBtnClick() : f.Device->ProgramBtnClick();
    EXPECT_EQ(r, c.Result);
    const std::string prefix = c.Op == Read ? "Reading: " : "Programming: ";
    EXPECT_EQ(f.Lines(),
              (std::vector<std::string>{c.Message, ResultLine(prefix, "24C02", 0, 0xFF, 1)}));
    EXPECT_EQ(TaskForm().ErrorCount, 1);
    EXPECT_TRUE(f.TargetIdle());
    if (c.Op == Program && c.Result == trWPError) {
      EXPECT_EQ(f.Part<TI2CEeprom>()->Memory, before);
    }
  }
}

TEST(I2CFaults, AWriteThatDoesNotStickIsFoundByVerify) {
  TSerialFixture f("i2cn02");
  ASSERT_TRUE(f.Frame().SetRange(0, 3));
  f.Part<TI2CEeprom>()->Faults.WritesDoNotStick = true;
  f.Buffer.Data()[0] = 0x12;
  f.Buffer.Data()[1] = 0xFF;
  f.Buffer.Data()[2] = 0x00;
  f.Buffer.Data()[3] = 0x34;
  EXPECT_EQ(f.Device->ProgramBtnClick(), trSuccess);
  f.V.Rec.Lines.clear();
  f.Frame().VerifyBtn.Click();
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"Verify Error [0] = 12 read FF",
                                                 "Verify Error [2] = 00 read FF",
                                                 "Verify Error [3] = 34 read FF",
                                                 ResultLine("Verifying: ", "24C02", 0, 3, 3)}));
}

TEST(I2CRange, AnUnsoundRangeIsRefusedWithoutTraffic) {
  TSerialFixture f("i2cn02");
  f.Frame().RangeEnd = 0x100; // past the part, as a script could set it
  const std::uint64_t before = f.Module->FramesReceived();
  EXPECT_NE(f.Device->ReadBtnClick(), trSuccess);
  EXPECT_EQ(f.Module->FramesReceived(), before);
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"Invalid range 0 - 100 for 24C02",
                                                 "Reading:  1 Errors Found  Device: 24C02 Range: "
                                                 "0 - 100"}));
}

} // namespace
