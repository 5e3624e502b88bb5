#include "devices/taskexec.h"

#include <cstdio>
#include <exception>

#include "link/usbinterface.h"
#include "shell/appservices.h"

namespace {

struct TOperationTexts {
  const char* Status;
  const char* Confirmation;
  const char* Prefix;
};

const TOperationTexts OperationTexts[E2OperationCount] = {
    {" Blank Checking...", nullptr, "Blank Checking: "},
    {" Reading...", nullptr, "Reading: "},
    {" Programming...", "Program?", "Programming: "},
    {" Verifying...", nullptr, "Verifying: "},
    {" Erasing...", "Erase?", "Erasing: "},
    {" Read Status Register...", nullptr, "Read Status Register: "},
    {" Save Status Register...", nullptr, "Write Status Register: "},
    {" Connecting...", nullptr, "Connecting: "},
    {" Emulating...", nullptr, ""},
    {" Setting up Baud Rate...", nullptr, "Setting up baud rate: "},
    {" Read Protect Register...", nullptr, ""},
    {" Write Protect Register...", nullptr, ""},
    {" Clear Protect Register...", nullptr, ""},
    {" Disable BDM Lockout...", nullptr, "Disable BDM Lockout: "},
    {" Enable BDM Lockout...", nullptr, "Enable BDM Lockout: "},
    {" Read Config Register...", nullptr, "Read Config Register: "},
    {" Program Config Register...", "Program?", "Program Config Register: "},
    {" Read Fuse Bits ...", nullptr, "Read Fuse Bits: "},
    {" Program Config Register...", "Program?", "Program Fuse Bits: "},
    {" Read Lock Bits...", nullptr, "Read Lock Bits: "},
    {" Program Lock Bits...", "Program?", "Program Lock Bits: "},
    {" Chip Erasing...",
     "All data within the program memory and the data memory will be erased! Process?", ""},
};

const TOperationTexts& TextsOf(TE2Operation op) {
  return OperationTexts[op < E2OperationCount ? op : oprBlank];
}

std::string Hex(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

// While a task runs, errors the link reports through the services are counted
// by the task runner too; everything else goes to the program's services.
class TTaskServices final : public TAppServices {
public:
  TTaskServices(TAppServices& inner, TTaskForm& form) : Inner(inner), Form(form) {}

  void AddMessage(const std::string& t) override { Inner.AddMessage(t); }
  void ReplaceLastMessage(const std::string& t) override { Inner.ReplaceLastMessage(t); }
  void ClearMessages() override { Inner.ClearMessages(); }
  void AddError() override {
    Form.AddError();
    Inner.AddError();
  }
  TAnswer AskYesNo(const std::string& a, const std::string& b) override {
    return Inner.AskYesNo(a, b);
  }
  TAnswer AskYesNoCancel(const std::string& a, const std::string& b) override {
    return Inner.AskYesNoCancel(a, b);
  }
  void ShowInformation(const std::string& a, const std::string& b) override {
    Inner.ShowInformation(a, b);
  }
  void ShowWarning(const std::string& a, const std::string& b) override { Inner.ShowWarning(a, b); }
  void ProcessMessages() override { Inner.ProcessMessages(); }
  void TaskShow(const std::string& d, const std::string& r) override { Inner.TaskShow(d, r); }
  void TaskStatus(const std::string& t) override { Inner.TaskStatus(t); }
  void TaskProgressBounds(int a, int b) override { Inner.TaskProgressBounds(a, b); }
  void TaskProgress(int p) override { Inner.TaskProgress(p); }
  void TaskToFront() override { Inner.TaskToFront(); }
  void TaskHide() override { Inner.TaskHide(); }
  void TaskHold(int ms) override { Inner.TaskHold(ms); }
  void Sleep(int ms) override { Inner.Sleep(ms); }
  std::uint64_t NowMs() override { return Inner.NowMs(); }
  void ReportTaskResult(const std::string& l) override { Inner.ReportTaskResult(l); }
  void BringMainWindowToFront() override { Inner.BringMainWindowToFront(); }
  TCommandModel& DeviceCommand(TDeviceCommand c) override { return Inner.DeviceCommand(c); }
  TMenuModel* FindMenuItem(const std::string& c) override { return Inner.FindMenuItem(c); }
  TDevicePage* GetActiveProgrammerPage() override { return Inner.GetActiveProgrammerPage(); }

private:
  TAppServices& Inner;
  TTaskForm& Form;
};

} // namespace

const char* OperationStatusText(TE2Operation operation) {
  return TextsOf(operation).Status;
}
const char* OperationConfirmation(TE2Operation operation) {
  return TextsOf(operation).Confirmation;
}
const char* OperationResultPrefix(TE2Operation operation) {
  return TextsOf(operation).Prefix;
}

void TTaskForm::ShowStatus(const std::string& text) {
  StatusLine = text;
  Services().TaskStatus(text);
}

void TTaskForm::SetPosition(int position) {
  ProgressPosition = position;
  Services().TaskProgress(position);
}

void TTaskForm::SetProgressBounds(int minimum, int maximum) {
  if (maximum < minimum) maximum = minimum;
  ProgressMin = minimum;
  ProgressMax = maximum;
  Services().TaskProgressBounds(minimum, maximum);
}

void TTaskForm::TimerTick() {
  if (!Running) return;
  std::uint64_t now = Services().NowMs();
  if (now >= NextTickAt) {
    Tick = true;
    // The timer keeps its own rhythm; missed periods do not pile up.
    NextTickAt = now - (now - NextTickAt) % TickMs + TickMs;
  }
}

void TTaskForm::ShowProgress(int address) {
  TimerTick();
  if (!Tick) return;
  std::string text = StatusBase + " " + Hex(static_cast<unsigned>(address), 2);
  if (ErrorCount > 0) text += " Errors: " + std::to_string(static_cast<unsigned>(ErrorCount));
  SetPosition(address);
  Tick = false;
  ShowStatus(text);
  Services().TaskToFront();
}

void TTaskForm::ShowCount(int value, bool force) {
  TimerTick();
  if (!force && !Tick) return;
  Tick = false;
  ShowStatus(StatusBase + " " + std::to_string(value));
  Services().TaskToFront();
}

void TTaskForm::VerifyError(int address, int expected, int read) {
  AddError();
  Services().AddMessage("Verify Error [" + Hex(static_cast<unsigned>(address), 1) +
                        "] = " + Hex(static_cast<unsigned>(expected), 2) + " read " +
                        Hex(static_cast<unsigned>(read), 2));
}

void TTaskForm::BlankCheckError(int address, int value) {
  AddError();
  Services().AddMessage("Blank Check Error [" + Hex(static_cast<unsigned>(address), 1) +
                        "] = " + Hex(static_cast<unsigned>(value), 2));
}

void TTaskForm::WaitWithProgress(int totalMs, int stepMs) {
  SetProgressBounds(0, totalMs);
  int elapsed = 0;
  if (stepMs <= 0) stepMs = 1; // a zero step would never finish
  while (elapsed < totalMs && !UserBreak) {
    Services().Sleep(stepMs);
    elapsed += stepMs;
    SetPosition(elapsed);
    Services().ProcessMessages();
  }
}

void TTaskForm::SetStatus(const std::string& text) {
  StatusBase = text;
  ShowStatus(text);
}

TTaskResult TTaskForm::RunTask() {
  try {
    if (Task) TaskResult = Task();
  } catch (const std::exception& e) {
    TaskResult = trDevError;
    AddError();
    Services().AddMessage(std::string(TaskResultText(trDevError)) + ": " + e.what());
    if (SafeState) SafeState();
  } catch (...) {
    TaskResult = trDevError;
    AddError();
    Services().AddMessage(TaskResultText(trDevError));
    if (SafeState) SafeState();
  }
  return TaskResult;
}

TTaskResult TTaskForm::Execute(TE2Operation operation, const std::string& deviceName, TTask task,
                               TModule module, int rangeEnd, int rangeStart) {
  TAppServices& view = Services();
  TTaskResult loaded = ModuleLoader ? ModuleLoader(module) : Link().LoadModule(module);
  if (loaded != trSuccess) return loaded;

  Task = std::move(task);
  const TOperationTexts& texts = TextsOf(operation);
  if (texts.Confirmation && ProgramConfirmation &&
      view.AskYesNo("Confirm", texts.Confirmation) != TAnswer::Yes)
    return operation == oprErase ? trEraseCancel : trProgramCancel;

  RangeStart = rangeStart;
  RangeEnd = rangeEnd;
  Operation = operation;
  StatusBase = texts.Status;
  RangeText = rangeStart == -1 ? "N/A"
                               : Hex(static_cast<unsigned>(rangeStart), 1) + " - " +
                                     Hex(static_cast<unsigned>(rangeEnd), 1);
  DeviceText = deviceName;
  ErrorCount = 0;
  TaskResult = trSuccess;

  view.TaskShow(DeviceText, RangeText);
  ShowStatus(StatusBase);
  if (rangeStart >= 0)
    SetProgressBounds(rangeStart, rangeEnd);
  else
    SetProgressBounds(0, 0);
  SetPosition(ProgressMin);

  // Shown: the tick timer starts and Cancel is cleared.
  Running = true;
  Tick = false;
  NextTickAt = view.NowMs() + TickMs;
  UserBreak = false;
  {
    TTaskServices counting(view, *this);
    TServicesScope scope(counting);
    RunTask();
  }
  Running = false;

  // A failure always reads as one: a task that failed without reporting it
  // still counts an error and says why.
  if (TaskResult != trSuccess && ErrorCount == 0 && !UserBreak) {
    AddError();
    const char* text = TaskResultText(TaskResult);
    view.AddMessage(text && *text ? text : TaskResultName(TaskResult));
  }

  if (UserBreak)
    ShowStatus(StatusBase + " User Break");
  else if (ErrorCount > 0)
    ShowStatus(StatusBase + " " + std::to_string(ErrorCount) + " Errors Found");
  else {
    ShowStatus(StatusBase + " Success");
    SetPosition(ProgressMax);
  }

  std::string devicePart = "  Device: " + deviceName;
  if (rangeStart >= 0)
    devicePart += " Range: " + Hex(static_cast<unsigned>(rangeStart), 1) + " - " +
                  Hex(static_cast<unsigned>(rangeEnd), 2);
  const std::string prefix = texts.Prefix;
  if (ErrorCount > 0) {
    view.ReportTaskResult(prefix + " " + std::to_string(ErrorCount) + " Errors Found" + devicePart);
    view.BringMainWindowToFront();
  } else if (UserBreak)
    view.ReportTaskResult(prefix + "User Break" + devicePart);
  else
    view.ReportTaskResult(prefix + "Success" + devicePart);

  view.TaskHold(HoldMs);
  SetPosition(0);
  view.TaskHide();
  return TaskResult;
}

TTaskForm& TaskForm() {
  static TTaskForm form;
  static bool initialised = [] {
    form.SafeState = [] {
      Link().PowerOff();
      Link().ReleasePins();
    };
    return true;
  }();
  (void)initialised;
  return form;
}
