#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "editor/xhexedit.h"
#include "families/e2mem.h"
#include "families/familyclasses.h"
#include "families/framedpage.h"
#include "sim/commandgroup.h"
#include "sim/pinmodel.h"
#include "sim/virtualsocket.h"
#include "support/virtuallink.h"

// Passes frames on to the group's firmware and keeps each command word with
// its count byte, so a test can see the exchanges a family makes.
class TRecordingGroup : public TCommandGroup {
public:
  explicit TRecordingGroup(std::shared_ptr<TCommandGroup> inner) : Inner(std::move(inner)) {}
  struct TEntry {
    std::uint16_t Command;
    std::uint8_t Count;
    std::uint32_t Address;
    bool operator==(const TEntry&) const = default;
  };
  std::vector<TEntry> Log;
  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override {
    Log.push_back(
        {static_cast<std::uint16_t>(request[0] | (request[1] << 8)), request[7],
         static_cast<std::uint32_t>(request[3] | (request[4] << 8) | (request[5] << 16))});
    return Inner->Execute(fw, request, reply);
  }
  void Restart(TFirmwareContext& fw) override { Inner->Restart(fw); }
  // The commands of the log other than the connect frame.
  std::vector<TEntry> Blocks(std::uint16_t connect) const {
    std::vector<TEntry> blocks;
    for (const auto& e : Log)
      if (e.Command != connect) blocks.push_back(e);
    return blocks;
  }

private:
  std::shared_ptr<TCommandGroup> Inner;
};

// One Microwire or SPI memory on a programmer page over the virtual module,
// its part in the virtual socket, erased.
class MwSpiFixture : public ::testing::Test {
public:
  TVirtualLink V;
  std::shared_ptr<TVirtualModule> M;
  std::unique_ptr<TVirtualSocket> Socket;
  std::unique_ptr<TDeviceList> Registry = CreateDeviceList();
  TXHexEdit Buffer;
  TFramedPage Page;
  TE2MEM* Dev = nullptr;
  int SavedTimeout = 5000;

  void SetUp() override {
    M = V.Plug();
    Socket = std::make_unique<TVirtualSocket>(*M);
    ASSERT_TRUE(Link().Open(0));
    ASSERT_EQ(Link().InitModule(), trSuccess);
    TaskForm().ProgramConfirmation = false;
    Page.XHexEdit1 = &Buffer;
    SavedTimeout = Link().Timeout;
  }
  void TearDown() override {
    Link().Timeout = SavedTimeout; // some erases change the link's for good
    if (Dev) Dev->DetachPage(&Page);
    Link().Close();
  }

  void Use(const std::string& id) {
    TDevice* d = Registry->FindByID(id);
    ASSERT_NE(d, nullptr) << id;
    Dev = dynamic_cast<TE2MEM*>(d);
    ASSERT_NE(Dev, nullptr) << id;
    Page.AttachDevice(Dev);
    TSocketPartSpec partDesc;
    partDesc.ClassCode = ClassCode(*Dev);
    partDesc.Name = Dev->Name;
    partDesc.Capacity = Dev->e2cap;
    partDesc.Org = Dev->e2org;
    partDesc.AddressBits = Dev->e2len;
    partDesc.WriteUs = Dev->e2Tw;
    std::string error;
    ASSERT_TRUE(Socket->Insert(partDesc, error)) << error;
    V.Rec.Reset();
  }
  // Puts a recorder in front of the socket's firmware of `group`.
  TRecordingGroup& Record(std::uint8_t group) {
    for (auto& [g, handler] : Socket->Current().Groups)
      if (g == group) {
        Recorder = std::make_shared<TRecordingGroup>(handler);
        M->RegisterGroup(group, Recorder);
      }
    return *Recorder;
  }
  std::shared_ptr<TRecordingGroup> Recorder;
  template <class T> T* Part() const { return Socket->PartAs<T>(); }
  Te2memoryFrame& Frame() { return Page.E2MemoryFrame; }
  void SetRange(int start, int end) { ASSERT_TRUE(Frame().SetRange(start, end)); }
  void Fill(std::uint8_t seed) {
    for (int i = 0; i < Buffer.DataSize(); ++i)
      Buffer.Data()[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
  std::vector<std::uint8_t> BufferBytes() const {
    return {Buffer.Data(), Buffer.Data() + Buffer.DataSize()};
  }
  std::string LastLine() const { return V.Rec.Lines.empty() ? "" : V.Rec.Lines.back(); }
  TTaskResult Result() const { return TaskForm().TaskResult; }
  void ExpectTargetSafe() const {
    EXPECT_FALSE(M->Pins().SupplyOn());
    for (int pin = PinP2; pin <= PinP8; ++pin)
      EXPECT_EQ(M->Pins().LogicState(pin), 2) << "pin index " << pin;
  }
  void Force(int pin, double volts) {
    TFault f;
    f.Kind = TFaultKind::PinVolts;
    f.Value = static_cast<std::uint8_t>(pin);
    f.Volts = volts;
    M->AddFault(f);
  }
  void Mark(int offset) { Page.ModifiedList.AddOffset(offset); }
  static std::string Hex2(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", v);
    return text;
  }
};
