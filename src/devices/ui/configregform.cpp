#include "devices/ui/configregform.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "devices/configreg.h"

TConfigRegForm::TConfigRegForm(QWidget* parent, TConfigReg* model)
    : QDialog(parent), Reg(model ? model : &ConfigReg()), ValueGrid(new QTableWidget(0, 2, this)),
      ReadBtn(new QPushButton(QStringLiteral("Read"), this)),
      ProgramBtn(new QPushButton(QStringLiteral("Program"), this)),
      CloseBtn(new QPushButton(QStringLiteral("Close"), this)) {
  setObjectName(QStringLiteral("ConfigRegForm"));
  setWindowTitle(QStringLiteral("Config Register"));
  setModal(true);
  ValueGrid->setObjectName(QStringLiteral("ValueListEditor1"));
  ValueGrid->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Value")});
  ValueGrid->verticalHeader()->hide();
  ValueGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  ValueGrid->horizontalHeader()->setStretchLastSection(true);
  ValueGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ValueGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  ReadBtn->setObjectName(QStringLiteral("ReadBtn"));
  ProgramBtn->setObjectName(QStringLiteral("ProgramBtn"));
  CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
  ProgramBtn->setAutoDefault(false);
  ReadBtn->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ReadBtn);
  buttons->addWidget(ProgramBtn);
  buttons->addStretch();
  buttons->addWidget(CloseBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ValueGrid);
  layout->addLayout(buttons);

  connect(ReadBtn, &QPushButton::clicked, this, [this] { ReadBtnClick(); });
  connect(ProgramBtn, &QPushButton::clicked, this, [this] { ProgramBtnClick(); });
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
  resize(420, 360);
}

TConfigRegForm::~TConfigRegForm() = default;

QComboBox* TConfigRegForm::ChoiceBox(int row) const {
  return qobject_cast<QComboBox*>(ValueGrid->cellWidget(row, 1));
}

void TConfigRegForm::SetButtonMode(bool programAsOk) {
  ProgramBtn->setText(programAsOk ? QStringLiteral("OK") : QStringLiteral("Program"));
  ReadBtn->setVisible(!programAsOk);
  CloseBtn->setText(programAsOk ? QStringLiteral("Cancel") : QStringLiteral("Close"));
  ProgramBtn->setDefault(programAsOk);
}

void TConfigRegForm::RefreshRows() {
  const std::vector<TConfigRow>& rows = Reg->Rows();
  Filling = true;
  if (ValueGrid->rowCount() != static_cast<int>(rows.size())) {
    ValueGrid->setRowCount(0);
    ValueGrid->setRowCount(static_cast<int>(rows.size()));
  }
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const TConfigRow& row = rows[static_cast<std::size_t>(r)];
    QTableWidgetItem* key = ValueGrid->item(r, 0);
    if (!key) {
      key = new QTableWidgetItem;
      key->setFlags(Qt::ItemIsEnabled); // keys are read-only
      ValueGrid->setItem(r, 0, key);
    }
    key->setText(QString::fromStdString(row.Key));
    QComboBox* box = ChoiceBox(r);
    if (!box) {
      box = new QComboBox;
      connect(box, &QComboBox::currentIndexChanged, this, [this, r](int index) {
        if (Filling) return;
        auto& rows = Reg->Rows();
        if (r < static_cast<int>(rows.size())) rows[static_cast<std::size_t>(r)].Index = index;
      });
      ValueGrid->setCellWidget(r, 1, box);
    }
    QStringList choices;
    for (const std::string& c : row.Choices)
      choices << QString::fromStdString(c);
    box->clear();
    box->addItems(choices);
    box->setCurrentIndex(row.Index); // -1 leaves the box empty
  }
  Filling = false;
}

int TConfigRegForm::ShowLayout(int layout, std::function<void()> programHandler,
                               std::function<void()> readHandler) {
  if (!Reg->SelectLayout(layout)) return TConfigReg::mrCancel;
  ReadHandler = std::move(readHandler);
  ProgramHandler = std::move(programHandler);
  ReadBtn->setEnabled(static_cast<bool>(ReadHandler));
  ProgramBtn->setEnabled(static_cast<bool>(ProgramHandler));
  SetButtonMode(Reg->ProgramAsOk);
  ValueGrid->setRowCount(0); // a new layout gets fresh rows
  Reg->ShowImage();
  RefreshRows();
  setWindowTitle(QString::fromStdString(Reg->Current()->Title));
  // While shown, a read task's ShowImage redraws the rows.
  Reg->OnRowsChanged = [this] { RefreshRows(); };
  const int result = ExecHook ? ExecHook(*this) : exec();
  Reg->OnRowsChanged = nullptr;
  ReadHandler = nullptr;
  ProgramHandler = nullptr;
  return result == QDialog::Accepted ? TConfigReg::mrOk : TConfigReg::mrCancel;
}

void TConfigRegForm::ProgramBtnClick() {
  // The handler programs or stores the image: it gets the choices on screen.
  Reg->ApplyChoices();
  if (ProgramHandler) {
    auto handler = ProgramHandler; // the handler may show this dialog again
    handler();
  }
  if (Reg->ProgramAsOk) done(QDialog::Accepted);
}

void TConfigRegForm::ReadBtnClick() {
  if (ReadHandler) {
    auto handler = ReadHandler;
    handler();
  }
}

void TConfigRegForm::done(int result) {
  Reg->ApplyChoices();
  QDialog::done(result);
}
