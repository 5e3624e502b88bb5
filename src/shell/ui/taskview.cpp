#include "shell/ui/taskview.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

TTaskView::TTaskView(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), DeviceLabel(new QLabel(this)),
      RangeLabel(new QLabel(this)), StatusLabel(new QLabel(this)), Progress(new QProgressBar(this)),
      CancelButton(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("TaskForm"));
  setWindowTitle(QStringLiteral("Task"));
  setModal(true);
  DeviceLabel->setObjectName(QStringLiteral("DeviceLabel"));
  RangeLabel->setObjectName(QStringLiteral("RangeLabel"));
  StatusLabel->setObjectName(QStringLiteral("StatusBar1"));
  Progress->setObjectName(QStringLiteral("ProgressBar1"));
  CancelButton->setObjectName(QStringLiteral("CancelBtn"));

  // Without a title bar the window needs its own edge.
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);

  auto* captions = new QGridLayout;
  captions->addWidget(new QLabel(QStringLiteral("Device:"), frame), 0, 0);
  captions->addWidget(DeviceLabel, 0, 1);
  captions->addWidget(new QLabel(QStringLiteral("Range:"), frame), 1, 0);
  captions->addWidget(RangeLabel, 1, 1);
  captions->setColumnStretch(1, 1);
  QFont bold = DeviceLabel->font();
  bold.setBold(true);
  DeviceLabel->setFont(bold);

  StatusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StatusLabel->setTextFormat(Qt::PlainText);
  StatusLabel->setMinimumHeight(StatusLabel->fontMetrics().height() + 6);

  Progress->setTextVisible(false);
  Progress->setFixedHeight(10);
  Progress->setRange(0, 100);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CancelButton);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(frame);
  layout->addLayout(captions);
  layout->addWidget(StatusLabel);
  layout->addWidget(Progress);
  layout->addLayout(buttons);
  CancelButton->setAutoDefault(false);
  connect(CancelButton, &QPushButton::clicked, this, [this] {
    if (OnCancel) OnCancel();
  });
  setFixedWidth(360);
}

void TTaskView::CentreOnOwner() {
  adjustSize();
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (owner && owner->isVisible()) move(owner->frameGeometry().center() - rect().center());
}

void TTaskView::ShowTask(const QString& deviceName, const QString& rangeText) {
  DeviceLabel->setText(deviceName);
  RangeLabel->setText(rangeText);
  StatusLabel->clear();
  Progress->setRange(0, 100);
  Progress->setValue(0);
  CentreOnOwner();
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

QString TTaskView::DeviceText() const {
  return DeviceLabel->text();
}

QString TTaskView::RangeText() const {
  return RangeLabel->text();
}

void TTaskView::reject() {
  if (OnCancel) OnCancel();
}
