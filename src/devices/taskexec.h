#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "devices/devinfo.h"
#include "link/errcodes.h"

// The task runner: loads the protocol module, asks for confirmation, runs one
// device operation with status, progress and Cancel, counts the errors it
// reports and writes the result line. Its view is the services interface.
class TTaskForm {
public:
  using TTask = std::function<TTaskResult()>;

  TTaskResult Execute(TE2Operation operation, const std::string& deviceName, TTask task,
                      TModule module, int rangeEnd, int rangeStart);

  // Services for the running task
  void ShowProgress(int address);
  void ShowCount(int value, bool force);
  void AddError() { ++ErrorCount; }
  void VerifyError(int address, int expected, int read);
  void BlankCheckError(int address, int value);
  void WaitWithProgress(int totalMs, int stepMs);
  void SetStatus(const std::string& text);
  void SetUserBreak(bool value) { UserBreak = value; }

  // Sets Tick when a 100 ms period has passed on the view's clock.
  void TimerTick();

  // State
  std::string StatusBase;
  TE2Operation Operation = oprBlank;
  int RangeStart = -1;
  int RangeEnd = -1;
  bool Tick = false;
  TTask Task;
  bool UserBreak = false;
  std::int32_t ErrorCount = 0;
  TTaskResult TaskResult = trSuccess;
  bool Running = false;

  // What the view shows (kept so that tests and views can read it back).
  std::string StatusLine;
  std::string DeviceText;
  std::string RangeText;
  int ProgressMin = 0;
  int ProgressMax = 0;
  int ProgressPosition = 0;

  // The user's option; on by default.
  bool ProgramConfirmation = true;
  // Makes a protocol module the loaded one (the link's LoadModule by default).
  std::function<TTaskResult(TModule)> ModuleLoader;
  // Leaves the target safe after a task that failed by an exception (power
  // off and release the pins through the link by default).
  std::function<void()> SafeState;

  static constexpr int TickMs = 100;
  static constexpr int HoldMs = 1500;

private:
  void SetProgressBounds(int minimum, int maximum);
  void SetPosition(int position);
  void ShowStatus(const std::string& text);
  TTaskResult RunTask();
  std::uint64_t NextTickAt = 0;
};

// Status text, confirmation question and result-line prefix of an operation.
const char* OperationStatusText(TE2Operation operation);
const char* OperationConfirmation(TE2Operation operation); // nullptr: none
const char* OperationResultPrefix(TE2Operation operation);

// The one task runner of the program.
TTaskForm& TaskForm();
