#include "shell/ui/taskview.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TTaskView::TTaskView(QWidget* parent)
    : QDialog(parent), DeviceLabel(new QLabel(this)), RangeLabel(new QLabel(this)),
      StatusLabel(new QLabel(this)), Progress(new QProgressBar(this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("TaskForm"));
  setWindowTitle(QStringLiteral("Task"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  for (QWidget* w : {static_cast<QWidget*>(DeviceLabel), static_cast<QWidget*>(RangeLabel),
                     static_cast<QWidget*>(StatusLabel), static_cast<QWidget*>(Progress)})
    layout->addWidget(w);
  layout->addWidget(CancelButton, 0, Qt::AlignRight);
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    if (OnCancel) OnCancel();
  });
  setMinimumWidth(360);
}

void TTaskView::ShowTask(const QString& deviceName, const QString& rangeText) {
  DeviceLabel->setText(deviceName);
  RangeLabel->setText(rangeText);
  StatusLabel->clear();
  Progress->setRange(0, 100);
  Progress->setValue(0);
  show();
  raise();
}

void TTaskView::SetStatus(const QString& text) {
  StatusLabel->setText(text);
}

void TTaskView::SetBounds(int minimum, int maximum) {
  // An empty range would make the bar a busy indicator.
  Progress->setRange(minimum, std::max(minimum + 1, maximum));
}

void TTaskView::SetPosition(int position) {
  Progress->setValue(std::clamp(position, Progress->minimum(), Progress->maximum()));
}

void TTaskView::HideTask() {
  hide();
}

QString TTaskView::StatusText() const {
  return StatusLabel->text();
}

int TTaskView::Position() const {
  return Progress->value();
}

void TTaskView::reject() {
  if (OnCancel) OnCancel();
}
