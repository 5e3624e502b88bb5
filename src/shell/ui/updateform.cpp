#include "shell/ui/updateform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/appversion.h"

TCheckForUpdateForm::TCheckForUpdateForm(QWidget* parent) : QDialog(parent), Memo1(new QTextEdit) {
  setWindowTitle("Check For Update");
  Memo1->setReadOnly(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1);
  resize(420, 220);
  Fetch = [this](const QString& url, QByteArray& body) { return NetworkGet(url, body); };
  ConfirmOpen = [this](const QString& url) {
    return QMessageBox::question(this, "Check For Update",
                                 "Open the download page in the browser?\n" + url,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  OpenUrl = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
}

bool TCheckForUpdateForm::NetworkGet(const QString& url, QByteArray& body) {
  if (!Network) Network = new QNetworkAccessManager(this);
  QNetworkRequest request{QUrl(url)};
  request.setRawHeader("Accept", "text/html, */*");
  // Redirects only to web addresses, never from https down to http.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setTransferTimeout(30000);
  QNetworkReply* reply = Network->get(request);
  QEventLoop loop;
  connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  bool ok = reply->error() == QNetworkReply::NoError;
  if (ok) body = reply->readAll();
  reply->deleteLater();
  return ok;
}

void TCheckForUpdateForm::ShowLines(const TUpdateCheck& check) {
  QStringList lines;
  for (const auto& line : check.Lines())
    lines << QString::fromStdString(line);
  Memo1->setPlainText(lines.join('\n'));
}

QStringList TCheckForUpdateForm::Lines() const {
  QString text = Memo1->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

bool TCheckForUpdateForm::Execute() {
  if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
  show();
  TUpdateCheck check(Info);
  bool started = check.Start();
  ShowLines(check);
  QApplication::processEvents();
  if (!started) return false;

  QByteArray body;
  bool fetched = Fetch(QString::fromStdString(Info.Url), body);
  auto outcome = check.Finish(fetched, body.toStdString());
  ShowLines(check);
  raise();
  activateWindow();
  if (outcome == TUpdateCheck::ucNewVersion) {
    // Only a web address is handed to the browser, and only when the user agrees.
    QString url = QString::fromStdString(check.NewVersion().Url);
    if (IsWebAddress(check.NewVersion().Url) && ConfirmOpen(url)) OpenUrl(url);
  }
  return outcome == TUpdateCheck::ucNewVersion || outcome == TUpdateCheck::ucUpToDate;
}

TFileInfo RunningProgramInfo(const QString& programPath, const std::string& updateUrl) {
  TFileInfo info;
  info.Key = "kvsp";
  info.Version = ProgramVersion;
  QFileInfo file(programPath);
  if (file.exists())
    info.Date = QLocale().toString(file.lastModified().date(), QLocale::ShortFormat).toStdString();
  info.Url = updateUrl;
  return info;
}
