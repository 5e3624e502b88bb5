#include "guisession.h"

#include "devices/connection.h"
#include "link/debugwnd.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/libusbbackend.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "link/usbx.h"
#include "sim/virtualmodule.h"
#include "sim/virtualsocket.h"

namespace {
bool SamePart(const TSocketPartSpec& a, const TSocketPartSpec& b) {
  return a.ClassCode == b.ClassCode && a.Name == b.Name && a.Capacity == b.Capacity &&
         a.Org == b.Org && a.AddressBits == b.AddressBits && a.Pin7 == b.Pin7 &&
         a.Slave == b.Slave && a.WriteUs == b.WriteUs;
}
} // namespace

TGuiSession::TGuiSession(bool useVirtual) {
  if (useVirtual) {
    auto backend = std::make_unique<TVirtualBackend>();
    Virtual = backend.get();
    VirtualModule = backend->Plug(Config);
    Backend = std::move(backend);
    HookModule();
  } else {
    Backend = std::make_unique<TLibUsbBackend>();
  }
  Driver = std::make_unique<TEzUsbDriver>(*Backend);
  SetUsbDriver(Driver.get());
  Driver->PollEvents();
  StartLink();
}

TGuiSession::~TGuiSession() {
  StopLink();
  SocketValue.reset();
}

void TGuiSession::HookModule() {
  // An unplug fault: the backend sees the removal at the next poll.
  Module()->OnUnplugRequest = [backend = Virtual, m = VirtualModule.get()] { backend->Unplug(*m); };
}

void TGuiSession::Poll() {
  UsbDriver().PollEvents();
}

bool TGuiSession::Plugged() const {
  if (!Virtual || !VirtualModule) return false;
  for (const auto& m : Virtual->Modules())
    if (m == VirtualModule) return true;
  return false;
}

bool TGuiSession::Plug(std::string& error) {
  if (!Virtual) {
    error = "There is no virtual module";
    return false;
  }
  if (Plugged()) {
    error = "The virtual module is already plugged in";
    return false;
  }
  Virtual->Plug(VirtualModule);
  return true;
}

bool TGuiSession::Unplug(std::string& error) {
  if (!Plugged()) {
    error = "The virtual module is not plugged in";
    return false;
  }
  Virtual->Unplug(*VirtualModule);
  return true;
}

void TGuiSession::SetPersonality(TPersonality personality) {
  if (!Virtual) return;
  Config.Personality = personality;
  const bool wasPlugged = Plugged();
  if (wasPlugged) Virtual->Unplug(*VirtualModule);
  // The removal must reach the link before the new module arrives.
  Poll();
  // The part in the socket moves to the new module with its contents.
  std::vector<std::uint8_t> contents;
  if (SocketValue) contents = SocketValue->Dump();
  SocketValue.reset();
  VirtualModule = std::make_shared<TVirtualModule>(Virtual->SharedClock(), Config);
  HookModule();
  if (SocketPart) {
    SocketValue = std::make_unique<TVirtualSocket>(*VirtualModule);
    std::string error;
    if (!SocketValue->Insert(*SocketPart, error, &contents)) SocketPart.reset();
  }
  if (wasPlugged) Virtual->Plug(VirtualModule);
}

bool TGuiSession::InsertPart(const TSocketPartSpec& part, std::string& error) {
  if (!Virtual || !VirtualModule) return true;
  if (SocketValue && SocketValue->Part() && SocketPart && SamePart(*SocketPart, part)) return true;
  if (!SocketValue) SocketValue = std::make_unique<TVirtualSocket>(*VirtualModule);
  if (!SocketValue->Insert(part, error)) return false;
  SocketPart = std::make_unique<TSocketPartSpec>(part);
  return true;
}

bool TGuiSession::AddFault(const std::string& text, std::string& error) {
  if (!VirtualModule) {
    error = "There is no virtual module";
    return false;
  }
  return VirtualModule->AddFault(text, error);
}

void TGuiSession::ClearFaults() {
  if (VirtualModule) VirtualModule->ClearFaults();
}
