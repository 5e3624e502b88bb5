// Data-file conversion speed: Intel HEX and S-records of a 16 MiB image to
// binary, our reader beside srec_cat on the same files, and the ratio.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "editor/crc32.h"
#include "editor/datafile.h"
#include "editor/xhexedit.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t ImageSize = size_t{16} << 20;

bool HaveSrecCat() {
  return std::system("srec_cat --version > /dev/null 2>&1") == 0;
}

// The input files, made once: by srec_cat when it is there (so both sides
// read the same tool-made files), else by our writers.
struct TInputs {
  fs::path Dir;
  std::string Hex, SRec, Bin;
  std::vector<uint8_t> Image;

  TInputs() {
    Dir = fs::temp_directory_path() / "kv_bench_fileformats";
    fs::create_directories(Dir);
    Bin = (Dir / "image.bin").string();
    Hex = (Dir / "image.hex").string();
    SRec = (Dir / "image.s37").string();
    Image.resize(ImageSize);
    std::mt19937 gen(1);
    for (auto& b : Image)
      b = static_cast<uint8_t>(gen());
    std::ofstream(Bin, std::ios::binary)
        .write(reinterpret_cast<const char*>(Image.data()),
               static_cast<std::streamsize>(ImageSize));
    if (HaveSrecCat()) {
      Run("srec_cat " + Bin + " -binary -o " + Hex + " -intel");
      Run("srec_cat " + Bin + " -binary -o " + SRec + " -motorola -address-length=4");
    } else {
      std::string error;
      SaveDataFile(Hex, Image.data(), ImageSize, dfIntelHex, error);
      SaveDataFile(SRec, Image.data(), ImageSize, dfSRecord, error);
    }
  }
  static void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) std::cerr << "failed: " << cmd << "\n";
  }
};

TInputs& Inputs() {
  static TInputs inputs;
  return inputs;
}

// What `kvprog-cli convert -i IN -o OUT.bin` does.
void OurConvert(benchmark::State& state, const std::string& in) {
  const std::string out = (Inputs().Dir / "ours.bin").string();
  for (auto _ : state) {
    TXHexEdit buffer;
    TLoadResult r = LoadDataFile(in, buffer);
    std::string error;
    if (r.Status != TLoadStatus::Loaded ||
        !SaveDataFile(out, buffer.Data(), static_cast<size_t>(buffer.DataSize()), dfBinary,
                      error)) {
      state.SkipWithError("conversion failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(in)));
}

void SrecCatConvert(benchmark::State& state, const std::string& in, const char* format) {
  if (!HaveSrecCat()) {
    state.SkipWithError("srec_cat not installed");
    return;
  }
  const std::string cmd = "srec_cat " + in + " " + format + " -o " +
                          (Inputs().Dir / "tool.bin").string() + " -binary 2> /dev/null";
  for (auto _ : state)
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("srec_cat failed");
      break;
    }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(in)));
}

void BM_HexToBin_Ours(benchmark::State& s) {
  OurConvert(s, Inputs().Hex);
}
void BM_HexToBin_SrecCat(benchmark::State& s) {
  SrecCatConvert(s, Inputs().Hex, "-intel");
}
void BM_SRecToBin_Ours(benchmark::State& s) {
  OurConvert(s, Inputs().SRec);
}
void BM_SRecToBin_SrecCat(benchmark::State& s) {
  SrecCatConvert(s, Inputs().SRec, "-motorola");
}

void BM_WriteIntelHex(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(FormatIntelHex(Inputs().Image.data(), ImageSize));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ImageSize));
}

void BM_Crc32(benchmark::State& state) {
  for (auto _ : state) {
    uint32_t crc = Crc32Start;
    UpdateCrc32(Inputs().Image.data(), ImageSize, crc);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ImageSize));
}

// srec_cat runs as a child process, so every conversion is timed by the wall clock.
BENCHMARK(BM_HexToBin_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_HexToBin_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_SRecToBin_Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SRecToBin_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WriteIntelHex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);

// Keeps each run's mean time so that the ratios can be printed at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> Seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs)
      if (!r.error_occurred && r.iterations > 0)
        Seconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
};

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::pair<const char*, const char*> pairs[] = {{"Intel HEX -> binary", "BM_HexToBin"},
                                                       {"S-record -> binary", "BM_SRecToBin"}};
  for (const auto& [what, name] : pairs) {
    auto ours = reporter.Seconds.find(std::string(name) + "_Ours/iterations:5/real_time");
    auto tool = reporter.Seconds.find(std::string(name) + "_SrecCat/iterations:3/real_time");
    if (ours == reporter.Seconds.end() || tool == reporter.Seconds.end()) continue;
    std::printf("%s, 16 MiB image: ours %.0f ms, srec_cat %.0f ms, %.1fx faster\n", what,
                ours->second * 1e3, tool->second * 1e3, tool->second / ours->second);
  }
  fs::remove_all(Inputs().Dir);
  return 0;
}
