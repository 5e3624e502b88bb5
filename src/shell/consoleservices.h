#pragma once

#include <cstdio>

#include "shell/appservices.h"

// Services of kvprog-cli: message lines on stdout as they come; questions
// answered by --yes, asked on the terminal, or refused when stdin is not one.
class TConsoleServices : public TAppServices {
public:
  TConsoleServices(bool assumeYes, bool quiet, std::FILE* out = stdout, std::FILE* err = stderr);

  void AddMessage(const std::string& text) override;
  void ReplaceLastMessage(const std::string& text) override;
  void ClearMessages() override {}
  void AddError() override { ++Errors; }
  TAnswer AskYesNo(const std::string& title, const std::string& text) override;
  TAnswer AskYesNoCancel(const std::string& title, const std::string& text) override;
  void ShowInformation(const std::string& title, const std::string& text) override;
  void ShowWarning(const std::string& title, const std::string& text) override;

  // The task dialog as a progress bar on the error stream, drawn only when
  // that stream is a terminal and not quiet. The finished dialog's pause is
  // not waited for.
  void TaskShow(const std::string& deviceName, const std::string& rangeText) override;
  void TaskStatus(const std::string& text) override;
  void TaskProgressBounds(int minimum, int maximum) override;
  void TaskProgress(int position) override;
  void TaskHide() override;

  int ErrorCount() const { return Errors; }
  // Overrides the terminal test (tests draw into a file).
  void SetDrawProgress(bool draw) { DrawProgress = draw; }
  // One line of the bar: "[####      ]  40% status".
  static std::string ProgressLine(int minimum, int maximum, int position, const std::string& status,
                                  int width = 30);

private:
  void DrawBar();
  TAnswer Ask(const std::string& title, const std::string& text, bool withCancel);

  bool AssumeYes;
  bool Quiet;
  std::FILE* Out;
  std::FILE* Err;
  int Errors = 0;
  bool DrawProgress = false;
  bool BarShown = false;
  int Minimum = 0, Maximum = 0, Position = 0;
  std::string Status;
};

// The program's '\r' line breaks as the terminal's.
std::string ConsoleText(const std::string& text);
