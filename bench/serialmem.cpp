// Read and program of serial memories over the virtual module, with the parts'
// modelled bus and write-cycle timings. Per operation:
//   virtual_ms  the operation's time on the virtual clock (what a user waits)
//   bound_ms    the least time the part itself allows: its data bits at the
//               bus clock, plus one write cycle per page of its page buffer
//   host_share  wall time spent by the host code / virtual time
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "devices/connection.h"
#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "editor/xhexedit.h"
#include "families/e2mem.h"
#include "families/familyclasses.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/i2ceeprom.h"
#include "sim/m25ppart.h"
#include "sim/microwirepart.h"
#include "sim/simclock.h"
#include "sim/virtualmodule.h"
#include "sim/virtualsocket.h"

namespace {

enum class TBenchOp { Read, Program };

// One programmer page over a fresh virtual module with the device in its socket.
struct TRig {
  TVirtualBackend Backend;
  TEzUsbDriver Driver{Backend};
  std::shared_ptr<TVirtualModule> Module;
  std::unique_ptr<TDeviceList> List = CreateDeviceList();
  TXHexEdit Buffer;
  TFramedPage Page;
  std::unique_ptr<TVirtualSocket> Socket;
  TE2MEM* Device = nullptr;
  bool Ready = false;

  explicit TRig(const char* id) {
    SetUsbDriver(&Driver);
    Module = Backend.Plug();
    Driver.PollEvents();
    StartLink();
    if (!FindModule() || Link().InitModule() != trSuccess) return;
    if (Link().LoadModule(tmEEPROM) != trSuccess) return;
    TaskForm().ProgramConfirmation = false;
    Device = dynamic_cast<TE2MEM*>(List->FindByID(id));
    if (!Device) return;
    Page.XHexEdit1 = &Buffer;
    Page.AttachDevice(Device);
    Socket = std::make_unique<TVirtualSocket>(*Module);
    TSocketPartSpec partDesc{ClassCode(*Device), Device->Name, Device->e2cap,    Device->e2org,
                         Device->e2len,      Device->Pin7, Device->I2CSlave, Device->e2Tw};
    std::string error;
    Ready = Socket->Insert(partDesc, error);
  }
  ~TRig() {
    Link().Close();
    Link().CurrentModule = tmNone;
    Link().OnError = nullptr;
    UsbDriver().OnDeviceChange = nullptr;
    SetUsbDriver(nullptr);
  }
};

// The part's own bound for an operation over its whole array, in microseconds.
double I2CBound(TRig& rig, TBenchOp op) {
  const auto* part = rig.Socket->PartAs<TI2CEeprom>();
  const double bitUs = 2.0 * (rig.Device->e2Tc & 0xFF);
  const double bytes = part->Facts().Capacity;
  double us = bytes * 9 * bitUs;
  if (op == TBenchOp::Program) us += (bytes / part->Facts().PageSize) * part->Facts().WriteCycleUs;
  return us;
}

// Microwire: one sequential READ, or one WRITE instruction and one write
// cycle per word (the parts have no page buffer).
double MicrowireBound(TRig& rig, TBenchOp op) {
  const auto* part = rig.Socket->PartAs<TMicrowirePart>();
  const double bitUs = 2.0 * (rig.Device->e2Tc & 0xFF);
  const double bytes = rig.Device->e2cap;
  const double width = rig.Device->e2org == 16 ? 16 : 8;
  const double words = bytes * 8 / width;
  const double instruction = 3 + rig.Device->e2len;
  if (op == TBenchOp::Read) return (instruction + bytes * 8) * bitUs;
  return words * ((instruction + width) * bitUs + static_cast<double>(part->WriteCycleUs));
}

// SPI flash: one READ, or the data bits plus one page program per 256 bytes.
double M25PBound(TRig& rig, TBenchOp op) {
  const auto* part = rig.Socket->PartAs<TM25PPart>();
  const double bitUs = 2.0 * (rig.Device->e2Tc & 0xFF);
  const double bytes = rig.Device->e2cap;
  if (op == TBenchOp::Read) return (32 + bytes * 8) * bitUs;
  return bytes * 8 * bitUs + (bytes / 256) * static_cast<double>(part->WriteCycleUs);
}

struct TBenchDevice {
  const char* Id;
  std::function<double(TRig&, TBenchOp)> Bound;
};

const TBenchDevice Devices[] = {
    {"i2cn256", I2CBound},      // 24C256
    {"miwi86", MicrowireBound}, // 93C86
    {"m25p80", M25PBound},      // M25P80
};

void SerialMemory(benchmark::State& state, const TBenchDevice& device, TBenchOp op) {
  TRig rig(device.Id);
  if (!rig.Ready) {
    state.SkipWithError("the device or its virtual part is not available");
    return;
  }
  for (int i = 0; i < rig.Buffer.DataSize(); ++i)
    rig.Buffer.Data()[i] = static_cast<std::uint8_t>(i * 31);
  double virtualUs = 0, wallUs = 0;
  std::int64_t runs = 0;
  for (auto _ : state) {
    const std::uint64_t v0 = rig.Backend.Clock().Now();
    const auto w0 = std::chrono::steady_clock::now();
    const TTaskResult r =
        op == TBenchOp::Read ? rig.Device->ReadBtnClick() : rig.Device->ProgramBtnClick();
    const auto w1 = std::chrono::steady_clock::now();
    if (r != trSuccess) {
      state.SkipWithError("the operation failed");
      return;
    }
    virtualUs += static_cast<double>(rig.Backend.Clock().Now() - v0);
    wallUs += std::chrono::duration<double, std::micro>(w1 - w0).count();
    ++runs;
  }
  const double bound = device.Bound(rig, op);
  state.counters["virtual_ms"] = virtualUs / runs / 1000.0;
  state.counters["bound_ms"] = bound / 1000.0;
  state.counters["over_bound"] = virtualUs / runs / bound;
  state.counters["host_share_pct"] = 100.0 * wallUs / virtualUs;
  state.counters["bytes"] = rig.Device->e2cap;
}

const bool Registered = [] {
  for (const TBenchDevice& d : Devices) {
    benchmark::RegisterBenchmark((std::string("Read/") + d.Id).c_str(), SerialMemory, d,
                                 TBenchOp::Read)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Program/") + d.Id).c_str(), SerialMemory, d,
                                 TBenchOp::Program)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

} // namespace

BENCHMARK_MAIN();
