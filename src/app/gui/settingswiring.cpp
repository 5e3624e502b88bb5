#include "settingswiring.h"

#include <QCoreApplication>
#include <QDir>
#include <optional>
#include <vector>

#include "devices/taskexec.h"
#include "editor/ui/xform.h"
#include "shell/recfiles.h"
#include "shell/settingsvalues.h"
#include "shell/ui/about.h"
#include "shell/ui/mainwin.h"
#include "shell/ui/optionsform.h"
#include "shell/ui/qtsettingsstore.h"
#include "shell/ui/updateform.h"

TGuiSettings::TGuiSettings(TMainForm& mainForm, TSettingsStore* store)
    : MainForm(mainForm), Store(store ? store : new TQtSettingsStore()) {
  ProgramFolder() = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
  Load();
  auto& actions = MainForm.Actions();
  actions["OptionsAction"].Bind([this](void*) { ShowOptions(); });
  actions["AboutAction"].Bind([this](void*) { TAboutBox(&MainForm).Execute(); });
  actions["CheckUpdateAction"].Bind([this](void*) {
    TCheckForUpdateForm form(&MainForm);
    form.Program() =
        RunningProgramInfo(QCoreApplication::applicationFilePath(), Programmer.UpdateUrl);
    form.Execute();
  });
  MainForm.OnSaveSettings = [this] { Save(); };
}

TGuiSettings::~TGuiSettings() {
  MainForm.OnSaveSettings = nullptr;
  if (THepPage::HexOptions == &Hex) THepPage::HexOptions = nullptr;
  delete Store;
}

namespace {

constexpr const char* LayoutSection = "Layout";

QByteArray ToBytes(const std::optional<std::vector<std::uint8_t>>& v) {
  return v ? QByteArray(reinterpret_cast<const char*>(v->data()), static_cast<int>(v->size()))
           : QByteArray();
}

std::vector<std::uint8_t> FromBytes(const QByteArray& b) {
  return std::vector<std::uint8_t>(b.begin(), b.end());
}

} // namespace

void TGuiSettings::Load() {
  Hex.Load(*Store);
  Programmer.Load(*Store);
  Script.Load(*Store);
  MainForm.RecentFiles().Load(*Store);
  THepPage::PanelWidth = LoadSplitterPos(*Store);
  // Window and dock layout; a missing or damaged record leaves Qt's defaults.
  MainForm.restoreGeometry(ToBytes(Store->ReadBinary(LayoutSection, "Geometry")));
  MainForm.restoreState(ToBytes(Store->ReadBinary(LayoutSection, "State")));
  Apply();
}

void TGuiSettings::Save() {
  Hex.Save(*Store);
  Programmer.Save(*Store);
  Script.Save(*Store);
  MainForm.RecentFiles().Save(*Store);
  SaveSplitterPos(*Store, THepPage::PanelWidth);
  Store->WriteBinary(LayoutSection, "Geometry", FromBytes(MainForm.saveGeometry()));
  Store->WriteBinary(LayoutSection, "State", FromBytes(MainForm.saveState()));
}

void TGuiSettings::Apply() {
  MainForm.OpenFileInSamePage = Hex.OpenFileInSamePage;
  // The programmer pages read their options here; the open ones take them now.
  THepPage::HexOptions = &Hex;
  THepPage::ProgramModifiedOnlyDef = Programmer.ProgramModifiedOnlyDef;
  TaskForm().ProgramConfirmation = Programmer.ProgramConfirmation;
  for (TBasePage* page : MainForm.PagesOfKind(TPageKind::Programmer))
    if (auto* programmer = qobject_cast<THepPage*>(page)) programmer->ApplyHexOptions(Hex);
}

void TGuiSettings::ShowOptions() {
  TOptionsForm form(&MainForm);
  form.OnAssociate = [](const std::vector<std::string>& extensions) {
    return RegisterFileTypesForUser(extensions, QCoreApplication::applicationFilePath());
  };
  if (!form.Execute(Hex, Programmer, Script)) return;
  Hex = form.Hex();
  Programmer = form.Programmer();
  Script = form.Script();
  Apply();
  Save();
}
