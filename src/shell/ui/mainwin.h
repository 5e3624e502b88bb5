#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "shell/actionbinder.h"
#include "shell/appservices.h"
#include "shell/pagekind.h"
#include "shell/recfiles.h"
#include "shell/windowtitle.h"

class QAction;
class QMenu;
class QTabWidget;
class QToolBar;
class QUrl;
class TBasePage;
class TMsgsPanel;
class TTaskView;

// The application's one top-level window: menus and tool bars over the shared
// actions, the tabbed page area, the message panel, and the services every
// model reaches through TAppServices.
class TMainForm : public QMainWindow, public TAppServices {
  Q_OBJECT
public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // ---- Page area ----
  using TPageFactory = std::function<TBasePage*(TMainForm&)>;
  // A kind with no factory: its New command and its files say it is not built.
  void RegisterPageKind(TPageKind kind, TPageFactory factory);
  bool HasPageKind(TPageKind kind) const;
  // Places a page on a new last tab (not activated); the tab takes its caption.
  void AddPage(TBasePage* page);
  void SetPageCaption(TBasePage* page, const QString& caption);
  TBasePage* GetActivePage() const;
  QList<TBasePage*> Pages() const; // in tab order
  // The pages of one kind in tab order (the programmer-page list, options per page kind).
  QList<TBasePage*> PagesOfKind(TPageKind kind) const;
  // Runs the page's DisconnectActions, removes its tab and deletes it.
  void DestroyPage(TBasePage* page);
  // The Close command: asks the active page's CloseQuery first.
  void ClosePage();
  // Opens a file in the page its extension names; always true.
  bool OpenFileByExtension(const std::string& path);
  // The New command of a kind; the new page or nullptr.
  TBasePage* NewPage(TPageKind kind);
  std::string NewPageName() { return PageNamer.NewPageName(); }
  void SetDocumentTitle(const std::string& name, bool modified);
  // The Open command's dialog filter.
  static QString OpenFilter();
  void OpenFiles(const QStringList& paths); // each: recent files, then open
  void OpenRecentFile(const std::string& path);
  // Files dropped on the window; addresses that are not local files are skipped.
  void OpenDroppedUrls(const QList<QUrl>& urls);

  // ---- Shared actions ----
  TActionBinder& Actions() { return Binder; }
  QAction* QtAction(const std::string& name) const;
  TMenuModel& ActionsMenuModel() { return ActionsMenu; }
  // The page base's DisconnectActions.
  void DisconnectPageActions();
  QMenu* FindMenu(const QString& caption) const;
  // A menu placed before "He&lp" (the virtual module's menu).
  QMenu* AddExtraMenu(const QString& caption);
  QToolBar* FindToolBar(const QString& caption) const;

  TRecentFiles& RecentFiles() { return Recent; }
  TMsgsPanel* MsgsPanel() const { return Msgs; }
  QTabWidget* PageControl() const { return PageControlEx1; }
  // Option the programmer-page rule of OpenFileByExtension reads.
  bool OpenFileInSamePage = false;
  // Where help/kvprog.pdf is looked for (the program's folder by default).
  QString ProgramFolder;
  // Opens a document or address with the desktop; replaceable in tests.
  std::function<bool(const QString& url)> OpenWithDesktop;
  // Error boxes of the shell; replaceable in tests.
  std::function<void(const QString& caption, const QString& text)> ShowErrorBox;

  // ---- TAppServices ----
  void AddMessage(const std::string& text) override;
  void ReplaceLastMessage(const std::string& text) override;
  void ClearMessages() override;
  void AddError() override {}
  TAnswer AskYesNo(const std::string& title, const std::string& text) override;
  TAnswer AskYesNoCancel(const std::string& title, const std::string& text) override;
  void ShowInformation(const std::string& title, const std::string& text) override;
  void ShowWarning(const std::string& title, const std::string& text) override;
  void ProcessMessages() override;
  void TaskShow(const std::string& deviceName, const std::string& rangeText) override;
  void TaskStatus(const std::string& text) override;
  void TaskProgressBounds(int minimum, int maximum) override;
  void TaskProgress(int position) override;
  void TaskToFront() override;
  void TaskHide() override;
  void TaskHold(int ms) override;
  void Sleep(int ms) override;
  void BringMainWindowToFront() override;
  TCommandModel& DeviceCommand(TDeviceCommand command) override;
  TMenuModel* FindMenuItem(const std::string& caption) override;
  TDevicePage* GetActiveProgrammerPage() override;
  // Answers questions without a box (tests): nullptr asks the user.
  std::function<TAnswer(const std::string& title, const std::string& text, bool cancel)>
      AnswerQuestion;

  // ---- Hooks for the parts built around the window ----
  // The device side of a programmer page (set by the programmer page's unit).
  std::function<TDevicePage*(TBasePage*)> DevicePageOf;
  // Runs once the close is accepted: layout, options, recent files.
  std::function<void()> OnSaveSettings;
  // The task dialog's Cancel (sets the task runner's user break).
  void SetTaskCancelHandler(std::function<void()> handler);
  TTaskView& TaskDialog();
  // The file named on the command line: false (after the error box) when it
  // does not exist, and the window is to close.
  bool OpenCommandLineFile(const std::string& path);

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void BindWindowActions();
  void RebuildActionsMenu();
  void RebuildRecentMenu();
  void TabChanged(int index);
  void ShowTabMenu(const QPoint& pos);
  bool PlaceAndOpen(TBasePage* page, const std::string& path);
  void SayNotBuilt(TPageKind kind);
  void ToggleMessages();
  void OpenHelp();
  void FormatFocusedEditor(const std::string& actionName);
  QString BoxText(const std::string& text) const;

  TActionBinder Binder;
  std::map<std::string, QAction*> QtActions;
  TMenuModel ActionsMenu{"&Actions", {}, {}};
  QMenu* ActionsQMenu = nullptr;
  QMenu* RecentMenu = nullptr;
  QMenu* HelpMenu = nullptr;
  TRecentFiles Recent;
  TPageNamer PageNamer;
  std::map<TPageKind, TPageFactory> Factories;
  QTabWidget* PageControlEx1 = nullptr;
  TMsgsPanel* Msgs = nullptr;
  QDockWidget* ProjectTreePanel = nullptr;
  std::unique_ptr<TTaskView> TaskView;
  bool InTabChange = false;
};
