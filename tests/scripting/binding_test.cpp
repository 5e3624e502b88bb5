// The host's side of the engine: declared types, classes with ancestors,
// properties, virtual methods, events, var parameters, bound variables and
// host errors; and what a host does with the engine (stop, stored code).
#include "scriptrun.h"

#include "scripting/engine/exceptionobj.h"

#include <gtest/gtest.h>

using namespace kv::script;

namespace {

struct TFakeDevice {
  virtual ~TFakeDevice() = default;
  virtual int DeviceRead() { return 1; }
  std::string Name;
  int64_t Cap = 0;
  uint64_t Opr[4] = {0, 0, 0, 0};
  TScriptCallback OnSelect;
};

struct TFakeI2C : TFakeDevice {
  int DeviceRead() override { return 2; }
};

// A small host: a registry of two devices and a message list.
class Binding : public ::testing::Test {
protected:
  TScriptEngine Engine;
  TFakeDevice Plain;
  TFakeI2C I2C;
  std::vector<std::string> Msgs;
  TClassDef* DeviceClass = nullptr;
  TClassDef* I2CClass = nullptr;

  void SetUp() override {
    Plain.Name = "93C46";
    I2C.Name = "24C02";
    auto& lib = Engine.Library();
    lib.AddConstant("oRead", "LongWord", TValue::Int(1));
    lib.AddConstant("oWrite", "LongWord", TValue::Int(2));
    lib.AddType("TModule", "( tmNone, tmMotorola, tmEEPROM )");
    lib.AddType("TE2Opr", "set of byte");
    lib.AddType("TDevInfo", "record Name: string; e2cap: cardinal; e2Opr: TE2Opr; end");
    DeviceClass = &lib.AddClass("TDevice", "TObject");
    lib.AddType("TSelectDeviceEvent", "Procedure ( Device : TDevice; Tab : integer)");
    auto dev = [](THostCall& c) { return static_cast<TFakeDevice*>(c.Self); };
    DeviceClass->AddProperty(
        "Name", "string", [dev](THostCall& c) { c.SetStr(dev(c)->Name); },
        [dev](THostCall& c) { dev(c)->Name = c.Str(0); });
    DeviceClass->AddProperty(
        "e2cap", "cardinal", [dev](THostCall& c) { c.SetInt(dev(c)->Cap); },
        [dev](THostCall& c) { dev(c)->Cap = c.Int(0); });
    DeviceClass->AddProperty(
        "e2Opr", "TE2Opr", [dev](THostCall& c) { c.Result = SetFromBits(dev(c)->Opr); },
        [dev](THostCall& c) { SetToBits(c.Arg(0), dev(c)->Opr); });
    DeviceClass->AddProperty(
        "OnSelectDevice", "TSelectDeviceEvent",
        [dev](THostCall& c) { c.Result = TValue::Proc(dev(c)->OnSelect.ProcIndex()); },
        [dev](THostCall& c) { dev(c)->OnSelect = c.Vm.MakeCallback(c.Arg(0)); });
    DeviceClass->AddMethod("Function DeviceRead : integer",
                           [dev](THostCall& c) { c.SetInt(dev(c)->DeviceRead()); });
    DeviceClass->AddMethod("Function GetDevInfo : TDevInfo", [dev](THostCall& c) {
      TValue rec = NewAgg(3, true);
      auto* a = static_cast<TAggCell*>(rec.H);
      a->Items[0] = TValue::Str(dev(c)->Name);
      a->Items[1] = TValue::Int(dev(c)->Cap);
      a->Items[2] = SetFromBits(dev(c)->Opr);
      c.Result = rec;
    });
    DeviceClass->AddMethod("Procedure SetDevInfo( DevInfo : TDevInfo)", [dev](THostCall& c) {
      auto* a = static_cast<TAggCell*>(c.Arg(0).H);
      dev(c)->Name = a->Items[0].AsString();
      dev(c)->Cap = a->Items[1].I;
      SetToBits(a->Items[2], dev(c)->Opr);
    });
    I2CClass = &lib.AddClass("TI2C", "TDevice");
    lib.AddFunction(
        "function GetDevice( DeviceName: string; var DevBase: TDevice ): boolean;",
        [this](THostCall& c) {
          TFakeDevice* d = c.Str(0) == I2C.Name ? &I2C : c.Str(0) == Plain.Name ? &Plain : nullptr;
          c.SetBool(d != nullptr);
          if (d) c.Arg(1) = NewObject(d, d == &I2C ? I2CClass : DeviceClass, false);
        });
    lib.AddFunction("procedure AddMsg( Text: string );",
                    [this](THostCall& c) { Msgs.push_back(c.Str(0)); });
    lib.AddFunction("procedure HideDeviceOrGroup( DeviceOrGroupName: string );", [](THostCall& c) {
      throw TScriptError(c.Str(0) + " Device or group not found");
    });
    lib.AddFunction("function InBox( Caption, EditLabel: string; var Value: string ): boolean;",
                    [](THostCall& c) {
                      c.Arg(2) = TValue::Str(c.Str(2) + "+edited");
                      c.SetBool(true);
                    });
    lib.AddVariable("Application", "TDevice");
  }

  bool Run(const std::string& src) {
    auto r = test::RunScript(src, &Engine);
    for (auto& m : r.Messages)
      if (m.Kind == TCompilerMessage::TKind::Error)
        ADD_FAILURE() << m.Line << ":" << m.Col << " " << m.Text;
    return r.Ran;
  }
};

TEST_F(Binding, PropertiesReadAndWriteTheHostFields) {
  ASSERT_TRUE(Run("var d: TDevice; info: TDevInfo;\nbegin\n  GetDevice('24C02', d);\n"
                  "  d.e2cap := 512;\n  d.Name := d.Name + 'A';\n  d.e2Opr := [oRead, 5, 200];\n"
                  "  info := d.GetDevInfo;\n  AddMsg(IntToStr(info.e2cap) + ' ' + info.Name);\n"
                  "  if (oWrite in d.e2Opr) or not (200 in info.e2Opr) then AddMsg('bad set');\n"
                  "  info.e2cap := 1024;\n  d.SetDevInfo(info);\nend."))
      << Engine.LastError().Text;
  EXPECT_EQ(Msgs, std::vector<std::string>({"512 24C02A"}));
  EXPECT_EQ(I2C.Cap, 1024);
  EXPECT_EQ(I2C.Opr[0], (uint64_t(1) << 1) | (uint64_t(1) << 5));
  EXPECT_EQ(I2C.Opr[3], uint64_t(1) << (200 - 192));
}

TEST_F(Binding, MethodsDispatchToTheHostOverride) {
  ASSERT_TRUE(Run("var d: TDevice;\nbegin\n  GetDevice('24C02', d);\n"
                  "  AddMsg(IntToStr(d.DeviceRead));\n  GetDevice('93C46', d);\n"
                  "  AddMsg(IntToStr(d.DeviceRead));\n"
                  "  if d is TI2C then AddMsg('wrong class');\nend."));
  EXPECT_EQ(Msgs, std::vector<std::string>({"2", "1"}));
}

TEST_F(Binding, VarParametersOfHostFunctionsComeBack) {
  ASSERT_TRUE(Run("var d: TDevice; v: string;\nbegin\n  d := nil;\n"
                  "  if not GetDevice('nothing', d) and (d = nil) then AddMsg('kept nil');\n"
                  "  v := 'abc';\n  if InBox('c', 'l', v) then AddMsg(v);\nend."));
  EXPECT_EQ(Msgs, std::vector<std::string>({"kept nil", "abc+edited"}));
}

TEST_F(Binding, EventsAreCalledLaterWithArgumentsEvenAfterAnotherCompile) {
  ASSERT_TRUE(Run("var count: Integer;\nprocedure Selected(Device: TDevice; Tab: integer);\n"
                  "begin\n  Inc(count);\n  AddMsg(Device.Name + ' ' + IntToStr(Tab) + ' ' + "
                  "IntToStr(count));\nend;\nvar d: TDevice;\nbegin\n  GetDevice('24C02', d);\n"
                  "  d.OnSelectDevice := Selected;\n  if Assigned(d.OnSelectDevice) then "
                  "AddMsg('set');\nend."));
  ASSERT_TRUE(I2C.OnSelect.Assigned());
  Engine.SetScript("begin AddMsg('other script'); end.");
  ASSERT_TRUE(Engine.Compile());
  ASSERT_TRUE(Engine.Execute());
  TValue self = NewObject(&I2C, I2CClass, false);
  ASSERT_TRUE(I2C.OnSelect.Invoke({self, TValue::Int(7)}));
  ASSERT_TRUE(I2C.OnSelect.Invoke({self, TValue::Int(8)}));
  EXPECT_EQ(Msgs, std::vector<std::string>({"set", "other script", "24C02 7 1", "24C02 8 2"}));
}

TEST_F(Binding, HostErrorsEndTheScriptWithTheirText) {
  EXPECT_FALSE(
      Run("begin\n  AddMsg('before');\n  HideDeviceOrGroup('Foo');\n  AddMsg('after');\nend."));
  EXPECT_EQ(Engine.LastError().Text, "Foo Device or group not found");
  EXPECT_EQ(Engine.LastError().Line, 3);
  EXPECT_EQ(Msgs, std::vector<std::string>({"before"}));
}

TEST_F(Binding, VariablesAreBoundBeforeTheRun) {
  Engine.OnExecute = [this](TScriptEngine& e) {
    e.BindVariable("Application", NewObject(&Plain, DeviceClass, false));
  };
  ASSERT_TRUE(Run("begin\n  AddMsg(Application.Name);\nend."));
  EXPECT_EQ(Msgs, std::vector<std::string>({"93C46"}));
}

TEST_F(Binding, EnumerationsKeepTheirDeclaredOrdinals) {
  ASSERT_TRUE(Run("var m: TModule;\nbegin\n  m := tmEEPROM;\n"
                  "  AddMsg(IntToStr(Ord(m)) + IntToStr(Ord(tmNone)));\nend."));
  EXPECT_EQ(Msgs, std::vector<std::string>({"20"}));
}

TEST(EngineHost, HostFunctionsMayRunScriptCodeInTheMiddleOfARun) {
  TScriptEngine e;
  e.Library().AddType("TNotify", "procedure(Depth: Integer)");
  e.Library().AddFunction("procedure CallBack(P: TNotify; Depth: Integer)", [](THostCall& c) {
    TScriptCallback cb = c.Vm.MakeCallback(c.Arg(0));
    if (!cb.Invoke({TValue::Int(c.Int(1))}))
      throw TScriptError("callback failed: " + cb.Error().Text);
  });
  // Deep recursion inside the callback grows the frame list while the outer
  // run waits in the host function.
  auto r = test::RunScript(
      "var total: Integer;\nprocedure Deep(Depth: Integer);\nbegin\n  Inc(total);\n"
      "  if Depth > 0 then Deep(Depth - 1);\nend;\nprocedure Outer(n: Integer);\nbegin\n"
      "  if n > 0 then Outer(n - 1) else CallBack(Deep, 3000);\n  Inc(total);\nend;\n"
      "begin\n  Outer(50);\n  WriteLn(total);\n  try\n    CallBack(Deep, 1000000);\n  except\n"
      "    on E: Exception do WriteLn(E.Message);\n  end;\nend.",
      &e);
  ASSERT_TRUE(r.Ran) << r.Error.Text;
  EXPECT_EQ(r.Output, "3052\ncallback failed: Stack overflow\n");
}

TEST(EngineHost, StopFromTheLineHookEndsAnEndlessLoop) {
  TScriptEngine e;
  int lines = 0;
  e.OnLine = [&lines](TScriptEngine& eng, int) {
    if (++lines == 1000) eng.Stop();
  };
  e.SetScript("procedure Spin;\nbegin\n  while True do\n    ;\nend;\nbegin\n  Spin;\nend.");
  ASSERT_TRUE(e.Compile());
  EXPECT_FALSE(e.Execute());
  EXPECT_EQ(e.LastError().Text, "Script stopped");
  EXPECT_EQ(e.LastError().Proc, e.FindProc("Spin"));
  EXPECT_EQ(e.LastError().Line, 3);
  EXPECT_FALSE(e.IsRunning());
  // the next run starts afresh
  e.SetScript("begin end.");
  ASSERT_TRUE(e.Compile());
  EXPECT_TRUE(e.Execute());
}

TEST(EngineHost, StopIsNotSwallowedByTheScriptsHandlers) {
  TScriptEngine e;
  e.OnLine = [](TScriptEngine& eng, int line) {
    if (line == 4) eng.Stop();
  };
  auto r = test::RunScript("begin\n  try\n    while True do\n      WriteLn('x');\n  except\n"
                           "    WriteLn('handled');\n  end;\nend.",
                           &e);
  EXPECT_FALSE(r.Ran);
  EXPECT_EQ(r.Output, "");
}

TEST(EngineHost, StoredCodeIsCalledByNameAfterAnotherCompile) {
  TScriptEngine e;
  std::string out;
  e.OnOutput = [&out](const std::string& s) { out += s; };
  e.SetScript("var calls: Integer;\nprocedure Action;\nbegin\n  Inc(calls);\n"
              "  WriteLn('action ', calls);\nend;\nbegin\n  calls := 10;\nend.");
  ASSERT_TRUE(e.Compile());
  ASSERT_TRUE(e.Execute());
  auto stored = e.GetCode();
  ASSERT_GT(e.FindProc("action"), 0);
  e.SetScript("procedure Other;\nbegin\nend;\nbegin\n  WriteLn('second');\nend.");
  ASSERT_TRUE(e.Compile());
  ASSERT_TRUE(e.Execute());
  EXPECT_LT(e.FindProc("Action"), 0);
  ASSERT_TRUE(e.LoadCode(stored));
  ASSERT_TRUE(e.CallProc("Action"));
  ASSERT_TRUE(e.CallProc("ACTION"));
  EXPECT_FALSE(e.CallProc("Missing"));
  EXPECT_EQ(out, "second\naction 1\naction 2\n");
}

TEST(EngineHost, ASecondRunIsRefusedWhileOneIsRunning) {
  TScriptEngine e;
  bool refused = false;
  e.Library().AddFunction("procedure Nested",
                          [&](THostCall&) { refused = !e.Execute() && e.IsRunning(); });
  e.SetScript("begin\n  Nested;\nend.");
  ASSERT_TRUE(e.Compile());
  EXPECT_TRUE(e.Execute());
  EXPECT_TRUE(refused);
}

TEST(EngineHost, BareBeginEndScriptsAndCaseInsensitiveNames) {
  auto r = test::RunScript(
      "VAR Counter: INTEGER;\nBEGIN\n  counter := 2;\n  WRITELN(COUNTER * 3);\nEND.");
  ASSERT_TRUE(r.Ran);
  EXPECT_EQ(r.Output, "6\n");
}

} // namespace
