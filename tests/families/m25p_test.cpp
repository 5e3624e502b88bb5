#include <algorithm>

#include "families/m25p.h"
#include "mwspifixture.h"
#include "sim/m25ppart.h"

namespace {

class M25P : public MwSpiFixture {
public:
  TM25PPart& Chip() { return *Part<TM25PPart>(); }
  using TLog = std::vector<TRecordingGroup::TEntry>;
};

// Programming walks the range in blocks of 32 with the page write, cut at the
// range end; a lone byte goes with the byte write. The modified-only box is
// disabled and ignored.
TEST_F(M25P, ProgramBlocksAndCommands) {
  struct TCase {
    int Start, End;
    M25P::TLog Blocks;
  };
  const TCase cases[] = {
      {0, 99, {{0x600B, 32, 0}, {0x600B, 32, 32}, {0x600B, 32, 64}, {0x600B, 4, 96}}},
      {0x1F0, 0x1F0, {{0x6003, 1, 0x1F0}}},
      {0xF0, 0x110, {{0x600B, 32, 0xF0}, {0x6003, 1, 0x110}}}, // across a 256-byte page
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Start);
    Use("m25p05");
    EXPECT_FALSE(Frame().ProgramModifiedOnlyCheck.Enabled);
    EXPECT_TRUE(Frame().EraseBtn.Visible);
    Frame().ProgramModifiedOnlyCheck.Checked = true;
    auto& rec = Record(0x60);
    SetRange(c.Start, c.End);
    Fill(0x35);
    Frame().ProgramBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    EXPECT_EQ(rec.Blocks(0x6001), c.Blocks);
    for (int i = 0; i < 0x10000; ++i) {
      const bool inside = i >= c.Start && i <= c.End;
      ASSERT_EQ(Chip().Memory[i], inside ? Buffer.Data()[i] : 0xFF) << i;
    }
    ExpectTargetSafe();
  }
}

// A page program can only clear bits: programming over old data leaves the
// AND of both, which verify reports; after a bulk erase the same image goes in.
TEST_F(M25P, ProgramOnlyClearsBitsUntilErased) {
  Use("m25p10");
  std::fill(Chip().Memory.begin(), Chip().Memory.end(), 0x0F);
  SetRange(0, 0x3F);
  std::fill_n(Buffer.Data(), 0x40, 0xF0);
  Frame().ProgramBtn.OnClick();
  EXPECT_EQ(Chip().Memory[0], 0x00);
  V.Rec.Reset();
  Frame().VerifyBtn.OnClick();
  EXPECT_EQ(TaskForm().ErrorCount, 0x40);
  EXPECT_EQ(V.Rec.Lines.front(), "Verify Error [0] = F0 read 00");

  V.Rec.Reset();
  const std::uint64_t before = V.Rec.Clock;
  Frame().EraseBtn.OnClick();
  EXPECT_EQ(Result(), trSuccess) << LastLine();
  EXPECT_TRUE(std::all_of(Chip().Memory.begin(), Chip().Memory.end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
  // The wait runs e2Tera ms in steps of a second on the task runner's clock.
  EXPECT_EQ(V.Rec.Clock - before, Dev->e2Tera + TTaskForm::HoldMs);
  ASSERT_FALSE(V.Rec.Positions.empty());
  Frame().ProgramBtn.OnClick();
  EXPECT_EQ(std::vector<std::uint8_t>(Chip().Memory.begin(), Chip().Memory.begin() + 0x40),
            std::vector<std::uint8_t>(0x40, 0xF0));
  ExpectTargetSafe();
}

// Cancel during the erase wait ends it early; the erase itself succeeded, the
// result line says the user broke off.
TEST_F(M25P, EraseWaitEndsOnUserBreak) {
  Use("m25p80");
  int pumps = 0;
  V.Rec.OnPump = [&] {
    if (++pumps == 3) TaskForm().SetUserBreak(true);
  };
  EXPECT_EQ(Dev->EraseBtnClick(), trSuccess);
  V.Rec.OnPump = nullptr;
  EXPECT_EQ(V.Rec.Clock, 3000u + TTaskForm::HoldMs);
  EXPECT_EQ(LastLine(), "Erasing: User Break  Device: M25P80 - 3.3V Range: 0 - FFFFF");
  ExpectTargetSafe();
}

// Bulk erase is refused while a block is protected; the status register
// round-trips BP2..BP0 and SRWD.
TEST_F(M25P, ProtectedBlocksRefuseBulkErase) {
  Use("m25p40");
  std::fill(Chip().Memory.begin(), Chip().Memory.end(), 0x00);
  ASSERT_TRUE(Frame().RegisterEditChange("9C"));
  Frame().WriteStatusRegisterBtn.OnClick();
  Frame().SetRegisterValue(0);
  Frame().ReadStatusRegisterBtn.OnClick();
  EXPECT_EQ(Frame().RegisterText, "9C");
  Frame().EraseBtn.OnClick();
  EXPECT_EQ(Chip().Memory[0], 0x00);
  ExpectTargetSafe();
}

// A failing block stops programming with one counted error.
TEST_F(M25P, FailingBlockCountsOneError) {
  Use("m25p05");
  Chip().Faults.StaysBusy = true;
  SetRange(0, 0xFF);
  Fill(1);
  EXPECT_EQ(Dev->ProgramBtnClick(), trDevTimeout);
  EXPECT_EQ(TaskForm().ErrorCount, 1);
  EXPECT_EQ(LastLine(), "Programming:  1 Errors Found  Device: M25P05 - 3.3V Range: 0 - FF");
  ExpectTargetSafe();
}

} // namespace
