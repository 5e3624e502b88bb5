#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef KVPROG_CLI
namespace {

namespace fs = std::filesystem;

struct TRun {
  int Code = -1;
  std::string Out;
};

TRun Cli(const std::string& args) {
  TRun run;
  const std::string command = std::string(KVPROG_CLI) + " " + args + " 2>/dev/null </dev/null";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return run;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p))
    run.Out += buf;
  const int status = pclose(p);
  run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::vector<unsigned char> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<unsigned char>& data) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

class CliDevice : public ::testing::Test {
protected:
  fs::path Dir;
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("kv_cli_device_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string P(const char* name) { return (Dir / name).string(); }
};

const std::string Found = "Found Device Programmer KVSP1, Serial Number: 0123ABCD\n";

TEST_F(CliDevice, ProgramDumpReadBackAndVerifyA24C02) {
  std::vector<unsigned char> image(256);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<unsigned char>(i * 29 + 1);
  WriteFile(P("image.bin"), image);

  TRun program =
      Cli("--virtual -y program -d 24C02 -i " + P("image.bin") + " --target-dump " + P("dump.bin"));
  EXPECT_EQ(program.Code, 0);
  EXPECT_EQ(program.Out, Found + "Programming: Success  Device: 24C02 Range: 0 - FF\n");
  EXPECT_EQ(ReadFile(P("dump.bin")), image);

  TRun read =
      Cli("--virtual --target-image " + P("dump.bin") + " read -d i2cn02 -o " + P("back.hex"));
  EXPECT_EQ(read.Code, 0);
  EXPECT_EQ(read.Out, Found + "Reading: Success  Device: 24C02 Range: 0 - FF\n");
  TRun convert = Cli("convert -i " + P("back.hex") + " -o " + P("back.bin"));
  EXPECT_EQ(ReadFile(P("back.bin")), image);

  std::vector<unsigned char> other = image;
  other[0x42] ^= 0x10;
  WriteFile(P("other.bin"), other);
  char line[64];
  std::snprintf(line, sizeof line, "Verify Error [42] = %02X read %02X\n", other[0x42],
                image[0x42]);
  TRun verify =
      Cli("--virtual --target-image " + P("dump.bin") + " verify -d 24C02 -i " + P("other.bin"));
  EXPECT_EQ(verify.Code, 1);
  EXPECT_EQ(verify.Out, Found + line + "Verifying:  1 Errors Found  Device: 24C02 Range: 0 - FF\n");
}

TEST_F(CliDevice, ExitCodesOfBadInputAndFailures) {
  WriteFile(P("big.bin"), std::vector<unsigned char>(300, 0));
  WriteFile(P("small.bin"), std::vector<unsigned char>(16, 0));
  struct TCase {
    std::string Args;
    int Code;
    const char* Out; // the panel's last line, when one is expected
  };
  const TCase cases[] = {
      {"--virtual read -d NOSUCH -o " + P("x.bin"), 2, nullptr},
      {"--virtual read -d 24C02 --range 10:5 -o " + P("x.bin"), 2, nullptr},
      {"--virtual read -d 24C02 --range 0:100 -o " + P("x.bin"), 2, nullptr},
      {"--virtual read -d 24C02 --range 0:G -o " + P("x.bin"), 2, nullptr},
      {"--virtual -y program -d 24C02 -i " + P("big.bin"), 2, nullptr},
      {"--virtual -y program -d 24C02 -i " + P("missing.bin"), 2, nullptr},
      {"--virtual erase -d 24C02", 2, nullptr},
      // A refused confirmation runs nothing and is not a success.
      {"--virtual program -d 24C02 -i " + P("small.bin"), 1,
       "Found Device Programmer KVSP1, "
       "Serial Number: 0123ABCD"},
      {"--virtual --fault status=22@3+ read -d 24C02 -o " + P("x.bin"), 1,
       "Reading:  1 Errors Found  Device: 24C02 Range: 0 - FF"},
      {"--virtual -y --fault part:noack program -d 24C02 -i " + P("small.bin"), 1,
       "Programming:  1 Errors Found  Device: 24C02 Range: 0 - FF"},
      {"--virtual -y --fault part:bogus program -d 24C02 -i " + P("small.bin"), 2, nullptr},
      {"--virtual blank -d 24C02", 0, "Blank Checking: Success  Device: 24C02 Range: 0 - FF"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Args);
    const TRun run = Cli(c.Args);
    EXPECT_EQ(run.Code, c.Code);
    if (c.Out) {
      const std::string last = std::string(c.Out) + "\n";
      ASSERT_GE(run.Out.size(), last.size());
      EXPECT_EQ(run.Out.substr(run.Out.size() - last.size()), last);
    }
  }
  // A failed read writes no file.
  EXPECT_FALSE(fs::exists(P("x.bin")));
}

} // namespace
#endif
