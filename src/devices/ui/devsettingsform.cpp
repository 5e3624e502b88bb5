#include "devices/ui/devsettingsform.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/appservices.h"

namespace {

void CentreOn(QWidget& dialog, const QWidget* owner) {
  if (!owner) return;
  const QWidget* window = owner->window();
  dialog.move(window->frameGeometry().center() - dialog.rect().center());
}

} // namespace

TDeviceSettingsForm::TDeviceSettingsForm(QWidget* parent)
    : QDialog(parent), ValueList(new QTableWidget(0, 2, this)),
      Ok(new QPushButton(QStringLiteral("OK"), this)),
      Cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("DeviceSettingsForm"));
  setWindowTitle(QStringLiteral("Device Settings"));
  setModal(true);
  ValueList->setObjectName(QStringLiteral("ValueListEditor1"));
  ValueList->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Value")});
  ValueList->verticalHeader()->hide();
  ValueList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  ValueList->horizontalHeader()->setStretchLastSection(true);
  ValueList->setSelectionMode(QAbstractItemView::SingleSelection);
  ValueList->setEditTriggers(QAbstractItemView::AllEditTriggers);
  Ok->setObjectName(QStringLiteral("OKBtn"));
  Cancel->setObjectName(QStringLiteral("CancelBtn"));
  Ok->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Ok);
  buttons->addWidget(Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ValueList);
  layout->addLayout(buttons);
  connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(340, 240);
}

void TDeviceSettingsForm::LoadDevice(TDevInfo& device) {
  const std::vector<TSettingsRow>& rows = Settings.LoadDevice(device);
  ValueList->setRowCount(0);
  ValueList->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    auto* key = new QTableWidgetItem(QString::fromStdString(rows[static_cast<std::size_t>(r)].Key));
    key->setFlags(Qt::ItemIsEnabled); // keys are fixed
    ValueList->setItem(r, 0, key);
    ValueList->setItem(
        r, 1,
        new QTableWidgetItem(QString::fromStdString(rows[static_cast<std::size_t>(r)].Value)));
  }
  if (!rows.empty()) ValueList->setCurrentCell(0, 1);
}

bool TDeviceSettingsForm::StoreDevice() {
  // Moving the current cell commits a value still in its editor.
  const int current = ValueList->currentRow();
  ValueList->setCurrentIndex(QModelIndex());
  std::vector<TSettingsRow> rows;
  for (int r = 0; r < ValueList->rowCount(); ++r) {
    QTableWidgetItem* key = ValueList->item(r, 0);
    QTableWidgetItem* value = ValueList->item(r, 1);
    rows.push_back({key ? key->text().toStdString() : std::string(),
                    value ? value->text().toStdString() : std::string()});
  }
  if (Settings.StoreDevice(rows)) return true;
  // Put the user back on the row that was refused.
  const int bad = Settings.ErrorRow() >= 0 ? Settings.ErrorRow() : std::max(current, 0);
  if (bad < ValueList->rowCount()) ValueList->setCurrentCell(bad, 1);
  Services().ShowWarning("Device Settings", Settings.Error());
  return false;
}

int TDeviceSettingsForm::Run(TDevInfo& device) {
  LoadDevice(device);
  CentreOn(*this, parentWidget());
  return ExecHook ? ExecHook(*this) : exec();
}

void TDeviceSettingsForm::accept() {
  if (StoreDevice()) QDialog::accept();
}

void TDeviceSettingsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(*this, parentWidget());
  // Editing starts in the value column, as F2 on the list would start it.
  if (QTableWidgetItem* item = ValueList->currentItem()) ValueList->editItem(item);
}
