#include "shell/ui/mainwin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTextList>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include "shell/ui/bpage.h"
#include "shell/ui/msgpanel.h"
#include "shell/ui/taskview.h"

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// Menus as a list of action names; "-" separates, ">Caption" opens a submenu
// and "<" closes it.
struct TMenuDef {
  const char* Caption;
  std::vector<const char*> Items;
};

const std::vector<TMenuDef>& MenuDefs() {
  static const std::vector<TMenuDef> defs = {
      {"Fil&e",
       {">&New", "NewProgAction", "NewImageAction", "NewTextAction", "NewScopeAction",
        "NewScriptAction", "<", "OpenAction", "@Recent", "-", "SaveAction", "SaveAsAction",
        "CloseAction", "-", "PrintAction", "-", "ExitAction"}},
      {"E&dit",
       {"UndoAction",
        "RedoAction",
        "-",
        "CutAction",
        "CopyAction",
        "CopyDumpAction",
        "PasteAction",
        "PasteHexAction",
        "DeleteAction",
        "SelectAllAction",
        "-",
        "UnmarkModifiedAction",
        "MarkModifiedAction",
        ">&Fill In",
        "Fill00hAction",
        "FillFFhAction",
        "FillRandomAction",
        "FillCounterAction",
        "FillCurrentAction",
        "<",
        "SwapBytesAction",
        "-",
        "PrevAction",
        "NextAction",
        "ReplaceFormAction",
        "-",
        "CompareBinFilesAction"}},
      {"V&iew",
       {"NumPerLineAction", "MonitorBarAction", "FindBarAction", "-", "ShowMsgsAction",
        "ClearMsgsAction", "-", "ZoomInAction", "ZoomOutAction", "ActualViewAction",
        "FitInWindowAction"}},
      {"&Format",
       {"ChangeFontAction", "-", "BoldAction", "ItalicAction", "UnderlineAction", "StrikeoutAction",
        "BulletsAction", "-", "AlignLeftAction", "AlignRightAction", "AlignCenterAction"}},
      {"De&vice",
       {"DeviceSettingsAction", "ConfigRegisterAction", "LockBitsAction", "FuseBitsAction"}},
      {"&Actions", {"@Actions"}},
      {"&Script",
       {"ScriptRunAction", "ScriptStopAction", "-", ">S&cript Language",
        "ScriptLangRemObjectsAction", "ScriptLangPascalAction", "ScriptLangBasicAction",
        "ScriptLangCppAction", "ScriptLangJScriptAction", "<"}},
      {"&Oscilloscope", {"ScopeAddChannelAction", "ScopeDeleteChannelAction"}},
      {"&Tools",
       {"OptionsAction", "-", "HardwareTestAction", "VoltmeterAction", "PulseGenAction",
        "HexDecAction"}},
      {"He&lp", {"HelpContentsAction", "HomePageAction", "CheckUpdateAction", "-", "AboutAction"}},
  };
  return defs;
}

struct TToolBarDef {
  const char* Name;
  const char* Caption;
  std::vector<const char*> Items;
};

// In the order the layout is restored.
const std::vector<TToolBarDef>& ToolBarDefs() {
  static const std::vector<TToolBarDef> defs = {
      {"EditToolBar",
       "Edit",
       {"UndoAction", "RedoAction", "CutAction", "CopyAction", "PasteAction", "DeleteAction", "-",
        "PrevAction", "NextAction", "-", "SelectAllAction", "FillFFhAction", "Fill00hAction",
        "SwapBytesAction"}},
      {"FormatToolBar",
       "Format",
       {"BoldAction", "ItalicAction", "UnderlineAction", "-", "AlignLeftAction",
        "AlignCenterAction", "AlignRightAction"}},
      {"ViewToolBar",
       "View",
       {"ZoomInAction", "ZoomOutAction", "ActualViewAction", "FitInWindowAction"}},
      {"FileToolBar", "File", {"@NewDrop", "OpenAction", "SaveAction"}},
      {"MiscellaneousToolBar",
       "Miscellaneous",
       {"UnmarkModifiedAction", "MarkModifiedAction", "NumPerLineAction", "-", "ClearMsgsAction",
        "-", "OptionsAction"}},
      {"ScopeToolBar",
       "Scope",
       {"ScopeSelectModeAction", "ScopeZoomWinModeAction", "ScopeMeasureModeAction"}},
      {"ScriptToolBar", "Script", {"ScriptRunAction", "ScriptStopAction"}},
  };
  return defs;
}

const char* const HomePageUrl = "https://www.morlisk.example/";

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), TaskView(new TTaskView(this)) {
  setObjectName(QStringLiteral("MainForm"));
  ProgramFolder = QCoreApplication::applicationDirPath();
  OpenWithDesktop = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
  ShowErrorBox = [this](const QString& caption, const QString& text) {
    QMessageBox::critical(this, caption, text);
  };
  setAcceptDrops(true);
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

  CreateActions();
  CreateMenus();
  CreateToolBars();

  PageControlEx1 = new QTabWidget(this);
  PageControlEx1->setObjectName(QStringLiteral("PageControlEx1"));
  PageControlEx1->setDocumentMode(true);
  PageControlEx1->setMovable(false);
  PageControlEx1->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PageControlEx1, &QTabWidget::currentChanged, this, &TMainForm::TabChanged);
  connect(PageControlEx1->tabBar(), &QWidget::customContextMenuRequested, this,
          &TMainForm::ShowTabMenu);
  setCentralWidget(PageControlEx1);

  Msgs = new TMsgsPanel(QtAction("ClearMsgsAction"), this);
  addDockWidget(Qt::BottomDockWidgetArea, Msgs);
  connect(Msgs, &QDockWidget::visibilityChanged, this,
          [this] { Binder["ShowMsgsAction"].SetChecked(!Msgs->isHidden()); });

  ProjectTreePanel = new QDockWidget(QStringLiteral("Project"), this);
  ProjectTreePanel->setObjectName(QStringLiteral("ProjectTreePanel"));
  ProjectTreePanel->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::BottomDockWidgetArea);
  ProjectTreePanel->setWidget(new QTreeView(ProjectTreePanel));
  addDockWidget(Qt::BottomDockWidgetArea, ProjectTreePanel);
  ProjectTreePanel->hide();

  Recent.OnChange = [this] { RebuildRecentMenu(); };
  RebuildRecentMenu();
  ActionsMenu.OnChange = [this] { RebuildActionsMenu(); };
  BindWindowActions();
  DisconnectPageActions();
  Binder["ShowMsgsAction"].SetChecked(true);

  setWindowTitle(Q(BaseWindowTitle()));
  resize(1000, 700);
}

TMainForm::~TMainForm() {
  // The children outlive the members: no signal may reach them from here on.
  InTabChange = true;
  QObject::disconnect(Msgs, nullptr, this, nullptr);
  QObject::disconnect(PageControlEx1, nullptr, this, nullptr);
  // Pages unbind their handlers before the actions go away.
  for (auto* page : Pages()) {
    page->DisconnectActions();
    delete page;
  }
  if (&Services() == this) SetServices(nullptr);
}

// ---------------------------------------------------------------- actions

void TMainForm::CreateActions() {
  for (TSharedAction* model : Binder.All()) {
    auto* action = new QAction(Q(model->Caption), this);
    action->setObjectName(Q(model->Name));
    if (!model->Shortcut.empty())
      action->setShortcut(QKeySequence(Q(model->Shortcut), QKeySequence::PortableText));
    action->setStatusTip(Q(model->Hint));
    action->setToolTip(Q(model->Hint));
    action->setCheckable(model->Checkable);
    action->setEnabled(model->Enabled);
    QtActions[model->Name] = action;
    model->OnChange = [action, model] {
      action->setText(Q(model->Caption));
      action->setEnabled(model->Enabled);
      action->setChecked(model->Checked);
      action->setVisible(model->Visible);
    };
    connect(action, &QAction::triggered, this, [action, model](bool checked) {
      if (model->Checkable) model->Checked = checked;
      model->Execute(action);
      // The handler owns the checked state; an action that did not run keeps its own.
      action->setChecked(model->Checked);
    });
  }
}

QAction* TMainForm::QtAction(const std::string& name) const {
  auto it = QtActions.find(name);
  return it == QtActions.end() ? nullptr : it->second;
}

void TMainForm::CreateMenus() {
  for (const auto& def : MenuDefs()) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(def.Caption));
    menu->setObjectName(QString::fromUtf8(def.Caption).remove(QLatin1Char('&')) + "Menu");
    std::vector<QMenu*> stack{menu};
    for (const char* item : def.Items) {
      std::string text(item);
      if (text == "-") {
        stack.back()->addSeparator();
      } else if (text[0] == '>') {
        stack.push_back(stack.back()->addMenu(Q(text.substr(1))));
      } else if (text == "<") {
        stack.pop_back();
      } else if (text == "@Recent") {
        RecentMenu = stack.back()->addMenu(QStringLiteral("&Recent Files"));
      } else if (text == "@Actions") {
        ActionsQMenu = menu;
      } else {
        stack.back()->addAction(QtAction(text));
      }
    }
    if (def.Caption == std::string("&Oscilloscope")) menu->menuAction()->setVisible(false);
    if (def.Caption == std::string("He&lp")) HelpMenu = menu;
  }
}

void TMainForm::CreateToolBars() {
  for (const auto& def : ToolBarDefs()) {
    // Two rows, so that the captions stay readable in a window of common width.
    if (def.Name == std::string("FileToolBar")) addToolBarBreak();
    QToolBar* bar = addToolBar(QString::fromUtf8(def.Caption));
    bar->setObjectName(QString::fromUtf8(def.Name));
    bar->setAllowedAreas(Qt::TopToolBarArea);
    for (const char* item : def.Items) {
      std::string text(item);
      if (text == "-") {
        bar->addSeparator();
      } else if (text == "@NewDrop") {
        auto* button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("NewButton"));
        button->setDefaultAction(QtAction("NewProgAction"));
        button->setPopupMode(QToolButton::MenuButtonPopup);
        auto* drop = new QMenu(button);
        for (const char* kind : {"NewProgAction", "NewImageAction", "NewTextAction",
                                 "NewScopeAction", "NewScriptAction"})
          drop->addAction(QtAction(kind));
        button->setMenu(drop);
        bar->addWidget(button);
      } else {
        bar->addAction(QtAction(text));
      }
    }
  }
}

QMenu* TMainForm::FindMenu(const QString& caption) const {
  for (QAction* a : menuBar()->actions())
    if (a->menu() && a->text() == caption) return a->menu();
  return nullptr;
}

QMenu* TMainForm::AddExtraMenu(const QString& caption) {
  auto* menu = new QMenu(caption, this);
  menuBar()->insertMenu(HelpMenu->menuAction(), menu);
  return menu;
}

QToolBar* TMainForm::FindToolBar(const QString& caption) const {
  for (auto* bar : findChildren<QToolBar*>())
    if (bar->windowTitle() == caption) return bar;
  return nullptr;
}

void TMainForm::BindWindowActions() {
  const std::pair<const char*, TPageKind> news[] = {{"NewProgAction", TPageKind::Programmer},
                                                    {"NewImageAction", TPageKind::Image},
                                                    {"NewTextAction", TPageKind::Text},
                                                    {"NewScopeAction", TPageKind::Scope},
                                                    {"NewScriptAction", TPageKind::Script}};
  for (auto [name, kind] : news)
    Binder[name].Bind([this, kind = kind](void*) { NewPage(kind); });
  Binder["OpenAction"].Bind([this](void*) {
    OpenFiles(QFileDialog::getOpenFileNames(this, QStringLiteral("Open"), {}, OpenFilter()));
  });
  Binder["CloseAction"].Bind([this](void*) { ClosePage(); }, false);
  Binder["ExitAction"].Bind([this](void*) { close(); });
  Binder["ShowMsgsAction"].Bind([this](void*) { ToggleMessages(); });
  Binder["ClearMsgsAction"].Bind([this](void*) { ClearMessages(); });
  Binder["HelpContentsAction"].Bind([this](void*) { OpenHelp(); });
  Binder["HomePageAction"].Bind([this](void*) { OpenWithDesktop(QString::fromUtf8(HomePageUrl)); });
  for (const char* name :
       {"BoldAction", "ItalicAction", "UnderlineAction", "StrikeoutAction", "BulletsAction",
        "AlignLeftAction", "AlignRightAction", "AlignCenterAction"})
    Binder[name].Bind([this, name](void*) { FormatFocusedEditor(name); });
  // Commands of later parts say so until their dialogs exist.
  for (const char* name : {"OptionsAction", "HardwareTestAction", "VoltmeterAction",
                           "PulseGenAction", "HexDecAction", "CheckUpdateAction", "AboutAction"}) {
    Binder[name].Bind([this, name](void*) {
      AddMessage(QtAction(name)->text().remove(QLatin1Char('&')).toStdString() +
                 " is not available yet");
    });
  }
}

void TMainForm::DisconnectPageActions() {
  Binder.DisconnectPageActions(ActionsMenu);
}

void TMainForm::RebuildActionsMenu() {
  if (!ActionsQMenu) return;
  ActionsQMenu->clear();
  for (const auto& item : ActionsMenu.Items) {
    QAction* action = ActionsQMenu->addAction(Q(item.Caption));
    if (item.Execute) connect(action, &QAction::triggered, this, [exec = item.Execute] { exec(); });
  }
}

void TMainForm::RebuildRecentMenu() {
  RecentMenu->clear();
  if (Recent.Items().empty()) {
    RecentMenu->addAction(QStringLiteral("&Empty"));
    return;
  }
  for (const std::string& path : Recent.Items()) {
    QAction* action = RecentMenu->addAction(Q(path));
    connect(action, &QAction::triggered, this, [this, file = path] { OpenRecentFile(file); });
  }
}

void TMainForm::ToggleMessages() {
  // A floating panel is its own window, so one visibility covers both cases.
  Msgs->setVisible(Msgs->isHidden());
  Binder["ShowMsgsAction"].SetChecked(!Msgs->isHidden());
}

void TMainForm::OpenHelp() {
  const QString path = QDir(ProgramFolder).filePath(QStringLiteral("help/kvprog.pdf"));
  if (!QFileInfo::exists(path)) {
    AddMessage("Help file not found: " + path.toStdString());
    return;
  }
  if (!OpenWithDesktop(QUrl::fromLocalFile(path).toString()))
    AddMessage("No program opens " + path.toStdString());
}

void TMainForm::FormatFocusedEditor(const std::string& name) {
  auto* edit = qobject_cast<QTextEdit*>(QApplication::focusWidget());
  if (!edit || edit->isReadOnly()) return;
  const bool on = Binder[name].Checked;
  QTextCharFormat format;
  if (name == "BoldAction") {
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
  } else if (name == "ItalicAction") {
    format.setFontItalic(on);
  } else if (name == "UnderlineAction") {
    format.setFontUnderline(on);
  } else if (name == "StrikeoutAction") {
    format.setFontStrikeOut(on);
  } else if (name == "BulletsAction") {
    QTextCursor cursor = edit->textCursor();
    if (QTextList* list = cursor.currentList(); list && !on) {
      QTextBlockFormat block = cursor.blockFormat();
      list->remove(cursor.block());
      block.setIndent(0);
      cursor.setBlockFormat(block);
    } else if (on && !cursor.currentList()) {
      cursor.createList(QTextListFormat::ListDisc);
    }
    return;
  } else {
    edit->setAlignment(name == "AlignLeftAction"    ? Qt::AlignLeft
                       : name == "AlignRightAction" ? Qt::AlignRight
                                                    : Qt::AlignHCenter);
    for (const char* a : {"AlignLeftAction", "AlignRightAction", "AlignCenterAction"})
      Binder[a].SetChecked(name == a);
    return;
  }
  edit->mergeCurrentCharFormat(format);
}

// ---------------------------------------------------------------- pages

void TMainForm::RegisterPageKind(TPageKind kind, TPageFactory factory) {
  Factories[kind] = std::move(factory);
}

bool TMainForm::HasPageKind(TPageKind kind) const {
  auto it = Factories.find(kind);
  return it != Factories.end() && it->second;
}

void TMainForm::AddPage(TBasePage* page) {
  InTabChange = true;
  PageControlEx1->addTab(page, page->Caption());
  InTabChange = false;
  page->show();
}

void TMainForm::SetPageCaption(TBasePage* page, const QString& caption) {
  int index = PageControlEx1->indexOf(page);
  if (index >= 0) PageControlEx1->setTabText(index, caption);
}

TBasePage* TMainForm::GetActivePage() const {
  return qobject_cast<TBasePage*>(PageControlEx1->currentWidget());
}

QList<TBasePage*> TMainForm::Pages() const {
  QList<TBasePage*> pages;
  for (int i = 0; i < PageControlEx1->count(); ++i)
    if (auto* page = qobject_cast<TBasePage*>(PageControlEx1->widget(i))) pages.append(page);
  return pages;
}

QList<TBasePage*> TMainForm::PagesOfKind(TPageKind kind) const {
  QList<TBasePage*> pages;
  for (TBasePage* page : Pages())
    if (page->Kind() == kind) pages.append(page);
  return pages;
}

void TMainForm::DestroyPage(TBasePage* page) {
  page->DisconnectActions();
  InTabChange = true;
  int index = PageControlEx1->indexOf(page);
  if (index >= 0) PageControlEx1->removeTab(index);
  InTabChange = false;
  delete page;
}

void TMainForm::TabChanged(int) {
  if (InTabChange) return;
  if (auto* page = GetActivePage()) {
    page->DisconnectActions();
    page->Activate();
  }
}

void TMainForm::ShowTabMenu(const QPoint& pos) {
  int index = PageControlEx1->tabBar()->tabAt(pos);
  if (index < 0) return;
  PageControlEx1->setCurrentIndex(index);
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Close"), this, [this] { ClosePage(); });
  menu.exec(PageControlEx1->tabBar()->mapToGlobal(pos));
}

void TMainForm::ClosePage() {
  TBasePage* page = GetActivePage();
  if (!page || !page->CloseQuery()) return;
  int index = PageControlEx1->currentIndex();
  DestroyPage(page);
  Binder["CloseAction"].SetEnabled(false);
  setWindowTitle(Q(BaseWindowTitle()));
  if (PageControlEx1->count() == 0) return;
  InTabChange = true;
  PageControlEx1->setCurrentIndex(std::min(index, PageControlEx1->count() - 1));
  InTabChange = false;
  GetActivePage()->Activate();
}

// Places a new page, opens the file in it and makes it the active tab; false
// when the page could not open it (the page is gone then).
bool TMainForm::PlaceAndOpen(TBasePage* page, const std::string& path) {
  AddPage(page);
  if (!page->OpenFile(path)) {
    DestroyPage(page);
    if (auto* active = GetActivePage()) active->Activate();
    return false;
  }
  InTabChange = true;
  PageControlEx1->setCurrentWidget(page);
  InTabChange = false;
  return true;
}

void TMainForm::SayNotBuilt(TPageKind kind) {
  AddMessage(std::string("The ") + PageKindName(kind) + " page is not available yet");
}

TBasePage* TMainForm::NewPage(TPageKind kind) {
  TBasePage* active = GetActivePage();
  if (!HasPageKind(kind)) {
    SayNotBuilt(kind);
    return nullptr;
  }
  if (active) active->DisconnectActions();
  TBasePage* page = Factories[kind](*this);
  if (kind == TPageKind::Text || kind == TPageKind::Programmer) page->NeverSaved = true;
  if (!PlaceAndOpen(page, {})) return nullptr;
  page->Activate();
  return page;
}

bool TMainForm::OpenFileByExtension(const std::string& path) {
  TBasePage* active = GetActivePage();
  const TOpenDecision decision = DecideOpen(
      path, active != nullptr, active ? active->Kind() : TPageKind::Programmer, OpenFileInSamePage);
  if (decision.Step != TOpenStep::NewPage || HasPageKind(decision.Kind)) {
    if (active) active->DisconnectActions();
  }
  switch (decision.Step) {
  case TOpenStep::Ignore:
    // Nothing opens; the active page keeps its commands.
    if (active) active->Activate();
    break;
  case TOpenStep::ReuseActive:
    active->OpenFile(path);
    if (GetActivePage() == active) active->Activate();
    break;
  case TOpenStep::NewPage: {
    if (!HasPageKind(decision.Kind)) {
      AddMessage("Cannot open " + path + ": the " + PageKindName(decision.Kind) +
                 " page is not available yet");
      break;
    }
    TBasePage* page = Factories[decision.Kind](*this);
    if (!PlaceAndOpen(page, path)) break;
    if (decision.Kind == TPageKind::Programmer) page->NeverSaved = false;
    page->Activate();
    break;
  }
  }
  return true;
}

QString TMainForm::OpenFilter() {
  return QStringLiteral(
      "All files (*.*);;Binary files (*.bin);;Intel Hex Format files (*.hex);;"
      "Motorola S Format files (*.s19 *.s28 *.s37 *.mot);;Rich Text Format files (*.rtf);;"
      "Text files (*.txt);;JPeg files (*.jpg);;Bitmap files  (*.bmp);;Gif files (*.gif);;"
      "Png files (*.png);;Korvane Script files (*.ksc *.kds)");
}

void TMainForm::OpenFiles(const QStringList& paths) {
  for (const QString& path : paths) {
    Recent.Add(path.toStdString());
    OpenFileByExtension(path.toStdString());
  }
}

void TMainForm::OpenRecentFile(const std::string& path) {
  if (!QFileInfo::exists(Q(path))) {
    ShowErrorBox(QStringLiteral("Error"), Q(path) + QStringLiteral(" Not Exist"));
    return;
  }
  Recent.Add(path);
  OpenFileByExtension(path);
}

void TMainForm::SetDocumentTitle(const std::string& name, bool modified) {
  setWindowTitle(Q(DocumentWindowTitle(name, modified)));
}

// ---------------------------------------------------------------- window events

void TMainForm::closeEvent(QCloseEvent* event) {
  for (TBasePage* page : Pages()) {
    if (!page->CloseQuery()) {
      event->ignore();
      return;
    }
  }
  if (OnSaveSettings) OnSaveSettings();
  event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  OpenDroppedUrls(event->mimeData()->urls());
  event->acceptProposedAction();
}

void TMainForm::OpenDroppedUrls(const QList<QUrl>& urls) {
  for (const QUrl& url : urls)
    if (url.isLocalFile()) OpenFileByExtension(url.toLocalFile().toStdString());
}

// ---------------------------------------------------------------- services

QString TMainForm::BoxText(const std::string& text) const {
  // The program's texts break lines with '\r'.
  return Q(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void TMainForm::AddMessage(const std::string& text) {
  Msgs->AddMessage(Q(text));
}

void TMainForm::ReplaceLastMessage(const std::string& text) {
  Msgs->ReplaceLastMessage(Q(text));
}

void TMainForm::ClearMessages() {
  Msgs->Clear();
}

TAnswer TMainForm::AskYesNo(const std::string& title, const std::string& text) {
  if (AnswerQuestion) return AnswerQuestion(title, text, false);
  auto button =
      QMessageBox::question(this, Q(title), BoxText(text), QMessageBox::Yes | QMessageBox::No);
  return button == QMessageBox::Yes ? TAnswer::Yes : TAnswer::No;
}

TAnswer TMainForm::AskYesNoCancel(const std::string& title, const std::string& text) {
  if (AnswerQuestion) return AnswerQuestion(title, text, true);
  auto button = QMessageBox::warning(this, Q(title), BoxText(text),
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (button == QMessageBox::Yes) return TAnswer::Yes;
  return button == QMessageBox::No ? TAnswer::No : TAnswer::Cancel;
}

void TMainForm::ShowInformation(const std::string& title, const std::string& text) {
  if (AnswerQuestion) {
    AnswerQuestion(title, text, false);
    return;
  }
  QMessageBox::information(this, Q(title), BoxText(text));
}

void TMainForm::ShowWarning(const std::string& title, const std::string& text) {
  if (AnswerQuestion) {
    AnswerQuestion(title, text, false);
    return;
  }
  QMessageBox::warning(this, Q(title), BoxText(text));
}

void TMainForm::ProcessMessages() {
  QCoreApplication::processEvents();
}

void TMainForm::TaskShow(const std::string& deviceName, const std::string& rangeText) {
  TaskView->ShowTask(Q(deviceName), Q(rangeText));
  QCoreApplication::processEvents();
}

void TMainForm::TaskStatus(const std::string& text) {
  TaskView->SetStatus(Q(text));
}

void TMainForm::TaskProgressBounds(int minimum, int maximum) {
  TaskView->SetBounds(minimum, maximum);
}

void TMainForm::TaskProgress(int position) {
  TaskView->SetPosition(position);
}

void TMainForm::TaskToFront() {
  TaskView->raise();
}

void TMainForm::TaskHide() {
  TaskView->HideTask();
}

void TMainForm::TaskHold(int ms) {
  Sleep(ms);
}

void TMainForm::Sleep(int ms) {
  // Keeps the window painting while the task waits.
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(std::min<qint64>(10, ms - timer.elapsed() > 0 ? ms - timer.elapsed() : 0));
  }
}

void TMainForm::BringMainWindowToFront() {
  raise();
  activateWindow();
}

TCommandModel& TMainForm::DeviceCommand(TDeviceCommand command) {
  static const char* const names[DeviceCommandCount] = {
      "DeviceSettingsAction", "ConfigRegisterAction", "LockBitsAction", "FuseBitsAction"};
  return Binder[names[command]];
}

TMenuModel* TMainForm::FindMenuItem(const std::string& caption) {
  return caption == ActionsMenu.Caption ? &ActionsMenu : nullptr;
}

TDevicePage* TMainForm::GetActiveProgrammerPage() {
  TBasePage* page = GetActivePage();
  if (!page || page->Kind() != TPageKind::Programmer) return nullptr;
  return DevicePageOf ? DevicePageOf(page) : nullptr;
}

void TMainForm::SetTaskCancelHandler(std::function<void()> handler) {
  TaskView->OnCancel = std::move(handler);
}

TTaskView& TMainForm::TaskDialog() {
  return *TaskView;
}

bool TMainForm::OpenCommandLineFile(const std::string& path) {
  if (!QFileInfo::exists(Q(path))) {
    ShowErrorBox(QStringLiteral("Error loading file"), Q(path) + QStringLiteral(" not exist"));
    return false;
  }
  OpenFileByExtension(path);
  return true;
}
