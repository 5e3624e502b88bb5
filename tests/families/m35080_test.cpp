#include <algorithm>

#include "families/m35080.h"
#include "link/usbinterface.h"
#include "mwspifixture.h"
#include "sim/m35080part.h"

namespace {

class M35080 : public MwSpiFixture {
public:
  TM35080Part& Chip() { return *Part<TM35080Part>(); }
  void SetUp() override {
    MwSpiFixture::SetUp();
    Use("m35080");
  }
};

// Counters are read as whole words, the rest one byte per command; a range
// starting at an odd counter offset begins with the word below it.
TEST_F(M35080, ReadCommands) {
  struct TCase {
    int Start, End;
    int CounterReads, ByteReads, FirstAddress;
  };
  const TCase cases[] = {{0, 40, 16, 9, 0}, {3, 7, 3, 0, 2}, {30, 30, 1, 0, 30}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Start);
    auto& rec = Record(0x60);
    rec.Log.clear();
    SetRange(c.Start, c.End);
    Frame().ReadBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    const auto blocks = rec.Blocks(0x6001);
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.front().Address, static_cast<std::uint32_t>(c.FirstAddress));
    EXPECT_EQ(std::count_if(blocks.begin(), blocks.end(),
                            [](const auto& e) { return e.Command == 0x6007; }),
              c.CounterReads);
    EXPECT_EQ(std::count_if(blocks.begin(), blocks.end(),
                            [](const auto& e) { return e.Command == 0x6002 && e.Count == 1; }),
              c.ByteReads);
    ExpectTargetSafe();
  }
}

// The whole part programs, reads back and verifies: counters as words (high
// byte first), the array byte by byte.
TEST_F(M35080, ProgramReadVerify) {
  Fill(0);
  for (int i = 0; i < 32; i += 2) { // counters counting up from 0
    Buffer.Data()[i] = 0;
    Buffer.Data()[i + 1] = static_cast<std::uint8_t>(i * 3);
  }
  const auto image = BufferBytes();
  Frame().ProgramBtn.OnClick();
  EXPECT_EQ(Result(), trSuccess) << LastLine();
  EXPECT_EQ(Chip().Memory, image);
  EXPECT_EQ(Chip().Counter(5), 30);
  std::fill_n(Buffer.Data(), Buffer.DataSize(), 0xEE);
  Frame().ReadBtn.OnClick();
  EXPECT_EQ(BufferBytes(), image);
  Frame().VerifyBtn.OnClick();
  EXPECT_EQ(LastLine(), "Verifying: Success  Device: M35080 Range: 0 - 3FF");
  ExpectTargetSafe();
}

// Counters only count up: a lower value is refused by the part and verify
// shows it. Modified-only writes the marked counter's word and single bytes.
TEST_F(M35080, CountersOnlyCountUp) {
  Chip().Memory[4] = 0x01;
  Chip().Memory[5] = 0x00; // counter 2 = 0100h
  std::fill_n(Buffer.Data(), Buffer.DataSize(), 0xFF);
  Buffer.Data()[4] = 0x00;
  Buffer.Data()[5] = 0x80; // lower: refused
  Buffer.Data()[6] = 0x00;
  Buffer.Data()[7] = 0x09; // counter 3 from 0 to 9
  Buffer.Data()[40] = 0x5A;
  Frame().ProgramModifiedOnlyCheck.Checked = true;
  auto& rec = Record(0x60);
  for (int offset : {5, 7, 40})
    Mark(offset);
  Frame().ProgramBtn.OnClick();
  const std::vector<TRecordingGroup::TEntry> expected = {
      {0x6006, 2, 4}, {0x6006, 2, 6}, {0x6003, 1, 40}};
  EXPECT_EQ(rec.Blocks(0x6001), expected);
  EXPECT_EQ(Chip().Counter(2), 0x0100);
  EXPECT_EQ(Chip().Counter(3), 9);
  EXPECT_EQ(Chip().Memory[40], 0x5A);
  SetRange(4, 7);
  V.Rec.Reset();
  Frame().VerifyBtn.OnClick();
  EXPECT_EQ(V.Rec.Lines.front(), "Verify Error [4] = 00 read 01");
  EXPECT_EQ(TaskForm().ErrorCount, 2);
}

// Erase by the range end: the service value runs the service erase (counters
// back to 0), any other end the array erase; the link's time-out ends at 10 s.
TEST_F(M35080, EraseByRangeEnd) {
  struct TCase {
    int End;
    std::uint16_t Command;
    std::uint8_t Counter0High;
  };
  const TCase cases[] = {{0x3FF, 0x600C, 0x12}, {TM35080::ServiceEnd, 0x6008, 0x00}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Command);
    std::fill(Chip().Memory.begin(), Chip().Memory.end(), 0x12);
    auto& rec = Record(0x60);
    rec.Log.clear();
    SetRange(0, c.End);
    Frame().EraseBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    ASSERT_EQ(rec.Blocks(0x6001).size(), 1u);
    EXPECT_EQ(rec.Blocks(0x6001)[0].Command, c.Command);
    EXPECT_EQ(Chip().Memory[0], c.Counter0High);
    EXPECT_EQ(Chip().Memory[0x3FF], 0xFF);
    EXPECT_EQ(Link().Timeout, 10000);
    ExpectTargetSafe();
  }
}

} // namespace
