#pragma once

#include <memory>
#include <string>
#include <vector>

#include "clicontext.h"
#include "shell/consoleservices.h"

class TUsbBackend;
class TUsbDriver;
class TVirtualModule;
class TVirtualSocket;
struct TSocketPartSpec;

// What a command needs around it: the console services, the USB driver (the
// virtual module with --virtual, else libusb), the connection list probed and
// the link's transport errors worded as the message panel words them.
class TCliSession {
public:
  explicit TCliSession(TCliContext& ctx);
  ~TCliSession();
  TCliSession(const TCliSession&) = delete;
  TCliSession& operator=(const TCliSession&) = delete;

  // False (with a message on stderr, exit code set) when the options are bad.
  bool Ready() const { return IsReady; }
  TVirtualModule* VirtualModule() const { return Module.get(); }
  TConsoleServices& Console() { return ConsoleServices; }

  // Virtual module only: puts a part for the device in the module's socket,
  // holding --target-image when given (erased otherwise). False with a reason.
  bool InsertTarget(const TSocketPartSpec& partDesc, std::string& error);
  // Writes the part's contents to --target-dump when asked; false with a reason.
  bool DumpTarget(std::string& error);

private:
  TCliContext& Ctx;
  TConsoleServices ConsoleServices;
  TServicesScope Scope;
  std::unique_ptr<TUsbBackend> Backend;
  std::unique_ptr<TUsbDriver> Driver;
  std::shared_ptr<TVirtualModule> Module;
  std::unique_ptr<TVirtualSocket> Socket;
  std::vector<std::string> PartFaults; // "part:" faults, armed once the part is in
  bool IsReady = false;
};
