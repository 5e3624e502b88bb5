#include <gtest/gtest.h>

#include "support/tempdir.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/clicontext.h"

namespace fs = std::filesystem;

namespace {

struct TRun {
  int Exit;
  std::string Out, Err;
  bool ParseError = false; // CLI11 refused the command line (main exits with ExitUsage)
};

TRun Cli(std::vector<std::string> args) {
  TCliContext ctx;
  CLI::App app;
  app.add_flag("-q,--quiet", ctx.Quiet);
  AddFileCommands(app, ctx);
  args.insert(args.begin(), "kvprog-cli");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  TRun run{ExitOk, "", ""};
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError&) {
    run.ParseError = true;
  }
  run.Exit = ctx.ExitCode;
  run.Out = ::testing::internal::GetCapturedStdout();
  run.Err = ::testing::internal::GetCapturedStderr();
  return run;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

struct TFileCommands : ::testing::Test {
  std::string Dir;
  std::string Fixtures = std::string(KV_TEST_DATA) + "/editor/";
  void SetUp() override {
    Dir = TestTempPath("cmd_files").string() + "/";
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
};

TEST_F(TFileCommands, ConvertBetweenEveryFormat) {
  const std::string image = ReadFile(Fixtures + "image.bin");
  // Each step reads the previous step's output.
  const std::vector<std::string> chain = {Fixtures + "srec_cat.hex", Dir + "a.s37", Dir + "b.hex",
                                          Dir + "c.mot", Dir + "d.bin"};
  for (size_t i = 1; i < chain.size(); ++i) {
    TRun r = Cli({"convert", "-i", chain[i - 1], "-o", chain[i]});
    EXPECT_EQ(r.Exit, ExitOk) << chain[i] << r.Err;
    EXPECT_EQ(r.Err, "") << chain[i];
    EXPECT_NE(r.Out.find("600 bytes"), std::string::npos) << r.Out;
  }
  EXPECT_TRUE(ReadFile(Dir + "d.bin") == image);
  EXPECT_EQ(ReadFile(Dir + "a.s37").rfind("S0", 0), 0u) << "S-records by extension";
  EXPECT_EQ(ReadFile(Dir + "b.hex")[0], ':') << "Intel HEX by extension";
  EXPECT_EQ(Cli({"-q", "convert", "-i", chain[0], "-o", Dir + "e.bin"}).Out, "");
}

TEST_F(TFileCommands, CrcPrintsTheCrcEditsText) {
  WriteFile(Dir + "digits.txt", "123456789");
  EXPECT_EQ(Cli({"crc", "-i", Dir + "digits.txt"}).Out, "340BC6D9h\n");
  // A data file's CRC is its buffer's, whatever the format.
  const std::string binCrc = Cli({"crc", "-i", Fixtures + "image.bin"}).Out;
  EXPECT_EQ(Cli({"crc", "-i", Fixtures + "objcopy.s37"}).Out, binCrc);
  EXPECT_EQ(Cli({"crc", "-i", Fixtures + "srec_cat.hex"}).Out, binCrc);
}

TEST_F(TFileCommands, InputErrorsExitWithUsage) {
  WriteFile(Dir + "short.hex", ":01\n");
  WriteFile(Dir + "big.hex", ":020000041001E9\n:0100000055AA\n");
  struct {
    const char* Name;
    std::vector<std::string> Args;
    std::string ErrContains;
  } const cases[] = {
      {"missing input", {"convert", "-i", Dir + "none.hex", "-o", Dir + "x.bin"}, "Cannot open"},
      {"conversion error",
       {"convert", "-i", Dir + "short.hex", "-o", Dir + "x.bin"},
       "'$' is not a valid integer value"},
      {"over the cap", {"crc", "-i", Dir + "big.hex"}, "beyond the 268435456 bytes"},
      {"output folder missing",
       {"convert", "-i", Fixtures + "image.bin", "-o", Dir + "no/x.hex"},
       "Cannot write"},
      {"crc of a folder", {"crc", "-i", Dir}, "is a folder"},
  };
  for (const auto& c : cases) {
    TRun r = Cli(c.Args);
    EXPECT_EQ(r.Exit, ExitUsage) << c.Name;
    EXPECT_NE(r.Err.find(c.ErrContains), std::string::npos) << c.Name << ": " << r.Err;
    EXPECT_EQ(r.Out, "") << c.Name;
  }
  EXPECT_FALSE(fs::exists(Dir + "x.bin"));
}

TEST_F(TFileCommands, AnInvalidRecordFallsBackToRawWithAWarning) {
  WriteFile(Dir + "bad.hex", ":0100000055AB\n");
  TRun r = Cli({"convert", "-i", Dir + "bad.hex", "-o", Dir + "out.bin"});
  EXPECT_EQ(r.Exit, ExitOk);
  EXPECT_NE(r.Err.find("read as raw binary"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadFile(Dir + "out.bin"), ":0100000055AB\n");
}

TEST_F(TFileCommands, RequiredOptions) {
  EXPECT_TRUE(Cli({"convert", "-i", Fixtures + "image.bin"}).ParseError);
  EXPECT_TRUE(Cli({"crc"}).ParseError);
}

} // namespace
