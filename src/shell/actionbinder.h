#pragma once

#include <map>
#include <string>
#include <vector>

#include "shell/appservices.h"

// One command of the main window shared by every page: the page on the active
// tab binds its handler; without a handler the command is disabled.
class TSharedAction : public TCommandModel {
public:
  std::string Name;     // "UndoAction"
  std::string Shortcut; // portable text, "Ctrl+Z"; empty for none
  std::string Hint;
  bool Checkable = false;
  bool Checked = false;
  bool Visible = true;

  // Binds a handler (enabled unless told otherwise).
  void Bind(std::function<void(void* sender)> handler, bool enabled = true) {
    Set(std::move(handler), enabled);
  }
  // Clears the handler; with no handler the command is disabled.
  void Unbind() { Set({}, false); }
  void SetEnabled(bool enabled);
  void SetChecked(bool checked);
  bool Bound() const { return static_cast<bool>(OnExecute); }
};

// Every shared action of the main window, by name, in the order of the table
// the main window builds its menus from. Unknown names are programming errors
// and throw std::out_of_range.
class TActionBinder {
public:
  TActionBinder();
  TActionBinder(const TActionBinder&) = delete;
  TActionBinder& operator=(const TActionBinder&) = delete;

  TSharedAction& operator[](const std::string& name);
  TSharedAction* Find(const std::string& name);
  const std::vector<TSharedAction*>& All() const { return Order; }

  // The page base's DisconnectActions: clears every handler a page may bind,
  // disables the commands that stay visible without a page, and resets the
  // actions menu to its single "Empty" item.
  void DisconnectPageActions(TMenuModel& actionsMenu);

  // The names cleared and disabled by DisconnectPageActions.
  static const std::vector<std::string>& PageBoundNames();
  static const std::vector<std::string>& DisabledOnDisconnect();

private:
  std::map<std::string, TSharedAction> Actions;
  std::vector<TSharedAction*> Order;
};
