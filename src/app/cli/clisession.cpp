#include "clisession.h"

#include <cstdio>

#include "devices/connection.h"
#include "link/debugwnd.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/libusbbackend.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/fault.h"
#include "sim/virtualmodule.h"

std::string FaultGrammarHelp() {
  return FaultGrammar;
}

TCliSession::TCliSession(TCliContext& ctx)
    : Ctx(ctx), ConsoleServices(ctx.Yes, ctx.Quiet), Scope(ConsoleServices) {
  if (!ctx.Virtual &&
      (!ctx.Faults.empty() || !ctx.TargetImage.empty() || !ctx.TargetDump.empty())) {
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
  // The module may unplug itself (a fault); the backend sees it at the next poll.
  if (Module) {
    auto* backend = static_cast<TVirtualBackend*>(Backend.get());
    Module->OnUnplugRequest = [backend, m = Module.get()] { backend->Unplug(*m); };
  }
  Driver->PollEvents();
  StartLink();
  IsReady = true;
}

TCliSession::~TCliSession() {
  if (Link().Opened()) Link().Close();
  Link().OnError = nullptr;
  DebugWin().OnUSBArrival = nullptr;
  DebugWin().OnUSBRemove = nullptr;
  UsbConList().Clear();
  SetUsbDriver(nullptr);
}
