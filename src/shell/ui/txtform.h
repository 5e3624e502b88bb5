#pragma once

#include <QString>
#include <functional>

#include "shell/ui/bpage.h"

class QTextEdit;
class QStatusBar;

// A page editing plain or rich text; it always saves as RTF.
class TTextPage : public TBasePage {
  Q_OBJECT
public:
  explicit TTextPage(TMainForm& mainForm, QWidget* parent = nullptr);

  TBasePage* Activate() override;
  bool OpenFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  void ConnectActions() override;
  bool CloseQuery() override;
  std::string GetFileName() override;

  // Save: a page never saved goes through Save As. False when nothing was saved.
  bool Save();
  bool SaveAs();
  void ChooseFont();

  QTextEdit* Editor() const { return RichEdit1; }
  const std::string& FileName() const { return Path; }
  bool Modified() const;

private:
  void UpdateTitle();
  QTextEdit* RichEdit1;
  QStatusBar* StatusBar1;
  std::string Path;
};
