// Command frames through the whole link (TUSBInt -> TUsbX -> TEzUsbDriver ->
// virtual backend -> virtual module) and through the virtual module alone;
// the difference is the host's own cost per frame.
#include <benchmark/benchmark.h>

#include "link/basecmds.h"
#include "link/debugwnd.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/virtualmodule.h"

namespace {

struct TBenchLink {
  TVirtualBackend Backend;
  TEzUsbDriver Driver{Backend};
  std::shared_ptr<TVirtualModule> Module;
  TUSBInt Link;

  TBenchLink() {
    SetUsbDriver(&Driver);
    Module = Backend.Plug();
    Driver.PollEvents();
    UsbConList().RefreshConnections();
    if (!Link.Open(0) || Link.InitModule() != trSuccess) std::abort();
  }
  ~TBenchLink() {
    Link.Close();
    UsbConList().Clear();
    SetUsbDriver(nullptr);
  }
};

void BM_SendCommand(benchmark::State& state) {
  TBenchLink b;
  TFrame request = MakeRequest(CmdReadPinLevels), reply{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(b.Link.SendCommand(request, reply, false));
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SendCommand);

// The module's share: the same frame written and read at the backend port.
void BM_VirtualModuleOnly(benchmark::State& state) {
  TVirtualBackend backend;
  auto module = backend.Plug();
  TEzUsbDriver driver(backend);
  SetUsbDriver(&driver);
  driver.PollEvents();
  UsbConList().RefreshConnections();
  {
    TUSBInt link;
    if (!link.Open(0) || link.InitModule() != trSuccess) std::abort();
  }
  TUsbStatus status;
  auto port = backend.Open(backend.Enumerate().front().Key, status);
  port->SetInterface(0, 1);
  TFrame request = MakeRequest(CmdReadPinLevels), reply{};
  std::uint32_t n = 0;
  for (auto _ : state) {
    port->Bulk(0x01, request.data(), FrameSize, 5000, n);
    port->Bulk(0x81, reply.data(), FrameSize, 5000, n);
    benchmark::DoNotOptimize(reply);
  }
  state.SetItemsProcessed(state.iterations());
  UsbConList().Clear();
  SetUsbDriver(nullptr);
}
BENCHMARK(BM_VirtualModuleOnly);

} // namespace

BENCHMARK_MAIN();
