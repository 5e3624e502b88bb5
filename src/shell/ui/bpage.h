#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "shell/pagekind.h"

class TMainForm;
class TActionBinder;

// The base of every page on the main window's tabs. The active page binds the
// shared actions in ConnectActions (called from its Activate); the main window
// runs DisconnectActions before another page is activated and before a page
// is destroyed.
class TBasePage : public QWidget {
  Q_OBJECT
public:
  TBasePage(TMainForm& mainForm, TPageKind kind, QWidget* parent = nullptr);
  ~TBasePage() override;

  // Set by the New commands of pages whose Save must ask for a name.
  bool NeverSaved = false;

  // Base: connects the actions and returns the page itself.
  virtual TBasePage* Activate();
  // path empty: a new, empty document. False: the page could not open it; the
  // main window then destroys the page and runs nothing else for it.
  virtual bool OpenFile(const std::string& path) = 0;
  // path empty: save under the page's own name. False: not saved.
  virtual bool SaveFile(const std::string& path) = 0;
  virtual void ConnectActions() = 0;
  // Base: clears every page-bound shared action (see TActionBinder).
  virtual void DisconnectActions();
  // False keeps the page (and the main window) open.
  virtual bool CloseQuery() = 0;
  virtual std::string GetFileName() = 0;

  // The Save As dialog: current name, filter ("Name (*.a)|*.a|..."), default
  // suffix; the chosen path or "". Replaceable in tests.
  std::function<QString(const QString& name, const QString& filter, const QString& suffix)>
      AskSaveName;

  TPageKind Kind() const { return PageKind; }
  // The tab caption.
  void SetCaption(const QString& caption);
  QString Caption() const { return PageCaption; }

protected:
  TMainForm& MainForm;
  TActionBinder& Actions();
  // A close query's "Save changes to NAME?": Yes runs `save` (a failed or
  // cancelled save keeps the page, so no edit is lost), No lets it close.
  bool AskSaveChanges(const std::string& name, const std::function<bool()>& save);
  // Save As: asks for a path starting at `name` (with `defaultSuffix` when the
  // name has no extension), saves there and adds the path to the recent files.
  bool SaveAsDialog(const std::string& name, const char* filter, const char* defaultSuffix);

private:
  TPageKind PageKind;
  QString PageCaption;
};
