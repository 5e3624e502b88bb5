// kvprog-cli: the programmer without windows, for scripts and production lines.
#include <CLI/CLI.hpp>

#include "clicontext.h"

int main(int argc, char** argv) {
  TCliContext ctx;
  CLI::App app{"Korvane Device Programmer, command line.\n"
               "Exit status: 0 success, 1 the device or module reported a failure,\n"
               "2 usage or input error, 3 no module found.",
               "kvprog-cli"};
  app.require_subcommand(1);
  app.add_flag("--virtual", ctx.Virtual, "use the virtual programmer module instead of USB");
  app.add_flag("-y,--yes", ctx.Yes, "answer every confirmation with Yes");
  app.add_flag("-q,--quiet", ctx.Quiet, "no progress bar");
  app.add_option("--target-image", ctx.TargetImage,
                 "virtual module only: initial contents of the virtual target part (raw binary)")
      ->type_name("FILE");
  app.add_option("--target-dump", ctx.TargetDump,
                 "virtual module only: write the virtual target part's contents after the command")
      ->type_name("FILE");
  app.add_option("--fault", ctx.Faults,
                 "virtual module only: inject a fault (repeatable); " + FaultGrammarHelp())
      ->type_name("FAULT");

  AddModuleCommands(app, ctx);
  AddDeviceCommands(app, ctx);
  AddDeviceOpCommands(app, ctx);
  AddFileCommands(app, ctx);
  AddScriptCommands(app, ctx);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int rc = app.exit(e);
    return e.get_exit_code() == 0 ? rc : ExitUsage;
  }
  return ctx.ExitCode;
}
