#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "families/e2mismem.h"
#include "serialfixture.h"
#include "sim/mismemcommands.h"
#include "sim/mismempart.h"
#include "sim/pinmodel.h"

namespace {

std::string Hex2(int v) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", v);
  return text;
}

// One miscellaneous serial memory on a programmer page, its part in the
// virtual socket.
struct TMisFixture : TSerialFixture {
  TE2MisMem* Dev;
  TMisMemPart* Part;

  explicit TMisFixture(const std::string& id)
      : TSerialFixture(id), Dev(dynamic_cast<TE2MisMem*>(Device)),
        Part(Socket->PartAs<TMisMemPart>()) {
    EXPECT_NE(Dev, nullptr) << id << " is not a miscellaneous serial memory";
    EXPECT_NE(Part, nullptr) << id;
  }
  void SetRange(int start, int end) { ASSERT_TRUE(Frame().SetRange(start, end)); }
  std::vector<std::uint8_t> BufferBytes() const {
    return {Buffer.Data(), Buffer.Data() + Buffer.DataSize()};
  }
  std::string LastLine() const { return V.Rec.Lines.empty() ? "" : V.Rec.Lines.back(); }
  void Force(int pin, double volts) {
    TFault f;
    f.Kind = TFaultKind::PinVolts;
    f.Value = static_cast<std::uint8_t>(pin);
    f.Volts = volts;
    Module->AddFault(f);
  }
};

struct TClassCase {
  const char* Id;
  const char* Name;
  const char* P4; // its pin-4 label
  bool EraseShown;
};

const TClassCase Classes[] = {
    {"m6m80011", "M6M80011", "RESET", false},   {"m6m8_br9040", "BR9040", "RESET", false},
    {"cat64lc20", "CAT64LC20", "RESET", false}, {"sdes06", "SDE2506", "Unused", false},
    {"cxso12", "CXK1012", "OSC", false},        {"tcto01", "TC89101P", "ORG", true},
    {"tcto02B", "TC89102P x16", "ORG", true},
};

// Program, read back, verify and find one changed byte, for every class and
// both organisations, with the panel each class shows.
TEST(MisMem, ProgramReadVerifyEveryClass) {
  for (const auto& c : Classes) {
    SCOPED_TRACE(c.Id);
    TMisFixture f(c.Id);
    ASSERT_TRUE(f.Dev && f.Part);
    const auto& frame = f.Frame();
    EXPECT_EQ(f.Con().PinNames[3], c.P4);
    EXPECT_EQ(frame.EraseBtn.Visible, c.EraseShown);
    EXPECT_FALSE(frame.ReadStatusRegisterBtn.Visible || frame.WriteStatusRegisterBtn.Visible ||
                 frame.ClearProtectRegisterBtn.Visible || frame.RegisterEditVisible);
    EXPECT_EQ(f.Dev->Module, tmEEPROM_MIS);

    f.Fill(0x31);
    const auto image = f.BufferBytes();
    ASSERT_EQ(image.size(), f.Dev->e2cap);
    EXPECT_TRUE(f.Frame().ProgramBtn.Click());
    EXPECT_EQ(TaskForm().TaskResult, trSuccess) << f.LastLine();
    EXPECT_EQ(f.Module->LoadedModule(), tmEEPROM_MIS);
    EXPECT_EQ(f.Socket->Dump(), image);
    EXPECT_TRUE(f.TargetIdle());

    std::fill_n(f.Buffer.Data(), f.Buffer.DataSize(), 0);
    f.Frame().ReadBtn.Click();
    EXPECT_EQ(f.BufferBytes(), image);
    EXPECT_EQ(f.LastLine(), std::string("Reading: Success  Device: ") + c.Name + " Range: 0 - " +
                                HexText(static_cast<int>(f.Dev->e2cap) - 1));
    EXPECT_TRUE(f.TargetIdle());

    f.V.Rec.Reset();
    f.Part->Cells[9] ^= 0xFF;
    f.Frame().VerifyBtn.Click();
    const std::string expect =
        "Verify Error [9] = " + Hex2(image[9]) + " read " + Hex2(image[9] ^ 0xFF);
    EXPECT_EQ(std::count(f.Lines().begin(), f.Lines().end(), expect), 1);
    EXPECT_NE(f.LastLine().find("1 Errors Found"), std::string::npos) << f.LastLine();
    EXPECT_TRUE(f.TargetIdle());
  }
}

// A 16-bit part takes word addresses: ranges that start on an odd byte must
// still land every byte at its own offset and keep the byte before the range.
TEST(MisMem, OddStartOfSixteenBitPart) {
  TMisFixture f("m6m80011");
  ASSERT_TRUE(f.Part);
  std::iota(f.Part->Cells.begin(), f.Part->Cells.end(), 0);
  f.SetRange(5, 0x4A);
  std::fill_n(f.Buffer.Data(), f.Buffer.DataSize(), 0xEE);
  f.Frame().ReadBtn.Click();
  EXPECT_EQ(TaskForm().TaskResult, trSuccess) << f.LastLine();
  EXPECT_EQ(f.Buffer.Data()[4], 0xEE) << "before the range";
  for (int i = 5; i <= 0x4A; ++i)
    ASSERT_EQ(f.Buffer.Data()[i], i) << i;
  EXPECT_EQ(f.Buffer.Data()[0x4B], 0xEE) << "after the range";

  for (int i = 0; i < f.Buffer.DataSize(); ++i)
    f.Buffer.Data()[i] = static_cast<std::uint8_t>(0x80 + i);
  f.Frame().ProgramBtn.Click();
  EXPECT_EQ(TaskForm().TaskResult, trSuccess) << f.LastLine();
  for (int i = 0; i < static_cast<int>(f.Part->Capacity()); ++i) {
    const int expect = i >= 5 && i <= 0x4A ? 0x80 + i : i;
    ASSERT_EQ(f.Part->Cells[i], static_cast<std::uint8_t>(expect)) << i;
  }
}

struct TModifiedCase {
  const char* Id;
  int Marked;
  std::vector<int> Written; // cells that change
};

// Programming of modified bytes writes the marked byte, or its whole word on a
// 16-bit part, and nothing else; marks outside the range are skipped.
TEST(MisMem, ProgramModifiedOnly) {
  const TModifiedCase cases[] = {
      {"cxso11", 5, {5}},
      {"m6m80011", 5, {4, 5}},
      {"tcto01B", 8, {8, 9}},
      {"sdes06", 0x3F, {0x3F}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    TMisFixture f(c.Id);
    ASSERT_TRUE(f.Part);
    std::fill(f.Part->Cells.begin(), f.Part->Cells.end(), 0x11);
    std::fill_n(f.Buffer.Data(), f.Buffer.DataSize(), 0x22);
    f.Frame().ProgramModifiedOnlyCheck.Checked = true;
    f.Page.ModifiedList.AddOffset(c.Marked);
    f.Page.ModifiedList.AddOffset(0x40); // past this range
    f.SetRange(0, 0x3F);
    f.Frame().ProgramBtn.Click();
    EXPECT_EQ(TaskForm().TaskResult, trSuccess) << f.LastLine();
    for (int i = 0; i < static_cast<int>(f.Part->Capacity()); ++i) {
      const bool written = std::count(c.Written.begin(), c.Written.end(), i) > 0;
      ASSERT_EQ(f.Part->Cells[i], written ? 0x22 : 0x11) << i;
    }
    EXPECT_EQ(f.Part->WriteCycles, c.Written.size());
  }
}

// The TC89 erases the whole chip with its own command; the other parts' module
// has no erase, so their (hidden) Erase All fails and leaves the part as it was.
TEST(MisMem, EraseAll) {
  {
    TMisFixture f("tcto02");
    ASSERT_TRUE(f.Part);
    std::fill(f.Part->Cells.begin(), f.Part->Cells.end(), 0x5A);
    EXPECT_TRUE(f.Frame().EraseBtn.Click());
    EXPECT_EQ(TaskForm().TaskResult, trSuccess) << f.LastLine();
    EXPECT_EQ(f.Socket->Dump(), std::vector<std::uint8_t>(256, 0xFF));
    EXPECT_EQ(f.Part->EraseCycles, 1u);
    EXPECT_TRUE(f.TargetIdle());
  }
  TMisFixture f("m6m80021");
  ASSERT_TRUE(f.Part);
  std::fill(f.Part->Cells.begin(), f.Part->Cells.end(), 0x5A);
  EXPECT_FALSE(f.Frame().EraseBtn.Click()) << "hidden";
  EXPECT_EQ(f.Dev->EraseBtnClick(), trDevFrameError);
  EXPECT_EQ(TaskForm().ErrorCount, 1);
  EXPECT_EQ(f.Part->EraseCycles, 0u);
  EXPECT_EQ(f.Part->Cells.front(), 0x5A);
  EXPECT_TRUE(f.TargetIdle());
}

// Blank check reports each byte that is not FFh.
TEST(MisMem, BlankCheck) {
  TMisFixture f("cat64lc10");
  ASSERT_TRUE(f.Part);
  f.Part->Cells[3] = 0x00;
  f.Part->Cells[0x41] = 0x7E;
  f.Frame().BlankCheckBtn.Click();
  EXPECT_EQ(TaskForm().ErrorCount, 2);
  EXPECT_NE(f.LastLine().find("2 Errors Found"), std::string::npos) << f.LastLine();
  EXPECT_TRUE(f.TargetIdle());
}

enum class TOp { Read, Program };
enum class TPartFault { None, Silent, NoStick, Busy };

struct TFaultCase {
  const char* Id;
  int Pin; // forced to 0 V, or -1
  TPartFault PartFault;
  TOp Op;
  TTaskResult Result;
  const char* Line;
};

// Each fault gives its line once, its result, no change to the buffer on a
// failed read, and leaves the target off and released.
TEST(MisMem, Faults) {
  const TFaultCase cases[] = {
      {"m6m80011", PinP4, TPartFault::None, TOp::Read, trM6MResetError, "Reset Error"},
      {"cat64lc40", PinP4, TPartFault::None, TOp::Program, trM6MResetError, "Reset Error"},
      {"cxso13", PinP4, TPartFault::None, TOp::Read, trCXKOSCError, "OSC Error"},
      {"sdes06", PinP3, TPartFault::None, TOp::Read, trSDE2506_TPError, "TP Error"},
      {"sdes06", PinP7, TPartFault::None, TOp::Program, trSDE2506_CEError, "CE Error"},
      {"tcto02B", PinP4, TPartFault::None, TOp::Read, trORGError, "ORG Error"},
      {"tcto01", PinP7, TPartFault::None, TOp::Read, trCSError, "CS Error"},
      {"cxso11", PinP2, TPartFault::None, TOp::Read, trCLKError, "CLK Error"},
      {"sdes06", -1, TPartFault::Silent, TOp::Read, trACKError, "ACK Error"},
      {"m6m80041", -1, TPartFault::Silent, TOp::Read, trDevTimeout, "Device not Respond"},
      {"cxso12", -1, TPartFault::NoStick, TOp::Program, trDevWriteError, "Write Error"},
      {"sdes06", -1, TPartFault::NoStick, TOp::Program, trDevWriteError, "Write Error"},
      {"tcto01", -1, TPartFault::Busy, TOp::Program, trDevTimeout, "Device not Respond"},
      {"cat64lc10", -1, TPartFault::Busy, TOp::Program, trDevTimeout, "Device not Respond"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Id) + " " + c.Line);
    TMisFixture f(c.Id);
    ASSERT_TRUE(f.Part);
    if (c.Pin >= 0) f.Force(c.Pin, 0.0);
    f.Part->Faults.Silent = c.PartFault == TPartFault::Silent;
    f.Part->Faults.WritesDoNotStick = c.PartFault == TPartFault::NoStick;
    f.Part->Faults.StaysBusy = c.PartFault == TPartFault::Busy;
    std::fill_n(f.Buffer.Data(), f.Buffer.DataSize(), 0x42);
    const auto before = f.BufferBytes();
    (c.Op == TOp::Read ? f.Frame().ReadBtn : f.Frame().ProgramBtn).Click();
    EXPECT_EQ(TaskForm().TaskResult, c.Result);
    EXPECT_EQ(std::count(f.Lines().begin(), f.Lines().end(), c.Line), 1);
    EXPECT_EQ(TaskForm().ErrorCount, 1);
    EXPECT_NE(f.LastLine().find("1 Errors Found"), std::string::npos) << f.LastLine();
    if (c.Op == TOp::Read) {
      EXPECT_EQ(f.BufferBytes(), before);
    }
    EXPECT_TRUE(f.TargetIdle());
  }
}

// A reply count of 0 or above the count asked is a frame error, counted once,
// and nothing of the reply reaches the buffer.
TEST(MisMem, ReplyCountOutOfRange) {
  const struct {
    const char* Id;
    std::uint8_t Group;
    int Count;
    TOp Op;
  } cases[] = {
      {"m6m80011", 0xA0, 0, TOp::Read},    {"cat64lc10", 0x17, 57, TOp::Read},
      {"sdes06", 0xC0, 255, TOp::Read},    {"cxso11", 0xB0, 0, TOp::Program},
      {"tcto01B", 0x90, 17, TOp::Program},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    TMisFixture f(c.Id);
    for (auto& [group, handler] : f.Socket->Current().Groups)
      if (group == c.Group)
        std::dynamic_pointer_cast<TMisMemCommands>(handler)->ReplyFault.Count = c.Count;
    std::fill_n(f.Buffer.Data(), f.Buffer.DataSize(), 0x42);
    const auto before = f.BufferBytes();
    (c.Op == TOp::Read ? f.Frame().ReadBtn : f.Frame().ProgramBtn).Click();
    EXPECT_EQ(TaskForm().TaskResult, trDevFrameError);
    EXPECT_EQ(std::count(f.Lines().begin(), f.Lines().end(), "Frame Error"), 1);
    EXPECT_EQ(TaskForm().ErrorCount, 1);
    EXPECT_EQ(f.BufferBytes(), before);
    EXPECT_TRUE(f.TargetIdle());
  }
}

// A part of another kind in the socket, or none, does not answer.
TEST(MisMem, WrongPartDoesNotAnswer) {
  TMisFixture f("cat64lc10");
  std::string error;
  TSocketPartSpec m6m{"m6m8", "M6M80011", 128};
  ASSERT_TRUE(f.Socket->Insert(m6m, error)) << error; // connects, but speaks M6M
  f.Frame().ReadBtn.Click();
  EXPECT_EQ(TaskForm().TaskResult, trDevTimeout);
  f.Socket->Remove();
  f.Frame().ReadBtn.Click();
  EXPECT_EQ(TaskForm().TaskResult, trDevTimeout);
  EXPECT_TRUE(f.TargetIdle());
}

// Bus and write cycles run on the virtual clock: a read costs at least its
// instructions and data at the entry's clock time, a write at least its cycles.
TEST(MisMem, OperationsTakeTheirBusTime) {
  TMisFixture f("tcto02"); // 256 bytes, clock time 100 x 2 us, 10 ms write cycle
  const std::uint64_t bitUs = 2 * f.Dev->e2Tc;
  std::uint64_t t0 = f.V.Now();
  f.Frame().ReadBtn.Click();
  EXPECT_GE(f.V.Now() - t0, 256 * (11 + 8) * bitUs);
  f.SetRange(0, 15);
  t0 = f.V.Now();
  f.Frame().ProgramBtn.Click();
  EXPECT_GE(f.V.Now() - t0, 16 * 10000u);
}

} // namespace
