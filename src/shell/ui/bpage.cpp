#include "shell/ui/bpage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "shell/actionbinder.h"
#include "shell/ui/mainwin.h"

namespace {

// "Name (*.a, *.b)|*.a;*.b|..." as the file dialog wants it: "Name (*.a *.b);;...".
QString DialogFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList names;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const int open = name.indexOf(QLatin1Char('('));
    if (open >= 0) name = name.left(open).trimmed();
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    names << name + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return names.join(QStringLiteral(";;"));
}

} // namespace

TBasePage::TBasePage(TMainForm& mainForm, TPageKind kind, QWidget* parent)
    : QWidget(parent), MainForm(mainForm), PageKind(kind) {
  AskSaveName = [this](const QString& name, const QString& filter, const QString& suffix) {
    QFileDialog dialog(this, QStringLiteral("Save As"), name, DialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The page's save asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
  };
}

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

bool TBasePage::SaveAsDialog(const std::string& name, const char* filter,
                             const char* defaultSuffix) {
  const QString start = QString::fromStdString(name);
  const QString suffix =
      QFileInfo(start).suffix().isEmpty() ? QString::fromLatin1(defaultSuffix) : QString();
  const QString chosen = AskSaveName(start, QString::fromLatin1(filter), suffix);
  if (chosen.isEmpty() || !SaveFile(chosen.toStdString())) return false;
  MainForm.RecentFiles().Add(chosen.toStdString());
  return true;
}
