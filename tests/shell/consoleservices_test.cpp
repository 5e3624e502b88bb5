#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "shell/consoleservices.h"

namespace {

TEST(ConsoleProgress, LineShowsTheShareOfTheRange) {
  struct Case {
    int Min, Max, Pos;
    const char* Line;
  } cases[] = {
      {0, 100, 0, "[          ]   0% s"},   {0, 100, 50, "[#####     ]  50% s"},
      {0, 100, 100, "[##########] 100% s"}, {0, 100, 250, "[##########] 100% s"},
      {16, 32, 8, "[          ]   0% s"},   {0, 0, 0, "[          ]   0% s"},
      {5, 5, 5, "[          ]   0% s"},     {0, 4015, 4014, "[######### ]  99% s"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TConsoleServices::ProgressLine(c.Min, c.Max, c.Pos, " s", 10), c.Line)
        << c.Min << ".." << c.Max << " @" << c.Pos;
}

std::string Contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string s;
  for (int ch; (ch = std::fgetc(f)) != EOF;)
    s.push_back(static_cast<char>(ch));
  return s;
}

TEST(ConsoleProgress, BarGoesToTheErrorStreamAndLinesToTheOutput) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  {
    TConsoleServices console(true, false, out, err);
    console.SetDrawProgress(true);
    console.TaskShow("24C02", "0 - FF");
    console.TaskProgressBounds(0, 255);
    console.TaskStatus(" Reading...");
    console.AddMessage("Reading: Success");
    console.TaskHide();
    console.TaskHold(1500); // returns at once
    EXPECT_EQ(console.AskYesNo("Confirm", "Program?"), TAnswer::Yes);
  }
  EXPECT_EQ(Contents(out), "Reading: Success\n");
  const std::string e = Contents(err);
  EXPECT_NE(e.find("   0% Reading..."), std::string::npos);
  EXPECT_EQ(e.find("Reading: Success"), std::string::npos);
  std::fclose(out);
  std::fclose(err);
}

TEST(ConsoleProgress, QuietOrNotATerminalDrawsNothing) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  {
    TConsoleServices console(false, true, out, err); // a file is not a terminal either
    console.TaskStatus(" Reading...");
    console.TaskProgress(10);
    console.TaskHide();
  }
  EXPECT_EQ(Contents(err), "");
  std::fclose(out);
  std::fclose(err);
}

} // namespace
