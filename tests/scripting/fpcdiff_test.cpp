// Runs each Pascal program of the corpus with our engine and, compiled by
// Free Pascal, natively; the two outputs must be the same.
#include "scriptrun.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace kv::script;

namespace {

fs::path CorpusDir() {
  return fs::path(__FILE__).parent_path() / "corpus";
}

std::string Capture(const std::string& command, int& status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) {
    status = -1;
    return out;
  }
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
    out.append(buf.data(), n);
  status = pclose(p);
  return out;
}

bool HaveFpc() {
  int status = 0;
  Capture("command -v fpc >/dev/null 2>&1", status);
  return status == 0;
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(CorpusDir()))
    if (e.path().extension() == ".pas") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class FpcDiff : public ::testing::TestWithParam<std::string> {};

TEST_P(FpcDiff, SameOutputAsFreePascal) {
  fs::path src = CorpusDir() / GetParam();
  auto ours = test::RunScript(test::ReadFile(src.string()));
  for (auto& m : ours.Messages)
    if (m.Kind == TCompilerMessage::TKind::Error)
      ADD_FAILURE() << "compile error " << m.Line << ":" << m.Col << " " << m.Text;
  ASSERT_TRUE(ours.Compiled);
  ASSERT_TRUE(ours.Ran) << ours.Error.Text << " at line " << ours.Error.Line;

  if (!HaveFpc()) GTEST_SKIP() << "fpc (Debian package fp-compiler) is not installed";
  fs::path dir = fs::temp_directory_path() / ("kvscript-fpc-" + std::to_string(getpid()));
  fs::create_directories(dir);
  // A private copy, so that a program name never clashes with a unit name.
  fs::path copy = dir / ("corpus_" + src.filename().string());
  fs::copy_file(src, copy, fs::copy_options::overwrite_existing);
  fs::path exe = dir / copy.stem();
  int status = 0;
  std::string log = Capture("fpc -Mobjfpc -Sh -O1 -FU" + dir.string() + " -o" + exe.string() + " " +
                                copy.string() + " 2>&1",
                            status);
  ASSERT_EQ(status, 0) << log;
  std::string native = Capture(exe.string(), status);
  fs::remove_all(dir);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(ours.Output, native);
}

INSTANTIATE_TEST_SUITE_P(Corpus, FpcDiff, ::testing::ValuesIn(CorpusFiles()),
                         [](const auto& info) { return fs::path(info.param).stem().string(); });

} // namespace
