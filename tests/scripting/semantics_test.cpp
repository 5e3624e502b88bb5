// Behaviour a Free Pascal comparison cannot show: routines whose result is
// not fixed (Random) or that end the program (Halt), and engine-only rules.
#include "scriptrun.h"

#include <gtest/gtest.h>

using namespace kv::script;

namespace {

struct TSemanticsCase {
  const char* Name;
  const char* Source;
  bool Ran;
  const char* Output;
};

const TSemanticsCase kCases[] = {
    {"HaltEndsTheRunSuccessfully", "begin\n  WriteLn('a');\n  Halt;\n  WriteLn('b');\nend.", true,
     "a\n"},
    {"ExitLeavesTheMainBody", "begin\n  WriteLn('a');\n  Exit;\n  WriteLn('b');\nend.", true,
     "a\n"},
    {"RandomStaysInRange",
     "var i, r: Integer; ok: Boolean;\nbegin\n  ok := True;\n  for i := 1 to 1000 do\n  begin\n"
     "    r := Random(7);\n    if (r < 0) or (r > 6) then ok := False;\n  end;\n"
     "  if (Random < 0) or (Random >= 1) then ok := False;\n  WriteLn(ok);\nend.",
     true, "TRUE\n"},
    {"SleepReturns", "begin\n  Sleep(1);\n  WriteLn('woke');\nend.", true, "woke\n"},
    {"IsAndAs",
     "var o: TObject; l: TStringList;\nbegin\n  o := TStringList.Create;\n"
     "  WriteLn(o is TStringList, ' ', o is Exception);\n  l := o as TStringList;\n"
     "  l.Add('x');\n  WriteLn(l.Count);\nend.",
     true, "TRUE FALSE\n1\n"},
    {"BadCastFails",
     "var o: TObject;\nbegin\n  o := TObject.Create;\n  (o as TStringList).Add('x');\nend.", false,
     ""},
    {"FormatArgumentMismatchFails", "begin\n  WriteLn(Format('%d', ['text']));\nend.", false, ""},
    {"FreedObjectIsNil",
     "var l: TStringList;\nbegin\n  l := TStringList.Create;\n  l.Free;\n  l.Add('x');\nend.",
     false, ""},
    {"DynamicArraysShareUntilResized",
     "var a, b: array of Integer;\nbegin\n  SetLength(a, 2);\n  b := a;\n  b[0] := 5;\n"
     "  SetLength(b, 3);\n  b[1] := 7;\n  WriteLn(a[0], a[1], Length(a), Length(b));\nend.",
     true, "5023\n"},
};

class Semantics : public ::testing::TestWithParam<TSemanticsCase> {};

TEST_P(Semantics, RunsAsExpected) {
  const auto& c = GetParam();
  auto r = test::RunScript(c.Source);
  ASSERT_TRUE(r.Compiled) << (r.Messages.empty() ? "" : r.Messages[0].Text);
  EXPECT_EQ(r.Ran, c.Ran) << r.Error.Text;
  EXPECT_EQ(r.Output, c.Output);
}

INSTANTIATE_TEST_SUITE_P(Engine, Semantics, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
