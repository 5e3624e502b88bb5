// read, program, verify, blank, erase: one device operation through the task
// runner, as a programmer page runs it, with its panel lines on stdout.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/clicontext.h"
#include "clisession.h"
#include "socketpart.h"
#include "devices/connection.h"
#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "editor/datafile.h"
#include "editor/xhexedit.h"
#include "families/e2mem.h"
#include "families/familyclasses.h"
#include "link/usbinterface.h"
#include "sim/virtualsocket.h"

namespace {

enum class TOp { Read, Program, Verify, Blank, Erase };

struct TOpOptions {
  std::string Device;
  std::string Range;
  std::string File;
  bool ModifiedOnly = false;
};

std::string Lower(std::string s) {
  for (auto& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// "START:END" in hexadecimal ("0x" or "$" allowed).
bool ParseRange(const std::string& text, int& start, int& end) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return false;
  auto number = [](std::string part, int& value) {
    if (part.rfind("0x", 0) == 0 || part.rfind("0X", 0) == 0)
      part.erase(0, 2);
    else if (!part.empty() && part[0] == '$')
      part.erase(0, 1);
    return ReadHexEdit(part, value) && value >= 0;
  };
  return number(text.substr(0, colon), start) && number(text.substr(colon + 1), end);
}

// A device by its identifier or its name, ignoring case.
TDevice* FindDevice(const TDeviceList& list, const std::string& key) {
  if (TDevice* d = list.FindByID(key)) return d;
  const std::string k = Lower(key);
  for (int i = 0; i < list.Count(); ++i)
    if (Lower(list[i]->ID) == k || Lower(list[i]->Name) == k) return list[i];
  return nullptr;
}

bool LoadInput(const std::string& path, TXHexEdit& buffer) {
  const TLoadResult result = LoadDataFile(path, buffer);
  if (result.Status == TLoadStatus::Loaded) return true;
  std::cerr << "kvprog-cli: " << path << ": " << result.Message << "\n";
  return false;
}

int Fail(const std::string& text, int code = ExitUsage) {
  std::cerr << "kvprog-cli: " << text << "\n";
  return code;
}

int RunOperation(TCliContext& ctx, TOp op, const TOpOptions& o) {
  // Everything the user gave is checked before the module is touched.
  std::unique_ptr<TDeviceList> list = CreateDeviceList();
  TDevice* found = FindDevice(*list, o.Device);
  if (!found) return Fail("no device named '" + o.Device + "' (see: kvprog-cli devices)");
  auto* device = dynamic_cast<TE2MEM*>(found);
  if (!device)
    return Fail(found->Name + ": this command works on the serial memories; " +
                "use the program's window for this device");
  const int capacity = static_cast<int>(device->e2cap);
  int start = 0, end = capacity - 1;
  if (!o.Range.empty() && !ParseRange(o.Range, start, end))
    return Fail("--range " + o.Range + ": expected START:END in hexadecimal");
  if (start > end || end >= capacity)
    return Fail("--range " + o.Range + ": " + device->Name + " holds 0:" + HexText(capacity - 1));
  TXHexEdit input;
  int inputSize = 0;
  if (op == TOp::Program || op == TOp::Verify) {
    if (!LoadInput(o.File, input)) return ExitUsage;
    inputSize = input.DataSize();
    if (inputSize > capacity)
      return Fail(o.File + " holds " + std::to_string(inputSize) + " bytes; " + device->Name +
                  " holds " + std::to_string(capacity));
  }
  if (op == TOp::Erase && !device->e2Opr.Contains(oErase))
    return Fail(device->Name + " has no Erase All");

  TCliSession session(ctx);
  if (!session.Ready()) return ctx.ExitCode;
  const bool found1 = FindModule();
  if (!found1) return UsbConList().Count() == 0 ? ExitNoModule : ExitFailure;
  if (Link().InitModule() != trSuccess) return ExitFailure;
  std::string error;
  if (!session.InsertTarget(SocketSpecOf(*device), error)) return Fail(error);

  TXHexEdit buffer;
  TFramedPage page;
  page.XHexEdit1 = &buffer;
  page.AttachDevice(device);
  if (inputSize > 0) {
    // Past the file's end the buffer holds what an erased part holds.
    std::copy_n(input.Data(), inputSize, buffer.Data());
    std::fill(buffer.Data() + inputSize, buffer.Data() + capacity, 0xFF);
  }
  Te2memoryFrame& frame = page.E2MemoryFrame;
  frame.SetRange(start, end);

  TTaskResult r = trSuccess;
  int errors = 0;
  switch (op) {
  case TOp::Read:
    r = device->ReadBtnClick();
    break;
  case TOp::Program:
    if (o.ModifiedOnly) {
      // Only the bytes where the part differs from the file: read it first.
      TXHexEdit wanted;
      wanted.SetLastIndex(capacity - 1);
      std::copy_n(buffer.Data(), capacity, wanted.Data());
      r = device->ReadBtnClick();
      errors = TaskForm().ErrorCount;
      if (r != trSuccess || errors) break;
      for (int i = start; i <= end; ++i)
        if (buffer.Data()[i] != wanted.Data()[i]) page.ModifiedList.AddOffset(i);
      std::copy_n(wanted.Data(), capacity, buffer.Data());
      frame.ProgramModifiedOnlyCheck.Checked = true;
      page.ProgramModifiedOnly = true;
    }
    r = device->ProgramBtnClick();
    break;
  case TOp::Verify:
    r = device->VerifyBtnClick();
    break;
  case TOp::Blank:
    r = device->BlankCheckBtnClick();
    break;
  case TOp::Erase:
    r = device->EraseBtnClick();
    break;
  }
  errors += TaskForm().ErrorCount;
  int code = r == trSuccess && errors == 0 ? ExitOk : ExitFailure;
  if (code == ExitOk && op == TOp::Read) {
    std::string why;
    if (!SaveDataFile(o.File, buffer.Data() + start, static_cast<size_t>(end - start + 1),
                      FormatFromExtension(o.File), why))
      code = Fail(why, ExitFailure);
  }
  if (!session.DumpTarget(error)) code = Fail(error, ExitFailure);
  return code;
}

CLI::App* AddOp(CLI::App& app, TCliContext& ctx, TOp op, const char* name, const char* help) {
  auto o = std::make_shared<TOpOptions>();
  auto* cmd = app.add_subcommand(name, help);
  cmd->fallthrough(); // the global options may follow the command
  cmd->add_option("-d,--device", o->Device, "the device's name or identifier (24C02, i2cn02)")
      ->required();
  if (op == TOp::Read || op == TOp::Program || op == TOp::Verify)
    cmd->add_option("--range", o->Range,
                    "START:END, hexadecimal buffer offsets (default the whole device)");
  if (op == TOp::Read)
    cmd->add_option("-o,--output", o->File, "file to write (.hex, .s19/.s28/.s37/.mot, else raw)")
        ->required();
  if (op == TOp::Program || op == TOp::Verify)
    cmd->add_option("-i,--input", o->File, "data file (.hex, .s19/.s28/.s37/.mot, else raw)")
        ->required();
  if (op == TOp::Program)
    cmd->add_flag("--modified-only", o->ModifiedOnly,
                  "read the part first and program only the bytes that differ");
  cmd->callback([&ctx, op, o] { ctx.ExitCode = RunOperation(ctx, op, *o); });
  return cmd;
}

} // namespace

void AddDeviceOpCommands(CLI::App& app, TCliContext& ctx) {
  AddOp(app, ctx, TOp::Read, "read", "read a device into a file");
  AddOp(app, ctx, TOp::Program, "program", "program a device from a file");
  AddOp(app, ctx, TOp::Verify, "verify", "compare a device with a file");
  AddOp(app, ctx, TOp::Blank, "blank", "check that a device is erased (every byte FFh)");
  AddOp(app, ctx, TOp::Erase, "erase", "erase a whole device");
}
