#include "clisession.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "devices/connection.h"
#include "editor/datafile.h"
#include "link/debugwnd.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/libusbbackend.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/fault.h"
#include "sim/virtualmodule.h"
#include "sim/virtualsocket.h"

std::string FaultGrammarHelp() {
  return std::string(FaultGrammar) + SocketFaultGrammar;
}

namespace {
constexpr const char* PartFaultPrefix = "part:";
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
      if (text.rfind(PartFaultPrefix, 0) == 0) {
        PartFaults.push_back(text.substr(std::string(PartFaultPrefix).size()));
        continue;
      }
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

bool TCliSession::InsertTarget(const TSocketPartSpec& partDesc, std::string& error) {
  if (!Module) return true; // a real module has a real part
  std::vector<std::uint8_t> image;
  if (!Ctx.TargetImage.empty()) {
    std::ifstream in(Ctx.TargetImage, std::ios::binary);
    if (!in) {
      error = "--target-image " + Ctx.TargetImage + ": cannot be read";
      return false;
    }
    image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (!Socket) Socket = std::make_unique<TVirtualSocket>(*Module);
  if (!Socket->Insert(partDesc, error, Ctx.TargetImage.empty() ? nullptr : &image)) return false;
  for (const auto& name : PartFaults)
    if (!Socket->AddFault(name, error)) {
      error = "--fault part:" + name + ": " + error;
      return false;
    }
  return true;
}

bool TCliSession::DumpTarget(std::string& error) {
  if (Ctx.TargetDump.empty() || !Socket || !Socket->Part()) return true;
  const std::vector<std::uint8_t> contents = Socket->Dump();
  std::string why;
  if (!SaveDataFile(Ctx.TargetDump, contents.data(), contents.size(), dfBinary, why)) {
    error = "--target-dump " + Ctx.TargetDump + ": " + why;
    return false;
  }
  return true;
}

TCliSession::~TCliSession() {
  StopLink();
}
