#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "shell/appservices.h"

// Test services: keeps every message line and box, counts errors, and answers
// questions from a script (No once the script runs out).
class TRecorderServices : public TAppServices {
public:
  std::vector<std::string> Lines;
  std::vector<std::string> Boxes; // "title|text" of every box and question
  std::deque<TAnswer> Answers;
  int Errors = 0;

  void AddMessage(const std::string& text) override { Lines.push_back(text); }
  void ReplaceLastMessage(const std::string& text) override {
    if (Lines.empty())
      Lines.push_back(text);
    else
      Lines.back() = text;
  }
  void ClearMessages() override { Lines.clear(); }
  void AddError() override { ++Errors; }
  TAnswer AskYesNo(const std::string& title, const std::string& text) override {
    return Next(title, text);
  }
  TAnswer AskYesNoCancel(const std::string& title, const std::string& text) override {
    return Next(title, text);
  }
  void ShowInformation(const std::string& title, const std::string& text) override {
    Boxes.push_back(title + "|" + text);
  }
  void ShowWarning(const std::string& title, const std::string& text) override {
    Boxes.push_back(title + "|" + text);
  }

  // The task dialog: every status line and progress position it was given,
  // shown and hidden counts, and a virtual clock that sleeps and holds advance.
  std::vector<std::string> StatusLines;
  std::vector<int> Positions;
  std::string TaskDevice, TaskRange;
  int TaskShown = 0, TaskHidden = 0, MainToFront = 0, Pumps = 0;
  std::uint64_t Clock = 0;
  std::vector<int> Holds;

  void ProcessMessages() override {
    ++Pumps;
    if (OnPump) OnPump();
  }
  std::function<void()> OnPump; // e.g. presses Cancel
  void TaskShow(const std::string& device, const std::string& range) override {
    ++TaskShown;
    TaskDevice = device;
    TaskRange = range;
  }
  void TaskStatus(const std::string& text) override { StatusLines.push_back(text); }
  void TaskProgress(int position) override { Positions.push_back(position); }
  void TaskHide() override { ++TaskHidden; }
  void TaskHold(int ms) override {
    Holds.push_back(ms);
    Clock += static_cast<std::uint64_t>(ms);
  }
  void Sleep(int ms) override { Clock += static_cast<std::uint64_t>(ms > 0 ? ms : 0); }
  std::uint64_t NowMs() override { return Clock; }
  void BringMainWindowToFront() override { ++MainToFront; }
  TDevicePage* ActivePage = nullptr;
  TDevicePage* GetActiveProgrammerPage() override { return ActivePage; }

  void Reset() {
    Lines.clear();
    Boxes.clear();
    Answers.clear();
    Errors = 0;
    StatusLines.clear();
    Positions.clear();
    Holds.clear();
    TaskShown = TaskHidden = MainToFront = Pumps = 0;
  }

private:
  TAnswer Next(const std::string& title, const std::string& text) {
    Boxes.push_back(title + "|" + text);
    if (Answers.empty()) return TAnswer::No;
    TAnswer a = Answers.front();
    Answers.pop_front();
    return a;
  }
};
