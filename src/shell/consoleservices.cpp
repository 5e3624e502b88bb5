#include "shell/consoleservices.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <string>
#include <unistd.h>

std::string ConsoleText(const std::string& text) {
  std::string s = text;
  for (auto& c : s)
    if (c == '\r') c = '\n';
  return s;
}

TConsoleServices::TConsoleServices(bool assumeYes, bool quiet, std::FILE* out, std::FILE* err)
    : AssumeYes(assumeYes), Quiet(quiet), Out(out), Err(err) {
  DrawProgress = !Quiet && Err && isatty(fileno(Err));
}

std::string TConsoleServices::ProgressLine(int minimum, int maximum, int position,
                                           const std::string& status, int width) {
  long long span = static_cast<long long>(maximum) - minimum;
  long long done = static_cast<long long>(position) - minimum;
  if (span <= 0) span = 1, done = 0; // no range: nothing to show
  if (done < 0) done = 0;
  if (done > span) done = span;
  const int percent = static_cast<int>(done * 100 / span);
  const int filled = static_cast<int>(done * width / span);
  std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(width - filled), ' ') + "] ";
  std::string pct = std::to_string(percent);
  line += std::string(3 - std::min<std::size_t>(3, pct.size()), ' ') + pct + "%" + status;
  return line;
}

void TConsoleServices::DrawBar() {
  if (!DrawProgress) return;
  std::fprintf(Err, "\r%s\x1b[K", ProgressLine(Minimum, Maximum, Position, Status).c_str());
  std::fflush(Err);
  BarShown = true;
}

void TConsoleServices::TaskShow(const std::string&, const std::string&) {
  Minimum = Maximum = Position = 0;
  Status.clear();
}

void TConsoleServices::TaskStatus(const std::string& text) {
  Status = text;
  DrawBar();
}

void TConsoleServices::TaskProgressBounds(int minimum, int maximum) {
  Minimum = minimum;
  Maximum = maximum;
}

void TConsoleServices::TaskProgress(int position) {
  Position = position;
  DrawBar();
}

void TConsoleServices::TaskHide() {
  if (!BarShown) return;
  std::fprintf(Err, "\r\x1b[K");
  std::fflush(Err);
  BarShown = false;
}

void TConsoleServices::AddMessage(const std::string& text) {
  if (BarShown) {
    std::fprintf(Err, "\r\x1b[K");
    std::fflush(Err);
  }
  std::fprintf(Out, "%s\n", text.c_str());
  std::fflush(Out);
}

// A terminal cannot take a printed line back; the replacement is printed as a new line.
void TConsoleServices::ReplaceLastMessage(const std::string& text) {
  AddMessage(text);
}

void TConsoleServices::ShowInformation(const std::string& title, const std::string& text) {
  std::fprintf(Err, "%s: %s\n", title.c_str(), ConsoleText(text).c_str());
}

void TConsoleServices::ShowWarning(const std::string& title, const std::string& text) {
  std::fprintf(Err, "%s: %s\n", title.c_str(), ConsoleText(text).c_str());
}

TAnswer TConsoleServices::AskYesNo(const std::string& title, const std::string& text) {
  return Ask(title, text, false);
}

TAnswer TConsoleServices::AskYesNoCancel(const std::string& title, const std::string& text) {
  return Ask(title, text, true);
}

TAnswer TConsoleServices::Ask(const std::string& title, const std::string& text, bool withCancel) {
  const TAnswer refused = withCancel ? TAnswer::Cancel : TAnswer::No;
  if (AssumeYes) return TAnswer::Yes;
  if (!isatty(STDIN_FILENO)) {
    std::fprintf(Err, "%s: %s\n(refused: standard input is not a terminal; use --yes)\n",
                 title.c_str(), ConsoleText(text).c_str());
    return refused;
  }
  std::fprintf(Err, "%s: %s [y/n%s] ", title.c_str(), ConsoleText(text).c_str(),
               withCancel ? "/c" : "");
  std::fflush(Err);
  std::string line;
  if (!std::getline(std::cin, line) || line.empty()) return refused;
  switch (std::tolower(static_cast<unsigned char>(line[0]))) {
  case 'y':
    return TAnswer::Yes;
  case 'n':
    return TAnswer::No;
  default:
    return refused;
  }
}
