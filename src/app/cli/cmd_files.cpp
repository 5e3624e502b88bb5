// convert and crc: data files through the editor's readers and writers.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "cli/clicontext.h"
#include "editor/crc32.h"
#include "editor/datafile.h"
#include "editor/xhexedit.h"

namespace {

// Loads a file the way a programmer page opens it; false after a message on
// stderr.
bool LoadInput(const std::string& path, TXHexEdit& buffer) {
  TLoadResult result = LoadDataFile(path, buffer);
  switch (result.Status) {
  case TLoadStatus::Loaded:
    if (result.Format != FormatFromExtension(path))
      std::cerr << "kvprog-cli: warning: '" << path
                << "' holds an invalid record and was read as raw binary\n";
    return true;
  case TLoadStatus::IoError:
  case TLoadStatus::TooLarge:
  case TLoadStatus::ConversionError:
  case TLoadStatus::Invalid:
    break;
  }
  std::cerr << "kvprog-cli: " << path << ": " << result.Message << "\n";
  return false;
}

int RunConvert(const std::string& in, const std::string& out, bool quiet) {
  TXHexEdit buffer;
  if (!LoadInput(in, buffer)) return ExitUsage;
  const TDataFormat format = FormatFromExtension(out);
  std::string error;
  if (!SaveDataFile(out, buffer.Data(), static_cast<size_t>(buffer.DataSize()), format, error)) {
    std::cerr << "kvprog-cli: " << error << "\n";
    return ExitUsage;
  }
  if (!quiet)
    std::cout << "Converted " << in << " (" << buffer.DataSize() << " bytes) to " << out << " ("
              << FormatName(format) << ")\n";
  return ExitOk;
}

int RunCrc(const std::string& in) {
  TXHexEdit buffer;
  if (!LoadInput(in, buffer)) return ExitUsage;
  uint32_t crc = Crc32Start;
  UpdateCrc32(buffer.Data(), static_cast<size_t>(buffer.DataSize()), crc);
  std::cout << Crc32Text(crc) << "\n";
  return ExitOk;
}

} // namespace

void AddFileCommands(CLI::App& app, TCliContext& ctx) {
  auto convertIn = std::make_shared<std::string>();
  auto convertOut = std::make_shared<std::string>();
  CLI::App* convert = app.add_subcommand(
      "convert", "Convert a data file; formats by extension: .hex, .s19/.s28/.s37/.mot, else raw");
  convert->add_option("-i,--input", *convertIn, "File to read")->required();
  convert->add_option("-o,--output", *convertOut, "File to write")->required();
  convert->callback([&ctx, convertIn, convertOut] {
    ctx.ExitCode = RunConvert(*convertIn, *convertOut, ctx.Quiet);
  });

  auto crcIn = std::make_shared<std::string>();
  CLI::App* crc = app.add_subcommand(
      "crc", "Print the CRC-32 of a data file's buffer (start FFFFFFFFh, no final inversion)");
  crc->add_option("-i,--input", *crcIn, "File to read")->required();
  crc->callback([&ctx, crcIn] { ctx.ExitCode = RunCrc(*crcIn); });
}
