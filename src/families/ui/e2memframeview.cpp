#include "families/ui/e2memframeview.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "families/ui/hexkeyfilter.h"

namespace {

void SetTextIfDiffers(QLineEdit* edit, const std::string& text) {
  const QString t = QString::fromStdString(text);
  if (edit->text() != t) edit->setText(t);
}

void Mirror(QPushButton* button, const TPanelButton& model) {
  button->setText(QString::fromStdString(model.Caption));
  button->setHidden(!model.Visible);
  button->setEnabled(model.Enabled);
}

// The edits show upper case whatever was typed or pasted; the caret stays put.
QString UpperInPlace(QLineEdit* edit, const QString& text) {
  const QString upper = text.toUpper();
  if (upper != text) {
    const int pos = edit->cursorPosition();
    edit->setText(upper);
    edit->setCursorPosition(pos);
  }
  return upper;
}

} // namespace

TE2MemoryFrameView::TE2MemoryFrameView(Te2memoryFrame& model, QWidget* parent)
    : QWidget(parent), Frame(model) {
  setObjectName(QString::fromStdString(model.Name));
  OnBeep = [] { QApplication::beep(); };

  auto* column = new QVBoxLayout(this);
  auto* range = new QGridLayout;
  range->addWidget(new QLabel(QStringLiteral("Start"), this), 0, 0);
  StartEdit1 = MakeHexEdit("StartEdit", 8);
  range->addWidget(StartEdit1, 0, 1);
  range->addWidget(new QLabel(QStringLiteral("End"), this), 1, 0);
  EndEdit1 = MakeHexEdit("EndEdit", 8);
  range->addWidget(EndEdit1, 1, 1);
  column->addLayout(range);

  auto addButton = [&](TPanelButton Te2memoryFrame::*member, const char* name, int slot) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(name));
    column->addWidget(button);
    Buttons[static_cast<std::size_t>(slot)] = {member, button};
    connect(button, &QPushButton::clicked, this, [this, member] {
      QPointer<TE2MemoryFrameView> self(this);
      (Frame.*member).Click();
      if (self) Refresh();
    });
  };
  addButton(&Te2memoryFrame::ReadBtn, "ReadBtn", 0);
  addButton(&Te2memoryFrame::VerifyBtn, "VerifyBtn", 1);
  ProgramModifiedOnlyCheck = new QCheckBox(this);
  ProgramModifiedOnlyCheck->setObjectName(QStringLiteral("ProgramModifiedOnlyCheck"));
  column->addWidget(ProgramModifiedOnlyCheck);
  connect(ProgramModifiedOnlyCheck, &QCheckBox::clicked, this, [this](bool checked) {
    QPointer<TE2MemoryFrameView> self(this);
    TPanelCheck& check = Frame.ProgramModifiedOnlyCheck;
    check.Checked = checked;
    if (check.OnClick) check.OnClick();
    if (self) Refresh();
  });
  addButton(&Te2memoryFrame::ProgramBtn, "ProgramBtn", 2);
  addButton(&Te2memoryFrame::BlankCheckBtn, "BlankCheckBtn", 3);
  addButton(&Te2memoryFrame::EraseBtn, "EraseBtn", 4);

  auto* reg = new QHBoxLayout;
  RegisterLabel1 = new QLabel(this);
  RegisterLabel1->setObjectName(QStringLiteral("RegisterLabel"));
  reg->addWidget(RegisterLabel1);
  RegisterEdit1 = MakeHexEdit("RegisterEdit", 2);
  RegisterEdit1->setMaximumWidth(RegisterEdit1->fontMetrics().horizontalAdvance(u'W') * 4);
  reg->addWidget(RegisterEdit1);
  reg->addStretch();
  column->addLayout(reg);
  addButton(&Te2memoryFrame::ReadStatusRegisterBtn, "ReadStatusRegisterBtn", 5);
  addButton(&Te2memoryFrame::WriteStatusRegisterBtn, "WriteStatusRegisterBtn", 6);
  addButton(&Te2memoryFrame::ClearProtectRegisterBtn, "ClearProtectRegisterBtn", 7);
  column->addStretch();

  connect(StartEdit1, &QLineEdit::textEdited, this,
          [this](const QString& text) { RangeEdited(StartEdit1, true, text); });
  connect(EndEdit1, &QLineEdit::textEdited, this,
          [this](const QString& text) { RangeEdited(EndEdit1, false, text); });
  connect(RegisterEdit1, &QLineEdit::textEdited, this,
          [this](const QString& text) { RegisterEdited(text); });

  // Either side may go first: a dead view is skipped, never called.
  QPointer<TE2MemoryFrameView> self(this);
  Frame.OnChanged = [self] {
    if (self) self->Refresh();
  };
  Frame.OnBeep = [self] {
    if (self) self->Beep();
  };
  Refresh();
}

QLineEdit* TE2MemoryFrameView::MakeHexEdit(const char* name, int maxLength) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(maxLength);
  auto* filter = new THexKeyFilter(edit);
  filter->OnReject = [this] { Beep(); };
  edit->installEventFilter(filter);
  return edit;
}

void TE2MemoryFrameView::Beep() {
  if (OnBeep) OnBeep();
}

void TE2MemoryFrameView::RangeEdited(QLineEdit* edit, bool start, const QString& text) {
  const std::string typed = UpperInPlace(edit, text).toStdString();
  Frame.SelectAllRequested = false;
  const bool accepted = start ? Frame.StartEditChange(typed) : Frame.EndEditChange(typed);
  Refresh();
  if (!accepted || Frame.SelectAllRequested) {
    edit->selectAll();
    Frame.SelectAllRequested = false;
  }
}

void TE2MemoryFrameView::RegisterEdited(const QString& text) {
  const std::string typed = UpperInPlace(RegisterEdit1, text).toStdString();
  Frame.SelectAllRequested = false;
  const bool accepted = Frame.RegisterEditChange(typed);
  Refresh();
  if (!accepted) {
    // Refresh put the last good value back.
    RegisterEdit1->selectAll();
    Frame.SelectAllRequested = false;
  }
}

void TE2MemoryFrameView::Refresh() {
  SetTextIfDiffers(StartEdit1, Frame.StartText);
  SetTextIfDiffers(EndEdit1, Frame.EndText);
  for (const TButtonLink& link : Buttons)
    Mirror(link.Widget, Frame.*(link.Button));
  const TPanelCheck& check = Frame.ProgramModifiedOnlyCheck;
  ProgramModifiedOnlyCheck->setText(QString::fromStdString(check.Caption));
  ProgramModifiedOnlyCheck->setChecked(check.Checked);
  ProgramModifiedOnlyCheck->setEnabled(check.Enabled);
  RegisterLabel1->setText(QString::fromStdString(Frame.RegisterLabel));
  RegisterLabel1->setHidden(!Frame.RegisterLabelVisible);
  RegisterEdit1->setHidden(!Frame.RegisterEditVisible);
  SetTextIfDiffers(RegisterEdit1, Frame.RegisterText);
}

QPushButton* TE2MemoryFrameView::FindButton(const QString& caption) const {
  for (const TButtonLink& link : Buttons)
    if (link.Widget->text() == caption) return link.Widget;
  return nullptr;
}

QCheckBox* TE2MemoryFrameView::ProgramModifiedOnlyBox() const {
  return ProgramModifiedOnlyCheck;
}

void TE2MemoryFrameView::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}
