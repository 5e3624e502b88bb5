#pragma once

#include <QDialog>
#include <functional>

#include "shell/checkforupdate.h"

class QNetworkAccessManager;
class QTextEdit;

// The "Check For Update" window: fetches the update file, shows the check's
// lines, and offers the new version's download page.
class TCheckForUpdateForm : public QDialog {
  Q_OBJECT
public:
  explicit TCheckForUpdateForm(QWidget* parent = nullptr);

  // The running program's description; Url is the update file's address.
  TFileInfo& Program() { return Info; }
  // Runs the check; true when the versions were compared.
  bool Execute();

  // GET of one address: true and the body, or false. Replaceable in tests;
  // the default uses the network and waits for the reply.
  std::function<bool(const QString& url, QByteArray& body)> Fetch;
  // Asks before anything is opened; replaceable in tests.
  std::function<bool(const QString& url)> ConfirmOpen;
  // Opens the download page; replaceable in tests.
  std::function<bool(const QString& url)> OpenUrl;

  QStringList Lines() const;
  QTextEdit* Memo() const { return Memo1; }

private:
  bool NetworkGet(const QString& url, QByteArray& body);
  void ShowLines(const TUpdateCheck& check);
  TFileInfo Info;
  QTextEdit* Memo1;
  QNetworkAccessManager* Network = nullptr;
};

// The running program's description for the update check: our version, the
// program file's date in the short date format, and the given address.
TFileInfo RunningProgramInfo(const QString& programPath, const std::string& updateUrl);
