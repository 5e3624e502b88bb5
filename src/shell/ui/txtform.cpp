#include "shell/ui/txtform.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QSaveFile>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTextEdit>
#include <QVBoxLayout>

#include "shell/rtfreader.h"
#include "shell/rtfwriter.h"
#include "shell/ui/mainwin.h"
#include "shell/ui/richconvert.h"

namespace {
const char* const SaveFilter = "Text files (*.txt)|*.txt|Rich Text Format files (*.rtf)|*.rtf";

} // namespace

TTextPage::TTextPage(TMainForm& mainForm, QWidget* parent)
    : TBasePage(mainForm, TPageKind::Text, parent), RichEdit1(new QTextEdit(this)),
      StatusBar1(new QStatusBar(this)) {
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->setAcceptRichText(true);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(RichEdit1);
  layout->addWidget(StatusBar1);
  connect(RichEdit1->document(), &QTextDocument::modificationChanged, this,
          [this](bool) { UpdateTitle(); });
}

bool TTextPage::Modified() const {
  return RichEdit1->document()->isModified();
}

void TTextPage::UpdateTitle() {
  if (MainForm.GetActivePage() == this) MainForm.SetDocumentTitle(Path, Modified());
}

TBasePage* TTextPage::Activate() {
  ConnectActions();
  MainForm.SetDocumentTitle(Path, Modified());
  RichEdit1->setFocus();
  return this;
}

bool TTextPage::OpenFile(const std::string& path) {
  if (path.empty()) {
    Path = MainForm.NewPageName();
    NeverSaved = true;
    RichEdit1->clear();
  } else {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
      // No empty page under the file's name: a later Save would overwrite it.
      MainForm.ShowWarning("Error",
                           "Cannot read " + path + ": " + file.errorString().toStdString());
      return false;
    }
    QByteArray bytes = file.readAll();
    std::string content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (TRtfReader::LooksLikeRtf(content)) {
      DocumentFromRich(TRtfReader::Read(content), *RichEdit1->document());
    } else {
      QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
      QString text = utf8(bytes);
      if (utf8.hasError()) text = QString::fromLatin1(bytes); // an older 8-bit text file
      RichEdit1->setPlainText(text);
    }
    Path = path;
    NeverSaved = false;
  }
  RichEdit1->document()->setModified(false);
  UpdateTitle();
  SetCaption(QString::fromStdString(GetFileName()));
  return true;
}

bool TTextPage::SaveFile(const std::string& path) {
  if (!path.empty()) {
    if (QFileInfo::exists(QString::fromStdString(path)) &&
        MainForm.AskYesNo("Warning", "File Exists. Overwrite?") != TAnswer::Yes)
      return false;
  }
  const std::string target = path.empty() ? Path : path;
  std::string rtf = TRtfWriter::Write(RichFromDocument(*RichEdit1->document()));
  // Written whole or not at all: a failed save leaves the old file as it was.
  QSaveFile file(QString::fromStdString(target));
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(rtf.data(), static_cast<qint64>(rtf.size())) != static_cast<qint64>(rtf.size()) ||
      !file.commit()) {
    MainForm.ShowWarning("Error",
                         "Cannot save " + target + ": " + file.errorString().toStdString());
    return false;
  }
  Path = target;
  NeverSaved = false;
  SetCaption(QString::fromStdString(GetFileName()));
  RichEdit1->document()->setModified(false);
  UpdateTitle();
  return true;
}

bool TTextPage::Save() {
  return NeverSaved ? SaveAs() : SaveFile("");
}

bool TTextPage::SaveAs() {
  return SaveAsDialog(Path, SaveFilter, "txt");
}

void TTextPage::ChooseFont() {
  bool ok = false;
  QFont font = QFontDialog::getFont(&ok, RichEdit1->currentFont(), this, "Font");
  if (!ok) return;
  QTextCursor cursor = RichEdit1->textCursor();
  if (cursor.hasSelection()) {
    QTextCharFormat format;
    format.setFont(font);
    cursor.mergeCharFormat(format);
  } else {
    RichEdit1->document()->setDefaultFont(font);
    RichEdit1->setCurrentFont(font);
  }
}

void TTextPage::ConnectActions() {
  auto& a = Actions();
  a["CloseAction"].SetEnabled(true);
  a["SaveAction"].Bind([this](void*) { Save(); });
  a["SaveAsAction"].Bind([this](void*) { SaveAs(); });
  a["ChangeFontAction"].Bind([this](void*) { ChooseFont(); });
}

bool TTextPage::CloseQuery() {
  return !Modified() || AskSaveChanges(Path, [this] { return Save(); });
}

std::string TTextPage::GetFileName() {
  std::string name = QFileInfo(QString::fromStdString(Path)).fileName().toStdString();
  return name.substr(0, name.find('.'));
}
