// The script engine against Lua 5.4 on the same small programs, in one run.
// After the timings it prints, per program, how many times slower ours is.
#include "scripting/engine/scriptengine.h"

#include <benchmark/benchmark.h>

#ifndef KV_NO_LUA
#include <lua.hpp>
#endif

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

using namespace kv::script;

namespace {

struct TProgram {
  const char* Name;
  const char* Pascal;
  const char* Lua;
};

const TProgram kPrograms[] = {
    {"fib",
     "function Fib(n: Integer): Integer;\nbegin\n  if n < 2 then Result := n\n"
     "  else Result := Fib(n - 1) + Fib(n - 2);\nend;\nvar r: Integer;\nbegin\n"
     "  r := Fib(24);\n  if r <> 46368 then raise Exception.Create('wrong');\nend.",
     "local function fib(n) if n < 2 then return n end return fib(n-1) + fib(n-2) end\n"
     "local r = fib(24)\nif r ~= 46368 then error('wrong') end"},
    {"array_loops",
     "var a: array of Integer; i, pass, sum: Integer;\nbegin\n  SetLength(a, 10000);\n"
     "  for i := 0 to 9999 do a[i] := i;\n  sum := 0;\n  for pass := 1 to 20 do\n"
     "    for i := 0 to 9999 do\n      sum := sum + a[i] * 2;\n"
     "  if sum <> 1999800000 then raise Exception.Create('wrong');\nend.",
     "local a = {}\nfor i = 0, 9999 do a[i] = i end\nlocal sum = 0\nfor pass = 1, 20 do\n"
     "  for i = 0, 9999 do sum = sum + a[i] * 2 end\nend\n"
     "if sum ~= 1999800000 then error('wrong') end"},
    {"string_building",
     "var s: string; i: Integer;\nbegin\n  s := '';\n  for i := 1 to 20000 do\n"
     "    s := s + IntToStr(i mod 10);\n  if Length(s) <> 20000 then raise "
     "Exception.Create('wrong');\nend.",
     "local parts = {}\nfor i = 1, 20000 do parts[#parts + 1] = tostring(i % 10) end\n"
     "local s = table.concat(parts)\nif #s ~= 20000 then error('wrong') end"},
    {"sort",
     "var a: array of Integer; i, j, t, seed: Integer;\nbegin\n  SetLength(a, 600);\n  seed := 1;\n"
     "  for i := 0 to 599 do\n  begin\n    seed := (seed * 1103 + 12345) mod 65536;\n"
     "    a[i] := seed;\n  end;\n  for i := 1 to 599 do\n  begin\n    t := a[i];\n    j := i - 1;\n"
     "    while (j >= 0) and (a[j] > t) do\n    begin\n      a[j + 1] := a[j];\n      Dec(j);\n"
     "    end;\n    a[j + 1] := t;\n  end;\n  for i := 1 to 599 do\n"
     "    if a[i - 1] > a[i] then raise Exception.Create('unsorted');\nend.",
     "local a = {}\nlocal seed = 1\nfor i = 0, 599 do seed = (seed * 1103 + 12345) % 65536; a[i] = "
     "seed end\n"
     "for i = 1, 599 do\n  local t = a[i]\n  local j = i - 1\n"
     "  while j >= 0 and a[j] > t do a[j + 1] = a[j]; j = j - 1 end\n  a[j + 1] = t\nend\n"
     "for i = 1, 599 do if a[i - 1] > a[i] then error('unsorted') end end"},
};

void Ours(benchmark::State& state, const TProgram* p) {
  TScriptEngine engine;
  engine.SetScript(p->Pascal);
  if (!engine.Compile())
    throw std::runtime_error(std::string(p->Name) + ": " + engine.Messages()[0].Text);
  for (auto _ : state)
    if (!engine.Execute())
      throw std::runtime_error(std::string(p->Name) + ": " + engine.LastError().Text);
}

#ifndef KV_NO_LUA
void Lua(benchmark::State& state, const TProgram* p) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  if (luaL_loadstring(L, p->Lua) != LUA_OK) throw std::runtime_error(lua_tostring(L, -1));
  for (auto _ : state) {
    lua_pushvalue(L, -1);
    if (lua_pcall(L, 0, 0, 0) != LUA_OK) throw std::runtime_error(lua_tostring(L, -1));
  }
  lua_close(L);
}
#endif

// Keeps the CPU time (mean, with repetitions) of every program so that the ratios can be printed at
// the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> Times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (auto& r : runs) {
      // with repetitions only the mean counts
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "mean") continue;
      Times[r.run_name.function_name] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

} // namespace

int main(int argc, char** argv) {
  for (const auto& p : kPrograms) {
    benchmark::RegisterBenchmark((std::string("ours/") + p.Name).c_str(), Ours, &p)
        ->Unit(benchmark::kMicrosecond);
#ifndef KV_NO_LUA
    benchmark::RegisterBenchmark((std::string("lua/") + p.Name).c_str(), Lua, &p)
        ->Unit(benchmark::kMicrosecond);
#endif
  }
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
#ifndef KV_NO_LUA
  std::printf("\nours / Lua 5.4 (goal: at most 1.5)\n");
  for (const auto& p : kPrograms) {
    auto o = reporter.Times.find(std::string("ours/") + p.Name);
    auto l = reporter.Times.find(std::string("lua/") + p.Name);
    if (o != reporter.Times.end() && l != reporter.Times.end() && l->second > 0)
      std::printf("  %-16s %.2f\n", p.Name, o->second / l->second);
  }
#endif
  benchmark::Shutdown();
  return 0;
}
