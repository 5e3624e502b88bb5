#include "editor/ui/compareform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/compbinfiles.h"
#include "editor/xhexedit.h"
#include "families/framedpage.h"
#include "shell/ui/bpage.h"
#include "shell/ui/mainwin.h"

namespace {

// The programmer side of a page, when it has a buffer to compare.
TFramedPage* FramedPageOf(TMainForm& form, TBasePage* page) {
  if (!page || !form.DevicePageOf) return nullptr;
  auto* framed = dynamic_cast<TFramedPage*>(form.DevicePageOf(page));
  return framed && framed->XHexEdit1 ? framed : nullptr;
}

QGroupBox* FileGroup(const QString& title, QComboBox*& list, QCheckBox*& colour, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  list = new QComboBox(group);
  list->setMinimumWidth(280);
  colour = new QCheckBox(QStringLiteral("Color Differences"), group);
  colour->setChecked(true);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(list);
  layout->addWidget(colour);
  return group;
}

} // namespace

TCompareForm::TCompareForm(TMainForm& form, QWidget* parent) : QDialog(parent), MainForm(form) {
  setObjectName(QStringLiteral("CompareForm"));
  setWindowTitle(QStringLiteral("Compare"));
  setModal(true);

  auto* group1 = FileGroup(QStringLiteral(" File1 "), File1Box, Color1Box, this);
  auto* group2 = FileGroup(QStringLiteral(" File 2 "), File2Box, Color2Box, this);
  File1Box->setObjectName(QStringLiteral("File1Box"));
  File2Box->setObjectName(QStringLiteral("File2Box"));
  Color1Box->setObjectName(QStringLiteral("Color1Box"));
  Color2Box->setObjectName(QStringLiteral("Color2Box"));
  ShowDiffBox = new QCheckBox(QStringLiteral("Show Differences in Messages"), this);
  ShowDiffBox->setObjectName(QStringLiteral("ShowDiffBox"));
  ShowDiffBox->setChecked(true);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setTextVisible(false);
  CompareBtn = new QPushButton(QStringLiteral("Compare"), this);
  CompareBtn->setObjectName(QStringLiteral("CompareBtn"));
  CompareBtn->setDefault(true);
  AbortBtn = new QPushButton(QStringLiteral("Abort"), this);
  AbortBtn->setObjectName(QStringLiteral("AbortBtn"));
  AbortBtn->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CompareBtn);
  buttons->addWidget(AbortBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group1);
  layout->addWidget(group2);
  layout->addWidget(ShowDiffBox);
  layout->addWidget(ProgressBar);
  layout->addLayout(buttons);

  connect(CompareBtn, &QPushButton::clicked, this, &TCompareForm::CompareClick);
  connect(AbortBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TCompareForm::FillList(QComboBox* box) {
  box->clear();
  for (TBasePage* page : MainForm.PagesOfKind(TPageKind::Programmer)) {
    if (TFramedPage* framed = FramedPageOf(MainForm, page))
      box->addItem(QString::fromStdString(framed->XHexEdit1->FileName()),
                   QVariant::fromValue(static_cast<QObject*>(page)));
  }
  box->setCurrentIndex(-1);
}

TBasePage* TCompareForm::SelectedPage(QComboBox* box) const {
  if (box->currentIndex() < 0) return nullptr;
  return qobject_cast<TBasePage*>(box->currentData().value<QObject*>());
}

bool TCompareForm::Run() {
  FillList(File1Box);
  if (File1Box->count() == 0) return false;
  File1Box->setCurrentIndex(
      File1Box->findData(QVariant::fromValue(static_cast<QObject*>(MainForm.GetActivePage()))));
  FillList(File2Box);
  ProgressBar->reset();
  LastDifferences = -1;
  if (ExecHook)
    ExecHook(*this);
  else
    exec();
  return true;
}

void TCompareForm::CompareClick() {
  TFramedPage* first = FramedPageOf(MainForm, SelectedPage(File1Box));
  TFramedPage* second = FramedPageOf(MainForm, SelectedPage(File2Box));
  if (!first || !second) return;
  const int32_t n = std::min(first->XHexEdit1->DataSize(), second->XHexEdit1->DataSize());
  ProgressBar->setRange(0, std::max(n - 1, 0));
  ProgressBar->setValue(0);
  LastDifferences = CompareBuffers(
      {first->XHexEdit1, Color1Box->isChecked() ? &first->ModifiedList : nullptr},
      {second->XHexEdit1, Color2Box->isChecked() ? &second->ModifiedList : nullptr},
      ShowDiffBox->isChecked(), [this](int32_t position) { ProgressBar->setValue(position); });
  accept();
}
