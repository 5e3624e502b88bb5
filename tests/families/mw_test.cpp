#include <algorithm>
#include <functional>

#include "families/mws.h"
#include "mwspifixture.h"
#include "sim/microwirecommands.h"
#include "sim/microwirepart.h"

namespace {

class Microwire : public MwSpiFixture {
public:
  TMicrowirePart& Chip() { return *Part<TMicrowirePart>(); }
  TMicrowireCommands& Firmware() {
    for (auto& [group, handler] : Socket->Current().Groups)
      if (group == 0x80) return *std::dynamic_pointer_cast<TMicrowireCommands>(handler);
    throw std::runtime_error("no Microwire firmware");
  }
};

struct TMwCase {
  const char* Id;
  const char* Name;
  const char* P4;
  const char* P8;
  bool RegisterShown;
};

const TMwCase MwClasses[] = {
    {"miwi46", "93C46", "ORG", "WP", false},   {"miwi46B", "93C46 x16", "ORG", "WP", false},
    {"miwi86", "93C86", "ORG", "WP", false},   {"miwi86B", "93C86 x16", "ORG", "WP", false},
    {"miwi57", "93C57", "ORG", "WP", false},   {"s-29290a", "S-29290A", "ORG", "WP", false},
    {"miw77007", "77007", "ORG", "WP", false}, {"miws66", "93S66", "PE", "PRE", true},
};

// Program, read back, verify and find one changed byte, for every class and
// both organisations; each ends with the target off and released.
TEST_F(Microwire, ProgramReadVerifyEveryClass) {
  for (const auto& c : MwClasses) {
    SCOPED_TRACE(c.Id);
    Use(c.Id);
    Te2memoryFrame& f = Frame();
    EXPECT_EQ(Page.ConnectionPanel.PinNames[3], c.P4);
    EXPECT_EQ(Page.ConnectionPanel.PinNames[7], c.P8);
    EXPECT_EQ(f.RegisterEditVisible, c.RegisterShown);
    EXPECT_EQ(f.ClearProtectRegisterBtn.Visible, c.RegisterShown);
    EXPECT_FALSE(f.EraseBtn.Visible); // no Microwire entry has oErase

    Fill(0x5A);
    const auto image = BufferBytes();
    ASSERT_EQ(image.size(), Dev->e2cap);
    f.ProgramBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    EXPECT_EQ(Chip().Memory, image);
    EXPECT_FALSE(Chip().WritesEnabled()); // EWDS after the command
    ExpectTargetSafe();

    std::fill_n(Buffer.Data(), Buffer.DataSize(), 0);
    f.ReadBtn.OnClick();
    EXPECT_EQ(BufferBytes(), image);
    EXPECT_EQ(LastLine(), std::string("Reading: Success  Device: ") + c.Name + " Range: 0 - " +
                              HexText(static_cast<int>(Dev->e2cap) - 1));
    ExpectTargetSafe();

    V.Rec.Reset();
    Chip().Memory[9] ^= 0xFF;
    f.VerifyBtn.OnClick();
    const std::string line =
        "Verify Error [9] = " + Hex2(image[9]) + " read " + Hex2(image[9] ^ 0xFF);
    EXPECT_EQ(std::count(V.Rec.Lines.begin(), V.Rec.Lines.end(), line), 1);
    EXPECT_NE(LastLine().find("1 Errors Found"), std::string::npos) << LastLine();
    ExpectTargetSafe();
  }
}

// A change at an odd offset of a 16-bit part writes the word at the even
// offset below it; marks outside the range are skipped.
TEST_F(Microwire, ModifiedOnlyWritesWholeWords) {
  Use("miwi46B");
  Fill(1);
  Frame().ProgramModifiedOnlyCheck.Checked = true;
  SetRange(0, 0x3F);
  Mark(5);
  Mark(0x41); // outside the range
  Frame().ProgramBtn.OnClick();
  EXPECT_EQ(Result(), trSuccess) << LastLine();
  for (int i = 0; i < 128; ++i) {
    const std::uint8_t expected = (i == 4 || i == 5) ? Buffer.Data()[i] : 0xFF;
    EXPECT_EQ(Chip().Memory[i], expected) << i;
  }
  ExpectTargetSafe();
}

// A 16-bit part with a range on odd offsets: the bytes beside the range keep
// the part's own values, and a read puts each byte at its own offset.
TEST_F(Microwire, OddRangeOnWordsKeepsTheBytesBeside) {
  for (const auto& [start, end] : {std::pair{3, 0x20}, std::pair{5, 5}, std::pair{0x41, 0x7F}}) {
    SCOPED_TRACE(start);
    Use("miwi46B");
    for (int i = 0; i < 128; ++i)
      Chip().Memory[i] = static_cast<std::uint8_t>(0x80 + i);
    const auto old = Chip().Memory;
    Fill(7);
    SetRange(start, end);
    Frame().ProgramBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    for (int i = 0; i < 128; ++i)
      ASSERT_EQ(Chip().Memory[i], i >= start && i <= end ? Buffer.Data()[i] : old[i]) << i;
    const auto programmed = BufferBytes();
    std::fill_n(Buffer.Data(), Buffer.DataSize(), 0);
    Frame().ReadBtn.OnClick();
    for (int i = 0; i < 128; ++i)
      ASSERT_EQ(Buffer.Data()[i], i >= start && i <= end ? programmed[i] : 0) << i;
    Frame().VerifyBtn.OnClick();
    EXPECT_EQ(TaskForm().ErrorCount, 0);
  }
}

// Erase All sets every cell to FFh.
TEST_F(Microwire, EraseAllClearsTheArray) {
  Use("miwi86");
  std::fill(Chip().Memory.begin(), Chip().Memory.end(), 0x12);
  EXPECT_EQ(Dev->EraseBtnClick(), trSuccess) << LastLine();
  EXPECT_TRUE(std::all_of(Chip().Memory.begin(), Chip().Memory.end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(LastLine(), "Erasing: Success  Device: 93C86 Range: 0 - 7FF");
  ExpectTargetSafe();
}

// The 93S protect register: written, read back into the edit, honoured by
// programming, and cleared.
TEST_F(Microwire, ProtectRegisterGuardsTheTopWords) {
  Use("miws46");
  Te2memoryFrame& f = Frame();
  EXPECT_EQ(f.ReadStatusRegisterBtn.Caption, "Read Protect Register");
  ASSERT_TRUE(f.RegisterEditChange("30"));
  f.WriteStatusRegisterBtn.OnClick();
  EXPECT_EQ(Result(), trSuccess) << LastLine();
  EXPECT_TRUE(Chip().ProtectSet());
  f.SetRegisterValue(0);
  f.ReadStatusRegisterBtn.OnClick();
  EXPECT_EQ(f.RegisterText, "30");
  EXPECT_EQ(TaskForm().RangeText, "N/A");

  Fill(3);
  f.ProgramBtn.OnClick();
  for (int i = 0; i < 128; ++i)
    EXPECT_EQ(Chip().Memory[i], i < 0x60 ? Buffer.Data()[i] : 0xFF) << i;

  f.ClearProtectRegisterBtn.OnClick();
  EXPECT_EQ(Result(), trSuccess) << LastLine();
  EXPECT_FALSE(Chip().ProtectSet());
  f.ProgramBtn.OnClick();
  EXPECT_EQ(Chip().Memory, BufferBytes());
  ExpectTargetSafe();
}

struct TMwFault {
  const char* Name;
  const char* Id;
  std::function<void(Microwire&)> Arm;
  TE2Operation Operation;
  TTaskResult Expected;
  const char* Line; // the error line the panel shows ("" for none)
};

TEST_F(Microwire, FaultsGiveTheirResultAndLeaveTheTargetSafe) {
  const TMwFault cases[] = {
      {"ORG stuck low on a x16 part", "miwi46B", [](Microwire& t) { t.Force(PinP4, 0.0); }, oprRead,
       trORGError, "ORG Error"},
      {"ORG stuck high on a x8 part", "miwi46", [](Microwire& t) { t.Force(PinP4, 5.0); }, oprRead,
       trORGError, "ORG Error"},
      {"WP held low", "miwi46", [](Microwire& t) { t.Force(PinP8, 0.0); }, oprProgram, trWPError,
       "WP High Error"},
      {"DI shorted", "miwi46", [](Microwire& t) { t.Force(PinP6, 1.5); }, oprRead, trDevPowerError,
       "Vdd/Vcc Out of Range"},
      {"part stays busy", "miwi46", [](Microwire& t) { t.Chip().Faults.StaysBusy = true; },
       oprProgram, trDevTimeout, "Device not Respond"},
      {"DO stuck low: no ready", "miwi46",
       [](Microwire& t) { t.Chip().Faults.StuckDO = TTargetDrive::Low; }, oprProgram, trDevTimeout,
       "Device not Respond"},
      {"reply count 0", "miwi46", [](Microwire& t) { t.Firmware().ReplyFault.Count = 0; }, oprRead,
       trDevFrameError, "Frame Error"},
      {"reply count above the request", "miwi46",
       [](Microwire& t) { t.Firmware().ReplyFault.Count = 200; }, oprRead, trDevFrameError,
       "Frame Error"},
      {"93S: PE low fails the first connect", "miws46", [](Microwire& t) { t.Force(PinP4, 0.0); },
       oprRead, trORGError, "ORG Error"},
      {"93S: PRE stuck high", "miws46", [](Microwire& t) { t.Force(PinP8, 5.0); }, oprRead,
       trMWSPREError, "PRE Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    M->ClearFaults();
    for (int pin = 0; pin < PinIndexCount; ++pin)
      M->Pins().ReleaseForced(pin);
    Use(c.Id);
    Fill(9);
    const auto before = BufferBytes();
    c.Arm(*this);
    const TTaskResult r = c.Operation == oprRead ? Dev->ReadBtnClick() : Dev->ProgramBtnClick();
    EXPECT_EQ(r, c.Expected) << LastLine();
    EXPECT_EQ(TaskForm().ErrorCount, 1); // counted once
    EXPECT_EQ(std::count(V.Rec.Lines.begin(), V.Rec.Lines.end(), std::string(c.Line)), 1);
    EXPECT_NE(LastLine().find(" 1 Errors Found"), std::string::npos) << LastLine();
    if (c.Operation == oprRead && c.Expected != trDevFrameError) {
      EXPECT_EQ(BufferBytes(), before); // a failed connection leaves the buffer alone
    }
    ExpectTargetSafe();
  }
}

// The part itself: a WRITE only programs after EWEN, EWDS and a power cycle
// disable writes again, and DO shows busy for the write cycle.
TEST(MicrowirePart, WriteEnableLatchAndReadyBusy) {
  TMicrowirePart part(128, 7, 6, false);
  TPinModel pins;
  pins.AttachTarget(&part);
  pins.SetLogicState(PinP4, 0); // ORG low: x8, 7 address bits
  pins.SetSupply(true);
  auto send = [&](int opcode, std::uint32_t field, int data, std::uint64_t now) {
    part.Select();
    for (int bit : {1, (opcode >> 1) & 1, opcode & 1})
      part.Clock(bit);
    for (int i = 6; i >= 0; --i)
      part.Clock((field >> i) & 1);
    for (int i = 7; data >= 0 && i >= 0; --i)
      part.Clock((data >> i) & 1);
    part.Deselect(now);
  };
  send(1, 0x10, 0xA5, 0); // WRITE while disabled
  EXPECT_EQ(part.Memory[0x10], 0xFF);
  send(0, 0x60, -1, 0); // EWEN
  send(1, 0x10, 0xA5, 0);
  EXPECT_EQ(part.Memory[0x10], 0xA5);
  EXPECT_FALSE(part.Ready(part.WriteCycleUs - 1));
  EXPECT_TRUE(part.Ready(part.WriteCycleUs));
  send(0, 0x00, -1, part.WriteCycleUs); // EWDS
  send(1, 0x11, 0x5A, part.WriteCycleUs);
  EXPECT_EQ(part.Memory[0x11], 0xFF);
  send(0, 0x60, -1, part.WriteCycleUs);
  pins.SetSupply(false);
  pins.SetSupply(true);
  EXPECT_FALSE(part.WritesEnabled());
}

// A 93S part whose first connect fails is never sent the second one.
TEST_F(Microwire, FailedFirstConnectSkipsTheProtectConnect) {
  for (const bool fail : {false, true}) {
    SCOPED_TRACE(fail);
    M->ClearFaults();
    M->Pins().ReleaseForced(PinP4);
    Use("miws56");
    if (fail) Force(PinP4, 0.0);
    auto& rec = Record(0x80);
    Dev->ReadBtnClick();
    const bool second = std::any_of(rec.Log.begin(), rec.Log.end(),
                                    [](const auto& e) { return e.Command == 0x8005; });
    EXPECT_EQ(second, !fail);
    EXPECT_EQ(Result(), fail ? trORGError : trSuccess);
  }
}

// A write that does not stick passes programming; verify finds every byte.
TEST_F(Microwire, WriteThatDoesNotStickIsFoundByVerify) {
  Use("miwi46");
  SetRange(0, 0xF);
  Chip().Faults.WriteNotStick = true;
  Fill(0x20);
  EXPECT_EQ(Dev->ProgramBtnClick(), trSuccess);
  V.Rec.Reset();
  Dev->VerifyBtnClick();
  EXPECT_EQ(TaskForm().ErrorCount, 16);
  EXPECT_NE(LastLine().find("Verifying:  16 Errors Found"), std::string::npos) << LastLine();
}

} // namespace
