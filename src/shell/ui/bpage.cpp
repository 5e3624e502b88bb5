#include "shell/ui/bpage.h"

#include "shell/actionbinder.h"
#include "shell/ui/mainwin.h"

TBasePage::TBasePage(TMainForm& mainForm, TPageKind kind, QWidget* parent)
    : QWidget(parent), MainForm(mainForm), PageKind(kind) {}

TBasePage::~TBasePage() = default;

TBasePage* TBasePage::Activate() {
  ConnectActions();
  return this;
}

void TBasePage::DisconnectActions() {
  MainForm.DisconnectPageActions();
}

void TBasePage::SetCaption(const QString& caption) {
  PageCaption = caption;
  MainForm.SetPageCaption(this, caption);
}

TActionBinder& TBasePage::Actions() {
  return MainForm.Actions();
}

bool TBasePage::AskSaveChanges(const std::string& name, const std::function<bool()>& save) {
  switch (MainForm.AskYesNoCancel("Warning", "Save changes to " + name + "?")) {
  case TAnswer::Yes:
    return save();
  case TAnswer::No:
    return true;
  case TAnswer::Cancel:
    break;
  }
  return false;
}
