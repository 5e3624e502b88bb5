#include <gtest/gtest.h>

#include "support/tempdir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "devices/devbase.h"
#include "devices/devicepage.h"
#include "support/recorderservices.h"

namespace {

class TCountingDevice : public TDevice {
public:
  using TDevice::TDevice;
  int Settings_ = 0, Config = 0, Lock = 0, Fuse = 0;
  void DeviceSettings(void*) override { ++Settings_; }
  void DeviceConfigRegister(void*) override { ++Config; }
  void DeviceLockBits(void*) override { ++Lock; }
  void DeviceFuseBits(void*) override { ++Fuse; }
};

TDevInfo WithCommands(std::uint16_t settings, std::uint16_t config, std::uint16_t lock,
                      std::uint16_t fuse) {
  TDevInfo r;
  r.ID = "x";
  r.Name = "X";
  r.Settings = settings;
  r.ConfigOption = config;
  r.LockBitsOption = lock;
  r.FuseBitsOption = fuse;
  return r;
}

class DeviceCommands : public ::testing::Test {
protected:
  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  bool Enabled(TDeviceCommand c) { return Rec.DeviceCommand(c).Enabled; }
  bool Bound(TDeviceCommand c) { return static_cast<bool>(Rec.DeviceCommand(c).OnExecute); }
};

TEST_F(DeviceCommands, EnterModuleEnablesTheCommandsOfNonZeroFields) {
  struct Case {
    std::uint16_t S, C, L, F;
  } cases[] = {{0, 0, 0, 0}, {3, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 9, 0}, {0, 0, 0, 2}, {6, 3, 9, 2}};
  for (const auto& c : cases) {
    TCountingDevice d(WithCommands(c.S, c.C, c.L, c.F));
    d.ExitModule(nullptr);
    d.EnterModule(nullptr);
    const bool expect[] = {c.S != 0, c.C != 0, c.L != 0, c.F != 0};
    for (int cmd = 0; cmd < DeviceCommandCount; ++cmd) {
      auto command = static_cast<TDeviceCommand>(cmd);
      EXPECT_EQ(Enabled(command), expect[cmd]) << cmd;
      EXPECT_EQ(Rec.DeviceCommand(command).Execute(nullptr), expect[cmd]);
    }
    EXPECT_EQ(d.Settings_ + d.Config + d.Lock + d.Fuse,
              (c.S != 0) + (c.C != 0) + (c.L != 0) + (c.F != 0));
  }
}

TEST_F(DeviceCommands, NextDeviceWithoutSettingsLeavesItDisabledAndUnbound) {
  TCountingDevice a(WithCommands(3, 0, 0, 0));
  TCountingDevice b(WithCommands(0, 0, 0, 0));
  TDevicePage page;
  page.AttachDevice(&a);
  EXPECT_TRUE(Enabled(dcSettings));
  page.AttachDevice(&b);
  EXPECT_FALSE(Enabled(dcSettings));
  EXPECT_FALSE(Bound(dcSettings));
  EXPECT_EQ(a.HepPage, &page); // detaching keeps the page
}

TEST_F(DeviceCommands, ActionsMenuShowsEmptyOrTheActionsInOrder) {
  TDevice d(WithCommands(0, 0, 0, 0));
  d.EnterModule(nullptr);
  TMenuModel* menu = Rec.FindMenuItem("&Actions");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Items.size(), 1u);
  EXPECT_EQ(menu->Items[0].Caption, "Empty");
  EXPECT_FALSE(menu->Items[0].Execute);

  d.DevActionList->AddScriptAction("Erase all", "DoErase", LangPascalScript, "a.kds", "A1");
  d.DevActionList->AddScriptAction("Dump", "DoDump", LangFsJScript, "b.kds", "B1");
  d.EnterModule(nullptr);
  ASSERT_EQ(menu->Items.size(), 2u);
  EXPECT_EQ(menu->Items[0].Caption, "Erase all");
  EXPECT_EQ(menu->Items[1].Caption, "Dump");
}

struct TRun {
  std::uint8_t Language;
  std::string Compiled, Proc;
};

TEST_F(DeviceCommands, ScriptActionsRunTheCodeOfTheirOwnScript) {
  std::vector<TRun> runs;
  SetActionScriptRunner([&](std::uint8_t l, const std::string& c, const std::string& p) {
    runs.push_back({l, c, p});
  });
  TDevice d(WithCommands(0, 0, 0, 0));
  TDevActionList& list = *d.DevActionList;
  list.AddScriptAction("One", "P1", LangPascalScript, "a.kds", "A1");
  list.AddScriptAction("Two", "P2", LangFsBasic, "b.kds", "B1");
  // The same caption again: the existing item changes, its position stays;
  // re-running script a replaces the code of all its actions.
  list.AddScriptAction("One", "P1b", LangPascalScript, "a.kds", "A2");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOfCaption("One"), 0);
  EXPECT_EQ(list.Scripts.size(), 2u);

  list[0]->Execute();
  list[1]->Execute();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Compiled, "A2");
  EXPECT_EQ(runs[0].Proc, "P1b");
  EXPECT_EQ(runs[1].Compiled, "B1");
  EXPECT_EQ(runs[1].Language, LangFsBasic);

  // An action whose script has no line does nothing.
  list.Scripts.clear();
  list[0]->Execute();
  EXPECT_EQ(runs.size(), 2u);
  SetActionScriptRunner({});
}

TEST_F(DeviceCommands, OpenFileActionOnlyOpensAFileThatStillExists) {
  const auto path = TestTempPath("devaction_open.bin");
  std::ofstream(path) << "x";
  std::vector<std::string> opened;
  auto opener = [&](const std::string& p) {
    opened.push_back(p);
    return true;
  };
  TDevActionList list;
  list.AddHandlerAction(
      "Open", [&](TDevAction* a) { return OpenFileActionHandler(a, opener); }, 0, path.string());
  list[0]->Execute();
  std::filesystem::remove(path);
  list[0]->Execute();
  EXPECT_EQ(opened, (std::vector<std::string>{path.string()}));
  EXPECT_EQ(list.IndexOfCaption("open"), -1); // captions compare exactly
}

} // namespace
