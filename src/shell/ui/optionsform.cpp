#include "shell/ui/optionsform.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/checkforupdate.h"
#include "shell/fileassoc.h"

namespace {

QColor ToQColor(TColor c) {
  return QColor(c & 255, (c >> 8) & 255, (c >> 16) & 255);
}
TColor FromQColor(const QColor& c) {
  return static_cast<TColor>(c.red() | c.green() << 8 | c.blue() << 16);
}

QFont ToQFont(const TFontOption& f) {
  QFont font(QString::fromStdString(f.Name));
  if (f.Size > 0) font.setPointSize(f.Size);
  return font;
}

} // namespace

TOptionsForm::TOptionsForm(QWidget* parent)
    : QDialog(parent), PageControl1(new QTabWidget), FileTypeList(new QListWidget),
      UndoEdit(new QLineEdit), GroupEdit(new QLineEdit), PerLineEdit(new QLineEdit),
      PathEdit(new QLineEdit), UpdateEdit(new QLineEdit),
      AllChars(new QCheckBox("All Characters ")), SamePage(new QCheckBox("Open File in Same Page")),
      Confirmation(new QCheckBox("Program Confirmation")),
      ModifiedOnly(new QCheckBox("Program Modified Only")), OffsetFontBtn(new QPushButton),
      HexFontBtn(new QPushButton), TextFontBtn(new QPushButton), ScriptFontBtn(new QPushButton),
      HighLightBtn(new QPushButton), HighLightTextBtn(new QPushButton),
      BackGroundBtn(new QPushButton), ModifiedBtn(new QPushButton) {
  setWindowTitle("Options");
  setModal(true);

  // Environment
  auto* env = new QWidget;
  auto* envLayout = new QVBoxLayout(env);
  auto* types = new QGroupBox("Registered file types");
  auto* typesLayout = new QVBoxLayout(types);
  for (const auto& t : AssociableFileTypes()) {
    auto* item = new QListWidgetItem(QString::fromStdString(t.Ext), FileTypeList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  typesLayout->addWidget(FileTypeList);
  auto* associate = new QPushButton("Associate");
  typesLayout->addWidget(associate);
  envLayout->addWidget(types);
  auto* updateForm = new QFormLayout;
  updateForm->addRow("Update Check Address", UpdateEdit);
  envLayout->addLayout(updateForm);
  connect(associate, &QPushButton::clicked, this, &TOptionsForm::AssociateClick);

  // Hex Editor
  auto* hex = new QWidget;
  auto* hexForm = new QFormLayout(hex);
  hexForm->addRow("Offset Font", OffsetFontBtn);
  hexForm->addRow("Hex Font", HexFontBtn);
  hexForm->addRow("Text Font", TextFontBtn);
  hexForm->addRow("HighLight Color", HighLightBtn);
  hexForm->addRow("HighLightText Color", HighLightTextBtn);
  hexForm->addRow("BackGround Color", BackGroundBtn);
  hexForm->addRow("Modified Color", ModifiedBtn);
  hexForm->addRow("Undo Limit", UndoEdit);
  hexForm->addRow("Hex Group", GroupEdit);
  hexForm->addRow("Numbers per Line", PerLineEdit);
  hexForm->addRow(AllChars);
  hexForm->addRow(SamePage);
  connect(OffsetFontBtn, &QPushButton::clicked, this,
          [this] { PickFont(OffsetFontBtn, HexCopy.OffsetFont); });
  connect(HexFontBtn, &QPushButton::clicked, this,
          [this] { PickFont(HexFontBtn, HexCopy.HexFont); });
  connect(TextFontBtn, &QPushButton::clicked, this,
          [this] { PickFont(TextFontBtn, HexCopy.TextFont); });
  connect(HighLightBtn, &QPushButton::clicked, this,
          [this] { PickColor(HighLightBtn, HexCopy.HighLightColor); });
  connect(HighLightTextBtn, &QPushButton::clicked, this,
          [this] { PickColor(HighLightTextBtn, HexCopy.HighLightTextColor); });
  connect(BackGroundBtn, &QPushButton::clicked, this,
          [this] { PickColor(BackGroundBtn, HexCopy.BGColor); });
  connect(ModifiedBtn, &QPushButton::clicked, this,
          [this] { PickColor(ModifiedBtn, HexCopy.ModifiedColor); });

  // Programmer
  auto* prog = new QWidget;
  auto* progLayout = new QVBoxLayout(prog);
  progLayout->addWidget(Confirmation);
  progLayout->addWidget(ModifiedOnly);
  progLayout->addStretch();

  // Script
  auto* script = new QWidget;
  auto* scriptForm = new QFormLayout(script);
  scriptForm->addRow("Script Editor Font", ScriptFontBtn);
  auto* pathRow = new QHBoxLayout;
  auto* browse = new QPushButton("Browse");
  pathRow->addWidget(PathEdit);
  pathRow->addWidget(browse);
  scriptForm->addRow("Device Scripts Path", pathRow);
  connect(ScriptFontBtn, &QPushButton::clicked, this,
          [this] { PickFont(ScriptFontBtn, ScriptCopy.Font); });
  connect(browse, &QPushButton::clicked, this, [this] {
    QString dir = QFileDialog::getExistingDirectory(this, "Select a folder", PathEdit->text());
    if (!dir.isEmpty()) PathEdit->setText(dir);
  });

  PageControl1->addTab(env, "Environment");
  PageControl1->addTab(hex, "Hex Editor");
  PageControl1->addTab(prog, "Programmer");
  PageControl1->addTab(script, "Script");

  auto* buttons = new QDialogButtonBox;
  buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  QPushButton* apply = buttons->addButton("Apply", QDialogButtonBox::ApplyRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &TOptionsForm::OkClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(apply, &QPushButton::clicked, this, &TOptionsForm::ApplyClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addWidget(buttons);

  ShowError = [this](const QString& text) { QMessageBox::critical(this, "Error", text); };
}

bool TOptionsForm::Execute(const THexEditOptions& hex, const TProgrammerOptions& programmer,
                           const TScriptOptions& script) {
  HexCopy = hex;
  ProgrammerCopy = programmer;
  ScriptCopy = script;
  FillControls();
  return exec() == QDialog::Accepted;
}

void TOptionsForm::ShowFont(QPushButton* box, const TFontOption& font) {
  box->setText(" " + QString::fromStdString(font.Name));
  box->setFont(ToQFont(font));
}

void TOptionsForm::ShowColor(QPushButton* box, TColor color) {
  box->setText(QString());
  box->setStyleSheet("background-color: " + ToQColor(color).name() + ";");
}

void TOptionsForm::FillControls() {
  ShowFont(OffsetFontBtn, HexCopy.OffsetFont);
  ShowFont(HexFontBtn, HexCopy.HexFont);
  ShowFont(TextFontBtn, HexCopy.TextFont);
  ShowFont(ScriptFontBtn, ScriptCopy.Font);
  ShowColor(HighLightBtn, HexCopy.HighLightColor);
  ShowColor(HighLightTextBtn, HexCopy.HighLightTextColor);
  ShowColor(BackGroundBtn, HexCopy.BGColor);
  ShowColor(ModifiedBtn, HexCopy.ModifiedColor);
  UndoEdit->setText(QString::number(HexCopy.UndoLimit));
  GroupEdit->setText(QString::number(HexCopy.HexGroup));
  PerLineEdit->setText(QString::number(HexCopy.BytePerLine));
  AllChars->setChecked(HexCopy.TextAllChars);
  SamePage->setChecked(HexCopy.OpenFileInSamePage);
  Confirmation->setChecked(ProgrammerCopy.ProgramConfirmation);
  ModifiedOnly->setChecked(ProgrammerCopy.ProgramModifiedOnlyDef);
  PathEdit->setText(QString::fromStdString(ScriptCopy.DevScriptSearchPath));
  UpdateEdit->setText(QString::fromStdString(ProgrammerCopy.UpdateUrl));
}

void TOptionsForm::PickFont(QPushButton* box, TFontOption& font) {
  bool ok = false;
  QFont chosen = QFontDialog::getFont(&ok, ToQFont(font), this);
  if (!ok) return;
  font.Name = chosen.family().toStdString();
  if (chosen.pointSize() > 0) font.Size = chosen.pointSize();
  ShowFont(box, font);
}

void TOptionsForm::PickColor(QPushButton* box, TColor& color) {
  QColor chosen = QColorDialog::getColor(ToQColor(color), this);
  if (!chosen.isValid()) return;
  color = FromQColor(chosen);
  ShowColor(box, color);
}

bool TOptionsForm::ReadControls() {
  struct TNumber {
    QLineEdit* Edit;
    int* Target;
  } numbers[] = {
      {UndoEdit, &HexCopy.UndoLimit},
      {GroupEdit, &HexCopy.HexGroup},
      {PerLineEdit, &HexCopy.BytePerLine},
  };
  for (const auto& n : numbers) {
    auto value = ParseDecimal(n.Edit->text().trimmed().toStdString());
    if (!value || *value < INT32_MIN || *value > INT32_MAX) {
      ShowError(QString("'%1' is not a valid integer value").arg(n.Edit->text()));
      n.Edit->setFocus();
      return false;
    }
    *n.Target = static_cast<int>(*value);
  }
  HexCopy.TextAllChars = AllChars->isChecked();
  HexCopy.OpenFileInSamePage = SamePage->isChecked();
  ProgrammerCopy.ProgramConfirmation = Confirmation->isChecked();
  ProgrammerCopy.ProgramModifiedOnlyDef = ModifiedOnly->isChecked();
  ScriptCopy.DevScriptSearchPath = PathEdit->text().toStdString();
  std::string url = UpdateEdit->text().trimmed().toStdString();
  if (!IsWebAddress(url)) {
    ShowError(QString("'%1' is not a web address (http:// or https://)").arg(UpdateEdit->text()));
    UpdateEdit->setFocus();
    return false;
  }
  ProgrammerCopy.UpdateUrl = url;
  return true;
}

void TOptionsForm::ApplyClick() {
  if (ReadControls() && OnApply) OnApply(HexCopy, ScriptCopy);
}

void TOptionsForm::OkClick() {
  if (ReadControls()) accept();
}

void TOptionsForm::AssociateClick() {
  std::vector<std::string> exts;
  for (int i = 0; i < FileTypeList->count(); ++i)
    if (FileTypeList->item(i)->checkState() == Qt::Checked)
      exts.push_back(FileTypeList->item(i)->text().toStdString());
  if (exts.empty() || !OnAssociate) return;
  QString error = OnAssociate(exts);
  if (!error.isEmpty()) ShowError(error);
}

QString RegisterFileTypesForUser(const std::vector<std::string>& exts, const QString& program) {
#ifdef Q_OS_WIN
  QSettings classes("HKEY_CURRENT_USER\\Software\\Classes", QSettings::NativeFormat);
  for (const auto& ext : exts) {
    if (!FindFileType(ext))
      return QString("Unknown file type: %1").arg(QString::fromStdString(ext));
    for (const auto& [key, value] :
         RegistryAssociation(ext, QDir::toNativeSeparators(program).toStdString()))
      classes.setValue(QString::fromStdString(key) + "/Default", QString::fromStdString(value));
  }
  classes.sync();
  return classes.status() == QSettings::NoError ? QString() : QString("Cannot write the registry");
#else
  TAssociationPlan plan = PlanFileAssociation(
      exts, program.toStdString(),
      XdgDataHome(qgetenv("XDG_DATA_HOME").constData(), qgetenv("HOME").constData()));
  if (!plan.Error.empty()) return QString::fromStdString(plan.Error);
  for (const auto& [path, content] : plan.Files) {
    std::string error;
    if (!WriteFileReplacing(path, content, error)) return QString::fromStdString(error);
  }
  // The desktop's databases; a desktop without these tools reads the files itself.
  for (const auto& argv : plan.Commands) {
    QStringList args;
    for (std::size_t i = 1; i < argv.size(); ++i)
      args << QString::fromStdString(argv[i]);
    QProcess::execute(QString::fromStdString(argv[0]), args);
  }
  return QString();
#endif
}
