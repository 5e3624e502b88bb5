#include "editor/ui/replaceform.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <string>

#include "editor/findreplace.h"
#include "editor/pastehex.h"
#include "editor/xhexedit.h"

namespace {

bool IsHexChar(QChar c) {
  return c.unicode() < 128 && HexDigitValue(static_cast<char>(c.unicode())) >= 0;
}

// Characters of the edits are buffer bytes.
std::string Bytes(const QString& text) {
  return text.toLatin1().toStdString();
}

QString HexOffset(int32_t offset) {
  return QStringLiteral("%1").arg(offset, 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TReplaceForm1::TReplaceForm1(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReplaceForm1"));
  setWindowTitle(QStringLiteral("Replace"));
  OnBeep = [] { QApplication::beep(); };

  FindEdit = new QLineEdit(this);
  FindEdit->setObjectName(QStringLiteral("FindEdit"));
  ReplaceEdit = new QLineEdit(this);
  ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
  ModeBtn = new QPushButton(QStringLiteral("Hex"), this);
  ModeBtn->setObjectName(QStringLiteral("ModeBtn"));
  ModeBtn->setAutoDefault(false);
  auto* findLabel = new QLabel(QStringLiteral("to Find"), this);
  findLabel->setBuddy(FindEdit);
  auto* replaceLabel = new QLabel(QStringLiteral("Replace with"), this);
  replaceLabel->setBuddy(ReplaceEdit);

  auto* scope = new QGroupBox(QStringLiteral(" Scope "), this);
  GlobalBtn = new QRadioButton(QStringLiteral("Global"), scope);
  GlobalBtn->setObjectName(QStringLiteral("GlobalBtn"));
  RangeBtn = new QRadioButton(QStringLiteral("Range"), scope);
  RangeBtn->setObjectName(QStringLiteral("RangeBtn"));
  FromEdit = new QLineEdit(scope);
  FromEdit->setObjectName(QStringLiteral("FromEdit"));
  ToEdit = new QLineEdit(scope);
  ToEdit->setObjectName(QStringLiteral("ToEdit"));
  auto* fromLabel = new QLabel(QStringLiteral("From"), scope);
  auto* toLabel = new QLabel(QStringLiteral("To"), scope);
  auto* scopeLayout = new QGridLayout(scope);
  scopeLayout->addWidget(GlobalBtn, 0, 0);
  scopeLayout->addWidget(RangeBtn, 1, 0);
  scopeLayout->addWidget(fromLabel, 0, 1);
  scopeLayout->addWidget(FromEdit, 0, 2);
  scopeLayout->addWidget(toLabel, 1, 1);
  scopeLayout->addWidget(ToEdit, 1, 2);
  GlobalBtn->setChecked(true);

  PromptBox = new QCheckBox(QStringLiteral("Prompt on replace"), this);
  PromptBox->setObjectName(QStringLiteral("PromptBox"));
  PromptBox->setChecked(true);

  ReplaceAllBtn = new QPushButton(QStringLiteral("Replace All"), this);
  ReplaceAllBtn->setObjectName(QStringLiteral("ReplaceAllBtn"));
  ReplaceAllBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setAutoDefault(false);

  auto* edits = new QGridLayout;
  edits->addWidget(findLabel, 0, 0);
  edits->addWidget(FindEdit, 0, 1);
  edits->addWidget(ModeBtn, 0, 2);
  edits->addWidget(replaceLabel, 1, 0);
  edits->addWidget(ReplaceEdit, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(PromptBox);
  buttons->addStretch();
  buttons->addWidget(ReplaceAllBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(edits);
  layout->addWidget(scope);
  layout->addLayout(buttons);
  FindEdit->setMinimumWidth(260);

  FindEdit->installEventFilter(this);
  ReplaceEdit->installEventFilter(this);
  connect(ModeBtn, &QPushButton::clicked, this, [this] { SetHexMode(!HexModeValue); });
  connect(GlobalBtn, &QRadioButton::toggled, this, [this] { ScopeChanged(); });
  connect(RangeBtn, &QRadioButton::toggled, this, [this] { ScopeChanged(); });
  connect(FromEdit, &QLineEdit::textEdited, this, [this] { CleanRangeEdit(FromEdit); });
  connect(ToEdit, &QLineEdit::textEdited, this, [this] { CleanRangeEdit(ToEdit); });
  connect(ReplaceAllBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  ScopeChanged();
}

void TReplaceForm1::Beep() {
  if (OnBeep) OnBeep();
}

void TReplaceForm1::SetHexMode(bool hex) {
  HexModeValue = hex;
  ModeBtn->setText(hex ? QStringLiteral("Hex") : QStringLiteral("Text"));
}

void TReplaceForm1::ScopeChanged() {
  const bool range = RangeBtn->isChecked();
  FromEdit->setEnabled(range);
  ToEdit->setEnabled(range);
}

void TReplaceForm1::CleanRangeEdit(QLineEdit* edit) {
  const QString text = edit->text();
  QString clean;
  int cursor = edit->cursorPosition();
  for (int i = 0; i < text.size(); ++i) {
    if (IsHexChar(text[i]))
      clean += text[i].toUpper();
    else if (i < edit->cursorPosition())
      --cursor;
  }
  if (clean == text) return;
  edit->setText(clean);
  edit->setCursorPosition(cursor);
}

void TReplaceForm1::RewriteHexEdit(QLineEdit* edit) {
  std::string bytes;
  if (!ParseDialogHex(Bytes(edit->text()), bytes)) {
    edit->clear();
    Beep();
    return;
  }
  edit->setText(QString::fromLatin1(PatternToHexText(bytes)));
}

bool TReplaceForm1::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit && HexModeValue && (edit == FindEdit || edit == ReplaceEdit)) {
    if (event->type() == QEvent::KeyPress) {
      const QString text = static_cast<QKeyEvent*>(event)->text();
      // Editing and navigation keys carry no printable text.
      if (!text.isEmpty() && text[0].isPrint() && text[0] != QLatin1Char(' ') &&
          !IsHexChar(text[0]))
        return true;
    } else if (event->type() == QEvent::FocusOut) {
      RewriteHexEdit(edit);
    }
  }
  return QDialog::eventFilter(watched, event);
}

int TReplaceForm1::Run(TXHexEdit& editor, TFindReplace& findReplace) {
  int32_t first = 0, last = 0;
  // A selection made backwards is still one range, lowest offset first.
  if (editor.NormalisedSelection(first, last)) {
    FromEdit->setText(HexOffset(first));
    ToEdit->setText(HexOffset(last));
    RangeBtn->setChecked(true);
  } else {
    GlobalBtn->setChecked(true);
  }
  ScopeChanged();
  const int result = ExecHook ? ExecHook(*this) : exec();
  if (result != QDialog::Accepted) return -1;
  if (HexModeValue) {
    RewriteHexEdit(FindEdit);
    RewriteHexEdit(ReplaceEdit);
  }
  findReplace.PromptOnReplace = PromptBox->isChecked();
  // Every replacement goes through the prompt, also on an editor whose page
  // has not hooked it.
  const bool hookPrompt = !editor.OnBeforeReplace;
  if (hookPrompt)
    editor.OnBeforeReplace = [&findReplace](TXHexEdit&, int32_t, int32_t, bool& cancel) {
      findReplace.BeforeReplace(cancel);
    };
  const int count = findReplace.ReplaceInScope(editor, HexModeValue, Bytes(FindEdit->text()),
                                               Bytes(ReplaceEdit->text()), GlobalBtn->isChecked(),
                                               Bytes(FromEdit->text()), Bytes(ToEdit->text()));
  if (hookPrompt) editor.OnBeforeReplace = nullptr;
  return count;
}

TReplaceForm1& ReplaceForm() {
  static QPointer<TReplaceForm1> form;
  if (!form) {
    form = new TReplaceForm1;
    // Freed while Qt is still alive; nothing else owns a parentless dialog.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { delete form.data(); });
  }
  return *form;
}
