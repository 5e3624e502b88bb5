#include "editor/ui/hexdecform.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

THexDecForm::THexDecForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HexDecForm"));
  setWindowTitle(QStringLiteral("Hex - Dec Converter"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(false);
  setSizeGripEnabled(false);
  OnBeep = [] { QApplication::beep(); };

  HexEdit = new QLineEdit(this);
  HexEdit->setObjectName(QStringLiteral("HexEdit"));
  DecEdit = new QLineEdit(this);
  DecEdit->setObjectName(QStringLiteral("DecEdit"));
  HexBtn = new QPushButton(QStringLiteral("Hex"), this);
  HexBtn->setObjectName(QStringLiteral("HexBtn"));
  TypeBtn = new QPushButton(QString::fromLatin1(Conv.TypeCaption()), this);
  TypeBtn->setObjectName(QStringLiteral("TypeBtn"));
  // The buttons leave the focus in the edit being typed in, which the type
  // button converts from.
  for (QPushButton* button : {HexBtn, TypeBtn}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
  }
  TypeBtn->setMinimumWidth(
      TypeBtn->fontMetrics().horizontalAdvance(QStringLiteral("64 bits Float")) + 24);
  HexEdit->setMinimumWidth(200);

  auto* layout = new QGridLayout(this);
  layout->addWidget(HexBtn, 0, 0);
  layout->addWidget(HexEdit, 0, 1);
  layout->addWidget(TypeBtn, 1, 0);
  layout->addWidget(DecEdit, 1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  for (QLineEdit* edit : {HexEdit, DecEdit}) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { EditChanged(edit); });
  }
  connect(TypeBtn, &QPushButton::clicked, this, &THexDecForm::TypeClick);
}

void THexDecForm::Open() {
  show();
  raise();
  activateWindow();
}

bool THexDecForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == HexEdit || watched == DecEdit)) {
    auto* edit = static_cast<QLineEdit*>(watched);
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Coming back to the window (or from a context menu) is not entering the edit.
    const bool returning = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    if (!returning || edit != Active) Enter(edit);
  }
  return QDialog::eventFilter(watched, event);
}

void THexDecForm::Enter(QLineEdit* edit) {
  Updating = true;
  Conv.Value = 0;
  HexEdit->clear();
  DecEdit->clear();
  Updating = false;
  Active = edit;
}

void THexDecForm::EditChanged(QLineEdit* edit) {
  if (Updating || edit != Active) return;
  const QString upper = edit->text().toUpper();
  if (upper != edit->text()) {
    const int cursor = edit->cursorPosition();
    Updating = true;
    edit->setText(upper);
    edit->setCursorPosition(cursor);
    Updating = false;
  }
  Convert();
}

void THexDecForm::Convert() {
  if (!Active) return;
  QLineEdit* target = Active == HexEdit ? DecEdit : HexEdit;
  const std::string text = Active->text().toStdString();
  const THexDecResult result = Active == HexEdit ? Conv.HexToDec(text) : Conv.DecToHex(text);
  Updating = true;
  target->setText(QString::fromStdString(result.Text));
  Updating = false;
  if (result.Beep && OnBeep) OnBeep();
}

void THexDecForm::TypeClick() {
  Conv.CycleType();
  TypeBtn->setText(QString::fromLatin1(Conv.TypeCaption()));
  if (!Active) return;
  if (Active->text().isEmpty()) {
    Updating = true;
    (Active == HexEdit ? DecEdit : HexEdit)->clear();
    Updating = false;
    return;
  }
  Convert();
}
