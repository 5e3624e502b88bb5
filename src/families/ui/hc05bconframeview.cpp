#include "families/ui/hc05bconframeview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/appservices.h"

QColor PinColourOf(TPinColour colour) {
  switch (colour) {
  case TPinColour::Green:
    return QColor(0, 128, 0);
  case TPinColour::Red:
    return QColor(255, 0, 0);
  case TPinColour::Black:
    break;
  }
  return QColor(0, 0, 0);
}

THC05BConFrameView::THC05BConFrameView(THC05BConFrame1& model, QWidget* parent)
    : QWidget(parent), Frame(model) {
  setObjectName(QString::fromStdString(model.Name));
  auto* column = new QVBoxLayout(this);

  auto* pins = new QGridLayout;
  for (int i = 0; i < 9; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("PinLabel%1").arg(i + 1));
    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("PinValue%1").arg(i + 1));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    pins->addWidget(label, i, 0);
    pins->addWidget(box, i, 1);
    RowLabels[static_cast<std::size_t>(i)] = label;
    ValueBoxes[static_cast<std::size_t>(i)] = box;
  }
  column->addLayout(pins);

  auto* supply = new QGroupBox(QStringLiteral(" Power Supply "), this);
  supply->setObjectName(QStringLiteral("PowerSupplyGroup"));
  auto* supplyColumn = new QVBoxLayout(supply);
  auto* group = new QButtonGroup(this);
  const QString captions[2] = {QStringLiteral("5V - Close J1 "), QStringLiteral("3.3V - Open J1 ")};
  for (int i = 0; i < 2; ++i) {
    SupplyButtons[static_cast<std::size_t>(i)] = new QRadioButton(captions[i], supply);
    supplyColumn->addWidget(SupplyButtons[static_cast<std::size_t>(i)]);
    group->addButton(SupplyButtons[static_cast<std::size_t>(i)], i);
  }
  connect(group, &QButtonGroup::idClicked, this, [this](int id) { Frame.SetPowerSupply(id); });
  column->addWidget(supply);

  StopOnErrorCheck = new QCheckBox(QStringLiteral("Stop on Error"), this);
  StopOnErrorCheck->setObjectName(QStringLiteral("StopOnErrorCheck"));
  connect(StopOnErrorCheck, &QCheckBox::clicked, this,
          [this](bool checked) { Frame.SetStopOnError(checked); });
  column->addWidget(StopOnErrorCheck);

  TestConnectionBtn = new QPushButton(this);
  TestConnectionBtn->setObjectName(QStringLiteral("TestConnectionBtn"));
  connect(TestConnectionBtn, &QPushButton::clicked, this, [this] {
    QPointer<THC05BConFrameView> self(this);
    Frame.TestConnectionBtn.Click();
    if (self) Refresh();
  });
  column->addWidget(TestConnectionBtn);

  ContinuousCheck = new QCheckBox(this);
  ContinuousCheck->setObjectName(QStringLiteral("ContinuousCheck"));
  connect(ContinuousCheck, &QCheckBox::clicked, this, [this](bool checked) {
    QPointer<THC05BConFrameView> self(this);
    Frame.ContinuousCheck.Checked = checked;
    if (Frame.ContinuousCheck.OnClick) Frame.ContinuousCheck.OnClick();
    if (self) Refresh();
  });
  column->addWidget(ContinuousCheck);

  VoltmeterBtn = new QPushButton(this);
  VoltmeterBtn->setObjectName(QStringLiteral("VoltmeterBtn"));
  connect(VoltmeterBtn, &QPushButton::clicked, this, [this] { VoltmeterClick(); });
  column->addWidget(VoltmeterBtn);
  column->addStretch();

  QPointer<THC05BConFrameView> self(this);
  Frame.OnChanged = [self] {
    if (self) self->Refresh();
  };
  Refresh();
}

void THC05BConFrameView::VoltmeterClick() {
  if (Frame.VoltmeterBtn.OnClick) {
    QPointer<THC05BConFrameView> self(this);
    Frame.VoltmeterBtn.Click();
    if (self) Refresh();
    return;
  }
  // No voltmeter window exists yet: say so rather than doing nothing.
  Services().ShowInformation("Voltmeter", "The voltmeter is not available yet.");
}

void THC05BConFrameView::Refresh() {
  for (std::size_t i = 0; i < 9; ++i) {
    RowLabels[i]->setText(PinLabel(static_cast<int>(i)));
    const QString value = QString::fromStdString(Frame.PinTexts[i]);
    if (ValueBoxes[i]->text() != value) ValueBoxes[i]->setText(value);
    QPalette palette = ValueBoxes[i]->palette();
    palette.setColor(QPalette::Text, PinColourOf(Frame.PinColours[i]));
    ValueBoxes[i]->setPalette(palette);
  }
  SupplyButtons[Frame.PowerSupply == 1 ? 1 : 0]->setChecked(true);
  StopOnErrorCheck->setChecked(Frame.StopOnError);

  const TPanelButton& test = Frame.TestConnectionBtn;
  TestConnectionBtn->setText(QString::fromStdString(test.Caption));
  TestConnectionBtn->setHidden(!test.Visible);
  TestConnectionBtn->setEnabled(test.Enabled);
  const TPanelCheck& continuous = Frame.ContinuousCheck;
  ContinuousCheck->setText(QString::fromStdString(continuous.Caption));
  ContinuousCheck->setHidden(!Frame.ContinuousVisible);
  ContinuousCheck->setEnabled(continuous.Enabled);
  ContinuousCheck->setChecked(continuous.Checked);
  const TPanelButton& volt = Frame.VoltmeterBtn;
  VoltmeterBtn->setText(QString::fromStdString(volt.Caption));
  VoltmeterBtn->setHidden(!volt.Visible);
  VoltmeterBtn->setEnabled(volt.Enabled);
}

QString THC05BConFrameView::PinLabel(int row) const {
  if (row < 0 || row > 8) return {};
  return QStringLiteral("%1 - ").arg(row + 1) +
         QString::fromStdString(Frame.PinNames[static_cast<std::size_t>(row)]);
}

QString THC05BConFrameView::PinValue(int row) const {
  if (row < 0 || row > 8) return {};
  return ValueBoxes[static_cast<std::size_t>(row)]->text();
}

QString THC05BConFrameView::PinText(int row) const {
  if (row < 0 || row > 8) return {};
  const QString label = RowLabels[static_cast<std::size_t>(row)]->text();
  const QString value = PinValue(row);
  return value.isEmpty() ? label : label + u' ' + value;
}

QColor THC05BConFrameView::PinValueColour(int row) const {
  if (row < 0 || row > 8) return {};
  return ValueBoxes[static_cast<std::size_t>(row)]->palette().color(QPalette::Text);
}

void THC05BConFrameView::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}
