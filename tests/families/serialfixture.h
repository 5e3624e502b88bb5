#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "devices/connection.h"
#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "editor/xhexedit.h"
#include "families/e2mem.h"
#include "families/familyclasses.h"
#include "sim/virtualsocket.h"
#include "app/cli/socketpart.h"
#include "support/virtuallink.h"

// A programmer page over the virtual module with one serial memory in the
// socket: the module found and initialised as at start, the device attached to
// a page whose buffer the device sizes.
class TSerialFixture {
public:
  TVirtualLink V;
  std::shared_ptr<TVirtualModule> Module;
  std::unique_ptr<TDeviceList> List = CreateDeviceList();
  TXHexEdit Buffer;
  TFramedPage Page;
  std::unique_ptr<TVirtualSocket> Socket;
  TE2MEM* Device = nullptr;

  explicit TSerialFixture(const std::string& id) {
    Link().Close();
    Link().CurrentModule = tmNone;
    Module = V.Plug();
    StartLink();
    EXPECT_TRUE(FindModule());
    EXPECT_EQ(Link().InitModule(), trSuccess);
    EXPECT_EQ(Link().LoadModule(tmEEPROM), trSuccess);
    TaskForm().ProgramConfirmation = false;
    Page.XHexEdit1 = &Buffer;
    Device = dynamic_cast<TE2MEM*>(List->FindByID(id));
    EXPECT_NE(Device, nullptr) << id;
    Page.AttachDevice(Device);
    Socket = std::make_unique<TVirtualSocket>(*Module);
    std::string error;
    EXPECT_TRUE(Socket->Insert(SocketSpecOf(*Device), error)) << error;
    V.Rec.Reset();
  }
  ~TSerialFixture() {
    Link().Close();
    Link().CurrentModule = tmNone;
    Link().OnError = nullptr;
    UsbDriver().OnDeviceChange = nullptr;
    TaskForm().ProgramConfirmation = true;
  }

  template <class T> T* Part() { return Socket->PartAs<T>(); }
  Te2memoryFrame& Frame() { return Page.E2MemoryFrame; }
  THC05BConFrame1& Con() { return Page.ConnectionPanel; }
  std::vector<std::string>& Lines() { return V.Rec.Lines; }
  // The target is left safe: supply off, every logic pin released.
  bool TargetIdle() {
    const TPinModel& p = Module->Pins();
    if (p.SupplyOn() || p.P1Code() != 0) return false;
    for (int pin = PinP2; pin <= PinP8; ++pin)
      if (p.LogicState(pin) != 2) return false;
    return true;
  }
  void Fill(std::uint8_t seed) {
    for (int i = 0; i < Buffer.DataSize(); ++i)
      Buffer.Data()[i] = static_cast<std::uint8_t>(seed + i * 7);
  }
};
