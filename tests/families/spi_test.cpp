#include <algorithm>
#include <functional>

#include "mwspifixture.h"
#include "sim/pinmodel.h"
#include "sim/spicommands.h"
#include "sim/spieeprompart.h"

namespace {

class Spi : public MwSpiFixture {
public:
  TSpiEepromPart& Chip() { return *Part<TSpiEepromPart>(); }
  TSpiCommands& Firmware() {
    for (auto& [group, handler] : Socket->Current().Groups)
      if (group == 0x60) return *std::dynamic_pointer_cast<TSpiCommands>(handler);
    throw std::runtime_error("no SPI firmware");
  }
};

// Program, read back and verify over a range that starts and ends off the
// page boundaries, for one-byte addresses, A8 in the opcode and two-byte
// addresses; the panel shows the SPI pins and the status register.
TEST_F(Spi, ProgramReadVerifyEveryAddressForm) {
  struct TCase {
    const char* Id;
    const char* Name;
  };
  const TCase cases[] = {
      {"spis010", "25C010"}, {"spis040", "25C040"},   {"spiss040", "ST95040"},
      {"spis640", "25C640"}, {"spis95p2", "ST95P02"}, {"spis256", "25C256"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    Use(c.Id);
    Te2memoryFrame& f = Frame();
    EXPECT_EQ(Page.ConnectionPanel.PinNames[3], "WP");
    EXPECT_EQ(Page.ConnectionPanel.PinNames[7], "HOLD");
    EXPECT_TRUE(f.ReadStatusRegisterBtn.Visible && f.WriteStatusRegisterBtn.Visible);
    EXPECT_TRUE(f.RegisterEditVisible);
    EXPECT_FALSE(f.EraseBtn.Visible);
    EXPECT_FALSE(f.ClearProtectRegisterBtn.Visible);

    Fill(0x11);
    const auto image = BufferBytes();
    f.ProgramBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    EXPECT_EQ(Chip().Memory, image);
    ExpectTargetSafe();

    // Off the page boundaries: only the range changes.
    const int end = static_cast<int>(Dev->e2cap) - 7;
    SetRange(5, end);
    Fill(0x77);
    f.ProgramBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    for (int i = 0; i < static_cast<int>(Dev->e2cap); ++i) {
      const bool inside = i >= 5 && i <= end;
      ASSERT_EQ(Chip().Memory[i], inside ? Buffer.Data()[i] : image[i]) << i;
    }
    const auto programmed = Chip().Memory;

    SetRange(0, static_cast<int>(Dev->e2cap) - 1);
    std::fill_n(Buffer.Data(), Buffer.DataSize(), 0);
    f.ReadBtn.OnClick();
    EXPECT_EQ(BufferBytes(), programmed);
    EXPECT_EQ(LastLine(), std::string("Reading: Success  Device: ") + c.Name + " Range: 0 - " +
                              HexText(static_cast<int>(Dev->e2cap) - 1));

    V.Rec.Reset();
    Chip().Memory[Dev->e2cap - 1] ^= 0x01;
    f.VerifyBtn.OnClick();
    EXPECT_EQ(TaskForm().ErrorCount, 1);
    ExpectTargetSafe();
  }
}

// The block-protect bits written through the register edit guard the upper
// quarter, half or all of the array; the read shows them back.
TEST_F(Spi, StatusRegisterBlockProtect) {
  struct TCase {
    const char* Value;
    int ProtectedFrom;
  };
  const TCase cases[] = {{"00", 512}, {"04", 384}, {"08", 256}, {"0C", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    Use("spis040");
    Te2memoryFrame& f = Frame();
    ASSERT_TRUE(f.RegisterEditChange(c.Value));
    f.WriteStatusRegisterBtn.OnClick();
    EXPECT_EQ(Result(), trSuccess) << LastLine();
    EXPECT_EQ(LastLine(), "Write Status Register: Success  Device: 25C040");
    f.SetRegisterValue(0xFF);
    f.ReadStatusRegisterBtn.OnClick();
    EXPECT_EQ(f.RegisterText, c.Value); // WIP and WEL clear between commands

    Fill(0x40);
    f.ProgramBtn.OnClick();
    for (int i = 0; i < 512; ++i)
      ASSERT_EQ(Chip().Memory[i], i < c.ProtectedFrom ? Buffer.Data()[i] : 0xFF) << i;
    ExpectTargetSafe();
  }
}

// The part itself: the page buffer wraps within its page, and the 4-kbit
// part takes A8 from bit 3 of the opcode.
TEST_F(Spi, PartPageWrapAndA8) {
  Use("spis040");
  TSpiEepromPart& part = Chip();
  M->Pins().SetSupply(true);
  M->Pins().SetLogicState(PinP4, 1);
  M->Pins().SetLogicState(PinP8, 1);
  auto write = [&](std::uint8_t opcode, std::uint8_t address, int count, std::uint8_t first) {
    part.Select(0);
    part.Exchange(0x06);
    part.Deselect(0);
    part.Select(0);
    part.Exchange(opcode);
    part.Exchange(address);
    for (int i = 0; i < count; ++i)
      part.Exchange(static_cast<std::uint8_t>(first + i));
    part.Deselect(0);
  };
  write(0x02, 0x1C, 6, 0xA0); // 1C..1F, then wraps to 10..11
  EXPECT_EQ(part.Memory[0x1C], 0xA0);
  EXPECT_EQ(part.Memory[0x1F], 0xA3);
  EXPECT_EQ(part.Memory[0x10], 0xA4);
  EXPECT_EQ(part.Memory[0x11], 0xA5);
  EXPECT_EQ(part.Memory[0x20], 0xFF);
  // During the write cycle only RDSR is answered.
  write(0x0A, 0x05, 1, 0x55);
  EXPECT_EQ(part.Memory[0x105], 0xFF);
  write(0x0A, 0x05, 1, 0x55);
  EXPECT_EQ(part.Memory[0x105], 0xFF);
  const std::uint64_t later = part.WriteCycleUs + 1;
  part.Select(later);
  part.Exchange(0x06);
  part.Deselect(later);
  part.Select(later);
  part.Exchange(0x0A); // WRITE with A8 = 1
  part.Exchange(0x05);
  part.Exchange(0x55);
  part.Deselect(later);
  EXPECT_EQ(part.Memory[0x105], 0x55);
  EXPECT_EQ(part.Memory[0x005], 0xFF);
}

TEST_F(Spi, FaultsGiveTheirResultAndLeaveTheTargetSafe) {
  struct TCase {
    const char* Name;
    std::function<void(Spi&)> Arm;
    bool Program;
    TTaskResult Expected;
    const char* Line;
  };
  const TCase cases[] = {
      {"WP held low", [](Spi& t) { t.Force(PinP4, 0.0); }, false, trWPError, "WP High Error"},
      {"HOLD held low", [](Spi& t) { t.Force(PinP8, 0.0); }, false, trSPIHoldError,
       "HOLD High Error"},
      {"supply out of range", [](Spi& t) { t.Force(PinP9, 3.0); }, false, trDevPowerError,
       "Vdd/Vcc Out of Range"},
      {"part stays busy", [](Spi& t) { t.Chip().Faults.StaysBusy = true; }, true, trDevTimeout,
       "Device not Respond"},
      {"DO stuck high: WIP never clears",
       [](Spi& t) { t.Chip().Faults.StuckDO = TTargetDrive::High; }, true, trDevTimeout,
       "Device not Respond"},
      {"reply count 0", [](Spi& t) { t.Firmware().ReplyFault.Count = 0; }, false, trDevFrameError,
       "Frame Error"},
      {"reply count above the request", [](Spi& t) { t.Firmware().ReplyFault.Count = 57; }, true,
       trDevFrameError, "Frame Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    M->ClearFaults();
    for (int pin = 0; pin < PinIndexCount; ++pin)
      M->Pins().ReleaseForced(pin);
    Use("spis080");
    Fill(3);
    const auto before = BufferBytes();
    c.Arm(*this);
    const TTaskResult r = c.Program ? Dev->ProgramBtnClick() : Dev->ReadBtnClick();
    EXPECT_EQ(r, c.Expected) << LastLine();
    EXPECT_EQ(TaskForm().ErrorCount, 1);
    EXPECT_EQ(std::count(V.Rec.Lines.begin(), V.Rec.Lines.end(), std::string(c.Line)), 1);
    EXPECT_NE(LastLine().find(" 1 Errors Found"), std::string::npos) << LastLine();
    EXPECT_EQ(BufferBytes(), before);
    ExpectTargetSafe();
  }
}

// The socket's named faults (--fault part:NAME) reach the part and its
// firmware on both buses; an unknown name is refused with a reason.
TEST_F(Spi, NamedSocketFaults) {
  struct TCase {
    const char* Id;
    const char* Name;
    bool Program;
    TTaskResult Expected;
  };
  const TCase cases[] = {
      {"spis020", "busy", true, trDevTimeout},       {"miwi66", "busy", true, trDevTimeout},
      {"spis020", "do-high", true, trDevTimeout},    {"miwi66", "do-low", true, trDevTimeout},
      {"m25p05", "count=0", false, trDevFrameError}, {"miwi66", "count=99", false, trDevFrameError},
      {"m35080", "nostick", true, trSuccess},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Id) + " " + c.Name);
    Use(c.Id);
    std::string error;
    ASSERT_TRUE(Socket->AddFault(c.Name, error)) << error;
    SetRange(0x20, 0x3F);
    Fill(0);
    const TTaskResult r = c.Program ? Dev->ProgramBtnClick() : Dev->ReadBtnClick();
    EXPECT_EQ(r, c.Expected) << LastLine();
    ExpectTargetSafe();
  }
  std::string error;
  EXPECT_FALSE(Socket->AddFault("count=300", error));
  EXPECT_EQ(error, "count=N takes N from 0 to 255");
  error.clear();
  EXPECT_FALSE(Socket->AddFault("melt", error));
  EXPECT_FALSE(error.empty());
}

// Modified-only programming writes just the marked bytes inside the range.
TEST_F(Spi, ModifiedOnlyWritesTheMarks) {
  Use("spis160");
  Fill(0x21);
  Frame().ProgramModifiedOnlyCheck.Checked = true;
  SetRange(0x10, 0x7FF);
  for (int offset : {0x7FF, 0x10, 0x333, 0x5})
    Mark(offset);
  Frame().ProgramBtn.OnClick();
  EXPECT_EQ(Result(), trSuccess) << LastLine();
  for (int i = 0; i < 2048; ++i) {
    const bool marked = i == 0x7FF || i == 0x10 || i == 0x333;
    ASSERT_EQ(Chip().Memory[i], marked ? Buffer.Data()[i] : 0xFF) << i;
  }
}

} // namespace
