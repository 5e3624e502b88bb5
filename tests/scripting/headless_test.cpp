// The headless runner behind "kvprog-cli run": script output and host lines
// kept apart, exit status by outcome.
#include "scripting/engine/headlessrun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;
using namespace kv::script;

namespace {

struct THeadlessCase {
  const char* Name;
  const char* Source;
  int Exit;
  const char* Out;
  std::vector<std::string> ErrLines;
};

const THeadlessCase kCases[] = {
    {"Success",
     "begin\n  Write('a');\n  WriteLn(1, 2);\nend.",
     0,
     "a12\n",
     {"demo.ksc: Compiling... ", "demo.ksc: Executing... "}},
    {"CompileError",
     "begin\n  x := 1;\nend.",
     1,
     "",
     {"demo.ksc: Compiling... ", "Compiler: [Error] (2:3): Unknown identifier 'x'",
      "demo.ksc: Compiling failed"}},
    {"RuntimeError",
     "var i: Integer;\nbegin\n  WriteLn('before');\n  i := 0;\n  i := 1 div i;\nend.",
     1,
     "before\n",
     {"demo.ksc: Compiling... ", "demo.ksc: Executing... "}},
};

class Headless : public ::testing::TestWithParam<THeadlessCase> {};

TEST_P(Headless, SeparatesOutputFromHostLines) {
  const auto& c = GetParam();
  fs::path dir = fs::temp_directory_path() / ("kvscript-run-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::path file = dir / "demo.ksc";
  std::ofstream(file) << c.Source;
  std::ostringstream out, err;
  int rc = RunScriptFile(file.string(), out, err);
  fs::remove_all(dir);
  EXPECT_EQ(rc, c.Exit);
  EXPECT_EQ(out.str(), c.Out);
  std::vector<std::string> lines;
  std::istringstream es(err.str());
  for (std::string l; std::getline(es, l);)
    lines.push_back(l);
  ASSERT_GE(lines.size(), c.ErrLines.size()) << err.str();
  for (size_t i = 0; i < c.ErrLines.size(); ++i)
    EXPECT_EQ(lines[i], c.ErrLines[i]);
  if (c.Exit == 0) {
    EXPECT_EQ(lines.back().rfind("Successful executed in ", 0), 0u) << lines.back();
  } else if (std::string(c.Name) == "RuntimeError") {
    // procedure 0 is the main body; the byte-code position follows "."
    EXPECT_TRUE(std::regex_match(
        lines.back(),
        std::regex(R"(demo\.ksc: Division by zero at 0\.[0-9]+ \(line 5, column 3\))")))
        << lines.back();
  }
}

INSTANTIATE_TEST_SUITE_P(Engine, Headless, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(HeadlessFile, MissingFileIsAnInputError) {
  std::ostringstream out, err;
  EXPECT_EQ(RunScriptFile("/nonexistent/dir/none.ksc", out, err), 2);
  EXPECT_NE(err.str().find("cannot be read"), std::string::npos);
}

} // namespace
