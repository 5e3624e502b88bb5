// kvprog-cli run: a script without windows; its output on stdout, the host's
// lines on stderr, so that the output can be compared with another program's.
#include <CLI/CLI.hpp>

#include "clicontext.h"
#include "scripting/engine/headlessrun.h"

#include <iostream>
#include <memory>

void AddScriptCommands(CLI::App& app, TCliContext& ctx) {
  auto path = std::make_shared<std::string>();
  CLI::App* run = app.add_subcommand(
      "run", "run a script headless (its output on stdout, the host's lines on stderr)");
  run->add_option("SCRIPT", *path, "the script file")->required();
  run->callback([&ctx, path] {
    int rc = kv::script::RunScriptFile(*path, std::cout, std::cerr);
    ctx.ExitCode = rc == 2 ? ExitUsage : (rc == 0 ? ExitOk : ExitFailure);
  });
}
