#pragma once

#include <QDockWidget>
#include <QStringList>

class QAction;
class QPlainTextEdit;

// The "Messages" panel: one read-only line per event, the newest selected.
class TMsgsPanel : public QDockWidget {
  Q_OBJECT
public:
  // clearAction is the shared "&Clear Messages" command for the context menu.
  TMsgsPanel(QAction* clearAction, QWidget* parent = nullptr);

  // Appends a line and selects it, so it is scrolled into view.
  void AddMessage(const QString& text);
  // Overwrites the last line; nothing when there is none. The selection stays.
  void ReplaceLastMessage(const QString& text);
  void Clear();

  QStringList Lines() const;
  QString SelectedText() const;
  QPlainTextEdit* MsgsMemo() const { return Memo; }

private:
  void ShowContextMenu(const QPoint& pos);

  QPlainTextEdit* Memo;
  QAction* ClearAction;
  int LineCount = 0;
};
