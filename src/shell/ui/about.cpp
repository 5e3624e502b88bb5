#include "shell/ui/about.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "shell/aboutlist.h"
#include "shell/appversion.h"

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent), Version(new QLabel), ListBox1(new QListWidget), Memo1(new QTextEdit) {
  setWindowTitle("About");
  setModal(true);
  auto* product = new QLabel("Korvane Device Programmer");
  QFont big = product->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  product->setFont(big);
  Version->setText(QString::fromStdString(AboutVersionText(ProgramVersion)));
  auto* mail = new QLabel(QString("<a href=\"mailto:%1\">%1</a>").arg(SupportMail));
  auto* web = new QLabel(QString("<a href=\"%1\">%1</a>").arg(WebSite));
  for (QLabel* link : {mail, web}) {
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true); // the mail client or the browser
  }
  Memo1->setReadOnly(true);
  Memo1->setMaximumHeight(90);
  connect(ListBox1, &QListWidget::currentTextChanged, this, [this](const QString& name) {
    Memo1->setPlainText(QString::fromStdString(AboutComponents().Description(name.toStdString())));
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(product);
  layout->addWidget(Version);
  layout->addWidget(mail);
  layout->addWidget(web);
  layout->addWidget(new QLabel("Components:"));
  layout->addWidget(ListBox1);
  layout->addWidget(Memo1);
  layout->addWidget(buttons);
  resize(380, 360);
}

void TAboutBox::Prepare() {
  ListBox1->blockSignals(true);
  ListBox1->clear();
  for (const auto& name : AboutComponents().Names())
    ListBox1->addItem(QString::fromStdString(name));
  ListBox1->setCurrentRow(-1);
  ListBox1->blockSignals(false);
  Memo1->clear();
}

int TAboutBox::Execute() {
  Prepare();
  return exec();
}
