#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

// Exit statuses of kvprog-cli.
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;  // the device or module reported a failure
constexpr int ExitUsage = 2;    // usage or input error
constexpr int ExitNoModule = 3; // no module was found

// Options shared by every command, filled by CLI11 before a command runs.
struct TCliContext {
  bool Virtual = false;
  bool Yes = false;
  bool Quiet = false;
  std::string TargetImage;
  std::string TargetDump;
  std::vector<std::string> Faults;
  int ExitCode = ExitOk;
};

// Each group of commands lives in its own unit and registers itself here.
void AddModuleCommands(CLI::App& app, TCliContext& ctx); // info, pins
void AddFileCommands(CLI::App& app, TCliContext& ctx);   // convert, crc
void AddDeviceCommands(CLI::App& app, TCliContext& ctx); // devices
void AddDeviceOpCommands(CLI::App& app, TCliContext& ctx); // read, program, verify, blank, erase
void AddScriptCommands(CLI::App& app, TCliContext& ctx); // run

// The --fault grammar, for --help.
std::string FaultGrammarHelp();
