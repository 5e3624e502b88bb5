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
