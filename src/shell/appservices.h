#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the models need from the application around them: the message panel,
// the task runner's error count, questions and boxes, and the event-loop pump.
// The GUI implements it with widgets, kvprog-cli with the terminal, tests with
// a recorder. One global instance is set at start.
enum class TAnswer { Yes, No, Cancel };

class TDevicePage; // the device side of a programmer page (devices/devicepage.h)

// A main-window command as the models see it: caption, enabled state and the
// handler that runs it. The GUI mirrors it into its action on OnChange.
struct TCommandModel {
  std::string Caption;
  bool Enabled = false;
  std::function<void(void* sender)> OnExecute;
  std::function<void()> OnChange;

  void Set(std::function<void(void* sender)> handler, bool enabled) {
    OnExecute = std::move(handler);
    Enabled = enabled;
    if (OnChange) OnChange();
  }
  // Runs the handler when the command is enabled; false when nothing ran.
  bool Execute(void* sender) {
    if (!Enabled || !OnExecute) return false;
    OnExecute(sender);
    return true;
  }
};

// A menu whose sub-items are built by a model (the "&Actions" menu).
struct TMenuModel {
  struct TItem {
    std::string Caption;
    std::function<void()> Execute; // empty: an item with no command behind it
  };
  std::string Caption;
  std::vector<TItem> Items;
  std::function<void()> OnChange;

  void Clear() { Items.clear(); }
  void Add(std::string caption, std::function<void()> execute) {
    Items.push_back({std::move(caption), std::move(execute)});
  }
  void Changed() {
    if (OnChange) OnChange();
  }
};

// The device commands of the main window.
enum TDeviceCommand { dcSettings, dcConfigRegister, dcLockBits, dcFuseBits, DeviceCommandCount };

class TAppServices {
public:
  virtual ~TAppServices() = default;

  // Message panel
  virtual void AddMessage(const std::string& text) = 0;
  virtual void ReplaceLastMessage(const std::string& text) = 0;
  virtual void ClearMessages() = 0;

  // Error count of the running task (the task runner's AddError)
  virtual void AddError() = 0;

  // Boxes; texts use '\r' as the line break, as the program's texts are written
  virtual TAnswer AskYesNo(const std::string& title, const std::string& text) = 0;
  virtual TAnswer AskYesNoCancel(const std::string& title, const std::string& text) = 0;
  virtual void ShowInformation(const std::string& title, const std::string& text) = 0;
  virtual void ShowWarning(const std::string& title, const std::string& text) = 0;

  // Lets pending user-interface events run during a long operation
  virtual void ProcessMessages() {}

  // Task dialog view (the task runner is its model). The defaults draw nothing.
  virtual void TaskShow(const std::string& deviceName, const std::string& rangeText) {
    (void)deviceName;
    (void)rangeText;
  }
  virtual void TaskStatus(const std::string& text) { (void)text; }
  virtual void TaskProgressBounds(int minimum, int maximum) {
    (void)minimum;
    (void)maximum;
  }
  virtual void TaskProgress(int position) { (void)position; }
  virtual void TaskToFront() {}
  virtual void TaskHide() {}
  // The pause that keeps the finished dialog readable; a console does not wait.
  virtual void TaskHold(int ms) { (void)ms; }

  // A blocking sleep inside a task (WaitWithProgress).
  virtual void Sleep(int ms);
  // Milliseconds of a monotonic clock; drives the task dialog's 100 ms tick.
  virtual std::uint64_t NowMs();

  // The result line of a task; the GUI selects the appended line.
  virtual void ReportTaskResult(const std::string& line) { AddMessage(line); }
  virtual void BringMainWindowToFront() {}

  // Device commands and the actions menu of the main window.
  virtual TCommandModel& DeviceCommand(TDeviceCommand command);
  // The main menu item with that caption, or nullptr ("&Actions" exists).
  virtual TMenuModel* FindMenuItem(const std::string& caption);

  // The active programmer page, or nullptr when the active page is another kind.
  virtual TDevicePage* GetActiveProgrammerPage() { return nullptr; }

private:
  TCommandModel Commands[DeviceCommandCount] = {
      {"&Settings", false, {}, {}},
      {"&Config Bits/Register", false, {}, {}},
      {"&Lock Bits", false, {}, {}},
      {"&Fuse Bits", false, {}, {}},
  };
  TMenuModel ActionsMenu{"&Actions", {}, {}};
};

// The global instance; a silent default is in place until the program sets one.
TAppServices& Services();
void SetServices(TAppServices* services); // nullptr restores the silent default

// Sets a services instance for a scope and restores the previous one after.
class TServicesScope {
public:
  explicit TServicesScope(TAppServices& s);
  ~TServicesScope();
  TServicesScope(const TServicesScope&) = delete;
  TServicesScope& operator=(const TServicesScope&) = delete;

private:
  TAppServices* Previous;
};
