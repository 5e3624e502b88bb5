#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devices/devlist.h"
#include "editor/ui/xform.h"
#include "gui/guisession.h"
#include "shell/ui/mainwin.h"

class QWidget;

// kvprog's main window as the tests drive it: the finished task dialog does
// not hold for its 1.5 s, everything else is the program's own.
class TTestMainForm : public TMainForm {
public:
  void TaskHold(int ms) override { Holds.push_back(ms); }
  std::vector<int> Holds;
};

// The GUI program over the virtual module: main window, page kinds, the
// virtual socket following the selected device, answers from a script.
class TProgrammerPageTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  THepPage* NewPage();
  // Clicks the entry of the group panel's list, as the user does.
  void ChooseInGroupList(THepPage* page, const QString& name);
  // A new page with the device chosen from the list of all devices.
  THepPage* PageWith(const QString& device);
  // Types into a widget key by key (it has the focus first).
  static void Type(QWidget* widget, const QString& text);
  static void PressKey(QWidget* widget, int key);
  void ClickFrameButton(THepPage* page, const QString& caption);
  QStringList Lines() const;
  std::vector<std::uint8_t> PartContents() const;
  void LoadPart(const std::vector<std::uint8_t>& image);
  static void Pump();

  std::unique_ptr<TDeviceList> Registry;
  std::unique_ptr<TTestMainForm> Form;
  std::unique_ptr<TServicesScope> Scope;
  std::unique_ptr<TGuiSession> Session;
  std::deque<TAnswer> Answers;    // the user's next answers (No when none is left)
  std::vector<std::string> Asked; // "title|text" of every question and box
  int Beeps = 0;
  std::filesystem::path Dir; // this test's own folder, removed afterwards
  std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
  static void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
};
