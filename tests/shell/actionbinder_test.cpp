#include <gtest/gtest.h>

#include "shell/actionbinder.h"

TEST(ActionBinder, MenuCaptionsAndShortcutsOfSampleActions) {
  TActionBinder binder;
  struct {
    const char* Name;
    const char* Caption;
    const char* Shortcut;
  } cases[] = {
      {"OpenAction", "&Open...", "Ctrl+O"},
      {"SaveAction", "&Save", "Ctrl+S"},
      {"RedoAction", "&Redo", "Ctrl+Shift+Z"},
      {"DeleteAction", "&Delete", "Ctrl+Del"},
      {"ScriptRunAction", "&Run", "F9"},
      {"SaveAsAction", "Save &As...", ""},
      {"ShowMsgsAction", "M&essages", ""},
      {"FillCurrentAction", "C&urrent Value", ""},
      {"ConfigRegisterAction", "&Config Bits/Register", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(binder[c.Name].Caption, c.Caption);
    EXPECT_EQ(binder[c.Name].Shortcut, c.Shortcut);
  }
  EXPECT_EQ(binder.Find("NoSuchAction"), nullptr);
  EXPECT_THROW(binder["NoSuchAction"], std::out_of_range);
}

TEST(ActionBinder, UnbindingDisablesAndRunsNothing) {
  TActionBinder binder;
  int runs = 0, changes = 0;
  auto& undo = binder["UndoAction"];
  undo.OnChange = [&] { ++changes; };
  undo.Bind([&](void*) { ++runs; });
  EXPECT_TRUE(undo.Enabled);
  EXPECT_TRUE(undo.Execute(nullptr));
  undo.Unbind();
  EXPECT_FALSE(undo.Enabled);
  EXPECT_FALSE(undo.Execute(nullptr));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(changes, 2); // the view follows each change
}

TEST(ActionBinder, DisconnectClearsEveryPageBindingAndResetsActionsMenu) {
  TActionBinder binder;
  TMenuModel actions{"&Actions", {}, {}};
  actions.Add("Erase Chip", [] {});
  actions.Add("Read ID", [] {});
  for (auto* action : binder.All())
    action->Bind([](void*) {});

  binder.DisconnectPageActions(actions);

  for (const auto& name : TActionBinder::PageBoundNames()) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(binder[name].Bound());
    EXPECT_FALSE(binder[name].Enabled);
  }
  for (const auto& name : TActionBinder::DisabledOnDisconnect()) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(binder[name].Enabled);
  }
  // Window-level commands stay as they were.
  for (const char* name : {"OpenAction", "NewProgAction", "ClearMsgsAction", "ExitAction"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(binder[name].Bound());
    EXPECT_TRUE(binder[name].Enabled);
  }
  ASSERT_EQ(actions.Items.size(), 1u);
  EXPECT_EQ(actions.Items[0].Caption, "Empty");
  EXPECT_FALSE(actions.Items[0].Execute);
}

TEST(ActionBinder, FillCurrentValueIsClearedWithTheOtherFills) {
  // A handler left bound to a destroyed page would run on freed memory.
  TActionBinder binder;
  TMenuModel actions{"&Actions", {}, {}};
  binder["FillCurrentAction"].Bind([](void*) {});
  binder.DisconnectPageActions(actions);
  EXPECT_FALSE(binder["FillCurrentAction"].Bound());
}
