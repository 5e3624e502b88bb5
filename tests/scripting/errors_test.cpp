// Compile errors with their positions, and run-time errors that end a script
// with a message naming the line instead of bringing the program down.
#include "scriptrun.h"

#include <gtest/gtest.h>

using namespace kv::script;

namespace {

struct TCompileCase {
  const char* Name;
  const char* Source;
  int Line, Col;
  const char* Text;
};

const TCompileCase kCompileCases[] = {
    {"UnknownIdentifier", "begin\n  x := 1;\nend.", 2, 3, "Unknown identifier 'x'"},
    {"MissingSemicolon", "var i: Integer;\nbegin\n  i := 1\n  i := 2;\nend.", 4, 3, "';' expected"},
    {"TypeMismatch", "var s: string;\nbegin\n  s := 5;\nend.", 3, 8, "Incompatible types"},
    {"OpenString", "begin\n  WriteLn('abc);\nend.", 2, 11, "Unterminated string"},
    {"OpenComment", "begin\n  { never closed\nend.", 2, 3, "Unterminated comment"},
    {"UnknownType", "var x: TNothing;\nbegin\nend.", 1, 8, "Unknown type 'TNothing'"},
    {"TooFewArguments", "procedure P(a, b: Integer);\nbegin\nend;\nbegin\n  P(1);\nend.", 5, 3,
     "Not enough actual parameters"},
    {"VarParamNeedsVariable", "procedure P(var a: Integer);\nbegin\nend;\nbegin\n  P(3);\nend.", 5,
     5, "Variable required"},
    {"VarParamTypeMustMatch",
     "var b: Byte;\nprocedure P(var a: Integer);\nbegin\nend;\nbegin\n  P(b);\nend.", 6, 5,
     "must be identical"},
    {"DuplicateIdentifier", "var a: Integer;\n    A: string;\nbegin\nend.", 2, 5,
     "Duplicate identifier 'A'"},
    {"BreakOutsideLoop", "begin\n  break;\nend.", 2, 3, "outside a loop"},
    {"AssignToConstant", "const C = 1;\nbegin\n  C := 2;\nend.", 3, 3, "constant"},
    {"UnknownMethod", "var l: TStringList;\nbegin\n  l.Frobnicate;\nend.", 3, 5,
     "Unknown member 'Frobnicate'"},
    {"ReadOnlyProperty", "var l: TStringList;\nbegin\n  l.Count := 3;\nend.", 3, 5,
     "cannot be written"},
    {"ConditionMustBeBoolean", "begin\n  if 1 then;\nend.", 2, 6, "Incompatible types"},
    {"ForwardNotSolved", "procedure P; forward;\nbegin\nend.", 1, 1, "Forward declaration"},
    {"MissingEndDot", "begin\nend", 2, 4, "'.' expected"},
    {"ErrorOnLineTwelve",
     "program P;\nvar\n  i: Integer;\nbegin\n  i := 1;\n  i := 2;\n  i := 3;\n  i := 4;\n"
     "  i := 5;\n  i := 6;\n  i := 7;\n  i := := 8;\nend.",
     12, 8, "Expression expected"},
    {"ProcedureAsValue", "procedure P;\nbegin\nend;\nvar i: Integer;\nbegin\n  i := P;\nend.", 6, 8,
     "procedure 'P'"},
};

class CompileError : public ::testing::TestWithParam<TCompileCase> {};

TEST_P(CompileError, ReportsTextLineAndColumn) {
  const auto& c = GetParam();
  auto r = test::RunScript(c.Source);
  ASSERT_FALSE(r.Compiled);
  const TCompilerMessage* err = nullptr;
  for (auto& m : r.Messages)
    if (m.Kind == TCompilerMessage::TKind::Error) {
      err = &m;
      break;
    }
  ASSERT_NE(err, nullptr);
  EXPECT_NE(err->Text.find(c.Text), std::string::npos) << err->Text;
  EXPECT_EQ(err->Line, c.Line) << err->Text;
  EXPECT_EQ(err->Col, c.Col) << err->Text;
}

INSTANTIATE_TEST_SUITE_P(Engine, CompileError, ::testing::ValuesIn(kCompileCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CompileHints, UnusedLocalIsAHintAndTheScriptStillCompiles) {
  auto r = test::RunScript("procedure P;\nvar unused: Integer;\nbegin\nend;\nbegin\n  P;\nend.");
  ASSERT_TRUE(r.Compiled);
  ASSERT_EQ(r.Messages.size(), 1u);
  EXPECT_EQ(r.Messages[0].Kind, TCompilerMessage::TKind::Hint);
  EXPECT_EQ(r.Messages[0].Line, 2);
  EXPECT_NE(r.Messages[0].Text.find("unused"), std::string::npos);
}

struct TRuntimeCase {
  const char* Name;
  const char* Source;
  int Line;
  const char* Text;
};

const TRuntimeCase kRuntimeCases[] = {
    {"DivisionByZero", "var i: Integer;\nbegin\n  i := 0;\n  i := 10 div i;\nend.", 4,
     "Division by zero"},
    {"FloatDivisionByZero", "var x: Double;\nbegin\n  x := 0;\n  x := 1 / x;\nend.", 4,
     "Division by zero"},
    {"DeepRecursion", "procedure R(n: Integer);\nbegin\n  R(n + 1);\nend;\nbegin\n  R(0);\nend.", 3,
     "Stack overflow"},
    {"StaticIndexOutOfRange",
     "var a: array[1..5] of Integer;\n    i: Integer;\nbegin\n  i := 6;\n  a[i] := 1;\nend.", 5,
     "Index out of range (6)"},
    {"DynamicIndexOutOfRange",
     "var d: array of Integer;\nbegin\n  SetLength(d, 2);\n  WriteLn(d[2]);\nend.", 4,
     "Index out of range (2)"},
    {"StringIndexZero", "var s: string;\nbegin\n  s := 'abc';\n  WriteLn(s[0]);\nend.", 4,
     "Index out of range (0)"},
    {"HugeSetLength", "var s: string;\nbegin\n  SetLength(s, 2000000000);\nend.", 3,
     "Out of memory"},
    {"StringDoublingWithoutEnd",
     "var s: string;\nbegin\n  s := 'x';\n  while True do\n    s := s + s;\nend.", 5,
     "Out of memory"},
    {"NilObject", "var l: TStringList;\nbegin\n  l.Add('x');\nend.", 3, "nil object"},
    {"UncaughtRaise", "begin\n  raise Exception.Create('custom text');\nend.", 2, "custom text"},
    {"ConversionError", "begin\n  WriteLn(StrToInt('12z'));\nend.", 2, "invalid integer"},
    {"ListIndex", "var l: TStringList;\nbegin\n  l := TStringList.Create;\n  l.Delete(0);\nend.", 4,
     "List index out of bounds"},
    {"SetElementRange",
     "var s: set of Byte;\n    i: Integer;\nbegin\n  i := 300;\n  s := [i];\nend.", 5,
     "Set element out of range"},
};

class RuntimeError : public ::testing::TestWithParam<TRuntimeCase> {};

TEST_P(RuntimeError, EndsTheScriptWithTextAndLine) {
  const auto& c = GetParam();
  auto r = test::RunScript(c.Source);
  ASSERT_TRUE(r.Compiled) << (r.Messages.empty() ? "" : r.Messages[0].Text);
  EXPECT_FALSE(r.Ran);
  EXPECT_NE(r.Error.Text.find(c.Text), std::string::npos) << r.Error.Text;
  EXPECT_EQ(r.Error.Line, c.Line) << r.Error.Text;
  EXPECT_GE(r.Error.Pos, 0);
}

INSTANTIATE_TEST_SUITE_P(Engine, RuntimeError, ::testing::ValuesIn(kRuntimeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(RuntimeErrorPosition, NamesTheProcedureAndItsByteCodePosition) {
  TScriptEngine e;
  e.SetScript("procedure First;\nbegin\nend;\nprocedure Boom;\nvar i: Integer;\nbegin\n"
              "  i := 0;\n  i := 1 div i;\nend;\nbegin\n  First;\n  Boom;\nend.");
  ASSERT_TRUE(e.Compile());
  ASSERT_FALSE(e.Execute());
  EXPECT_EQ(e.LastError().Proc, e.FindProc("Boom"));
  EXPECT_GT(e.LastError().Pos, 0);
  EXPECT_EQ(e.LastError().Line, 8);
  EXPECT_EQ(e.LastError().Col, 3);
}

TEST(RuntimeErrorRecovery, HandledErrorsLeaveTheScriptRunning) {
  auto r = test::RunScript("var a: array[0..1] of Integer; i: Integer;\nbegin\n  i := 5;\n"
                           "  try\n    a[i] := 1;\n  except\n    on E: ERangeError do "
                           "WriteLn('range');\n  end;\n  WriteLn('after');\nend.");
  ASSERT_TRUE(r.Ran) << r.Error.Text;
  EXPECT_EQ(r.Output, "range\nafter\n");
}

} // namespace

namespace {

std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i)
    r += s;
  return r;
}

// Hostile shapes end in a compile error instead of exhausting the native stack.
TEST(CompileLimits, DeepOrLongExpressionsAreRefused) {
  const std::pair<std::string, const char*> cases[] = {
      {"var i: Integer;\nbegin\n  i := " + Repeat("(", 5000) + "1" + Repeat(")", 5000) + ";\nend.",
       "Nesting too deep"},
      {"var i: Integer;\nbegin\n  i := 1" + Repeat(" + 1", 100000) + ";\nend.",
       "Expression too complex"},
      {"var i: Integer;\nbegin\n  i := i" + Repeat("[1]", 100000) + ";\nend.",
       "Expression too complex"},
      {"begin\n" + Repeat("if True then ", 100000) + "WriteLn;\nend.", "Nesting too deep"},
  };
  for (auto& [source, text] : cases) {
    auto r = test::RunScript(source);
    ASSERT_FALSE(r.Compiled);
    ASSERT_FALSE(r.Messages.empty());
    EXPECT_NE(r.Messages[0].Text.find(text), std::string::npos) << r.Messages[0].Text;
  }
}

TEST(RuntimeLimits, RecursionThroughTheHostEndsWithAnError) {
  TScriptEngine e;
  e.Library().AddType("TNotify", "procedure");
  e.Library().AddFunction("procedure Again(P: TNotify)", [](THostCall& c) {
    TScriptCallback cb = c.Vm.MakeCallback(c.Arg(0));
    if (!cb.Invoke({})) throw TScriptError(cb.Error().Text);
  });
  auto r =
      test::RunScript("procedure Loop;\nbegin\n  Again(Loop);\nend;\nbegin\n  Loop;\nend.", &e);
  ASSERT_TRUE(r.Compiled);
  EXPECT_FALSE(r.Ran);
  EXPECT_EQ(r.Error.Text, "Stack overflow");
}

} // namespace
