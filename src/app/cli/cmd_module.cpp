#include <CLI/CLI.hpp>
#include <cstdio>

#include "clicontext.h"
#include "clisession.h"
#include "devices/connection.h"
#include "link/usbinterface.h"

namespace {

// Searches and initialises the module as the program does at start; the exit
// code on failure (a module that is there but not usable is a failure).
int OpenAndInit() {
  const bool found = FindModule();
  const TTaskResult r = Link().InitModule();
  if (!found) return UsbConList().Count() == 0 ? ExitNoModule : ExitFailure;
  return r == trSuccess ? ExitOk : ExitFailure;
}

void RunInfo(TCliContext& ctx) {
  TCliSession session(ctx);
  if (!session.Ready()) return;
  ctx.ExitCode = OpenAndInit();
}

void RunPins(TCliContext& ctx) {
  TCliSession session(ctx);
  if (!session.Ready()) return;
  ctx.ExitCode = OpenAndInit();
  if (ctx.ExitCode != ExitOk) return;
  TPinResults results;
  // The limits the voltmeter and the hardware test use.
  const TTaskResult r = Link().MeasurePins(results, 0.9f, 2.0f, 4.5f, 5.25f, 6.0f, 13.5f);
  if (r == trSuccess) {
    for (int i = 0; i < PinResultCount; ++i) {
      char line[96];
      std::snprintf(line, sizeof line, "%s: %1.2f V  level %u  %s", PinResultNames[i],
                    static_cast<double>(results[i].Volts), results[i].Level,
                    TUSBInt::PinCheckText(results[i].Check).c_str());
      Services().AddMessage(line);
    }
  }
  // A measurement leaves the target as every device operation does.
  Link().PowerOff();
  Link().ReleasePins();
  if (r != trSuccess) ctx.ExitCode = ExitFailure;
}

} // namespace

void AddModuleCommands(CLI::App& app, TCliContext& ctx) {
  app.add_subcommand("info", "find the module, install its firmware, identify the pod")
      ->callback([&ctx] { RunInfo(ctx); });
  app.add_subcommand("pins", "measure the nine pins: volts, level and check (OK, Bad, N/A)")
      ->callback([&ctx] { RunPins(ctx); });
}
