#pragma once

#include <memory>
#include <string>

#include "sim/moduleconfig.h"

class TUsbBackend;
class TUsbDriver;
class TVirtualBackend;
class TVirtualModule;
class TVirtualSocket;
struct TSocketPartSpec;

// The USB side of the GUI program: the driver over libusb, or over the
// virtual module with --virtual, and the link's process-wide objects. The
// virtual module can be plugged, unplugged, given another personality and
// faults while the program runs.
class TGuiSession {
public:
  explicit TGuiSession(bool useVirtual);
  ~TGuiSession();
  TGuiSession(const TGuiSession&) = delete;
  TGuiSession& operator=(const TGuiSession&) = delete;

  bool IsVirtual() const { return Virtual != nullptr; }
  // Delivers pending arrivals and removals (the polling timer).
  void Poll();

  // Virtual module only; each returns false (with a reason) when it does nothing.
  bool Plug(std::string& error);
  bool Unplug(std::string& error);
  bool Plugged() const;
  // Takes effect as a new module: one plugged in is unplugged and replaced.
  void SetPersonality(TPersonality personality);
  TPersonality Personality() const { return Config.Personality; }
  bool AddFault(const std::string& text, std::string& error);
  void ClearFaults();
  TVirtualModule* Module() const { return VirtualModule.get(); }

  // The virtual module's socket follows the device a page selects: a fresh
  // (erased) part for another device; the same device keeps its part and its
  // contents, so what was programmed reads back. True with nothing done on a
  // real module; false with a reason when no part stands for the device.
  bool InsertPart(const TSocketPartSpec& part, std::string& error);
  TVirtualSocket* Socket() const { return SocketValue.get(); }

private:
  void HookModule();

  std::unique_ptr<TUsbBackend> Backend;
  TVirtualBackend* Virtual = nullptr;
  std::unique_ptr<TUsbDriver> Driver;
  std::shared_ptr<TVirtualModule> VirtualModule;
  TModuleConfig Config;
  std::unique_ptr<TVirtualSocket> SocketValue;
  std::unique_ptr<TSocketPartSpec> SocketPart; // what the socket holds
};
