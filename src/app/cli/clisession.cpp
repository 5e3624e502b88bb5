#include "clisession.h"

#include <cstdio>

#include "link/debugwnd.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/libusbbackend.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/fault.h"
#include "sim/virtualmodule.h"

std::string FaultGrammarHelp() { return FaultGrammar; }

namespace {

std::string TransportErrorLine(const std::string& device, int code) {
  switch (code) {
  case UsbErrTimeout:
    return device + "Programmer not respond " + std::to_string(code);
  case UsbErrNotOpened:
    return device + "Programmer not Found " + std::to_string(code);
  default:
    return device + "Error: " + std::to_string(code);
  }
}

} // namespace

TCliSession::TCliSession(TCliContext& ctx)
    : Ctx(ctx), ConsoleServices(ctx.Yes, ctx.Quiet), Scope(ConsoleServices) {
  if (!ctx.Virtual && (!ctx.Faults.empty() || !ctx.TargetImage.empty() || !ctx.TargetDump.empty())) {
    std::fprintf(stderr, "--fault, --target-image and --target-dump need --virtual\n");
    ctx.ExitCode = ExitUsage;
    return;
  }
  if (ctx.Virtual) {
    auto backend = std::make_unique<TVirtualBackend>();
    Module = backend->Plug();
    for (const auto& text : ctx.Faults) {
      std::string error;
      if (!Module->AddFault(text, error)) {
        std::fprintf(stderr, "--fault %s: %s\n", text.c_str(), error.c_str());
        ctx.ExitCode = ExitUsage;
        return;
      }
    }
    Backend = std::move(backend);
  } else {
    Backend = std::make_unique<TLibUsbBackend>();
  }
  Driver = std::make_unique<TEzUsbDriver>(*Backend);
  SetUsbDriver(Driver.get());
  DebugWin().ListenTo(*Driver);
  // The module may unplug itself (a fault); the backend sees it at the next poll.
  if (Module) {
    auto* backend = static_cast<TVirtualBackend*>(Backend.get());
    Module->OnUnplugRequest = [backend, m = Module.get()] { backend->Unplug(*m); };
  }
  Driver->PollEvents();
  UsbConList().RefreshConnections();
  Link().OnError = [](TUsbX*, const std::string& device, int code) {
    Services().AddMessage(TransportErrorLine(device, code));
  };
  IsReady = true;
}

TCliSession::~TCliSession() {
  if (Link().Opened()) Link().Close();
  Link().OnError = nullptr;
  UsbConList().Clear();
  SetUsbDriver(nullptr);
}
