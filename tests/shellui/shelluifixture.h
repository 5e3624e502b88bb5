#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <memory>
#include <string>
#include <vector>

#include "shell/actionbinder.h"
#include "shell/ui/bpage.h"
#include "shell/ui/mainwin.h"

// One application object for every widget test of the binary.
QApplication& TestApp();

// A page that binds the actions of its kind and records what the window asks.
class TFakePage : public TBasePage {
public:
  TFakePage(TMainForm& form, TPageKind kind) : TBasePage(form, kind) {}

  bool OpenFile(const std::string& path) override {
    Opened.push_back(path);
    if (path.find("broken") != std::string::npos) return false;
    FileName = path.empty() ? MainForm.NewPageName() : path;
    SetCaption(QString::fromStdString(FileName));
    return true;
  }
  bool SaveFile(const std::string&) override { return true; }
  void ConnectActions() override;
  bool CloseQuery() override {
    ++CloseQueries;
    return AllowClose;
  }
  std::string GetFileName() override { return FileName; }

  std::string FileName;
  std::vector<std::string> Opened;
  bool AllowClose = true;
  int CloseQueries = 0;
  int Runs = 0; // handler calls of its bound actions
};

// The names each fake kind binds, as the real pages do.
const std::vector<std::string>& BoundBy(TPageKind kind);

class TMainFormTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Registers fake pages for the given kinds.
  void RegisterFakes(std::initializer_list<TPageKind> kinds);
  TFakePage* Active() const { return static_cast<TFakePage*>(Form->GetActivePage()); }
  // Saves the window under the screenshot folder.
  void Screenshot(QWidget* widget, const std::string& name);
  std::string Title() const { return Form->windowTitle().toStdString(); }

  std::unique_ptr<TMainForm> Form;
  std::vector<std::string> ErrorBoxes; // "caption|text"
  std::vector<std::string> Opened;     // what the desktop was asked to open
};
