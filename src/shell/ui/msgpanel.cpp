#include "shell/ui/msgpanel.h"

#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

TMsgsPanel::TMsgsPanel(QAction* clearAction, QWidget* parent)
    : QDockWidget(QStringLiteral("Messages"), parent), Memo(new QPlainTextEdit(this)),
      ClearAction(clearAction) {
  setObjectName(QStringLiteral("MsgsPanel"));
  Memo->setObjectName(QStringLiteral("MsgsMemo"));
  Memo->setReadOnly(true);
  Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The selected line stays highlighted while another control has the focus.
  QPalette palette = Memo->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  Memo->setPalette(palette);
  Memo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Memo, &QWidget::customContextMenuRequested, this, &TMsgsPanel::ShowContextMenu);
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::BottomDockWidgetArea);
  setWidget(Memo);
}

void TMsgsPanel::AddMessage(const QString& text) {
  Memo->appendPlainText(text);
  ++LineCount;
  // A text with line breaks makes several lines; the last one is selected.
  QTextCursor cursor(Memo->document()->lastBlock());
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  LineCount = Memo->document()->blockCount();
  Memo->setTextCursor(cursor);
  Memo->ensureCursorVisible();
}

void TMsgsPanel::ReplaceLastMessage(const QString& text) {
  if (LineCount == 0) return;
  QTextCursor view = Memo->textCursor();
  const int anchor = view.anchor();
  const int position = view.position();
  QTextCursor cursor(Memo->document()->lastBlock());
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(text);
  LineCount = Memo->document()->blockCount();
  const int end = Memo->document()->characterCount() - 1;
  view.setPosition(std::min(anchor, end));
  view.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
  Memo->setTextCursor(view);
}

void TMsgsPanel::Clear() {
  Memo->clear();
  LineCount = 0;
}

QStringList TMsgsPanel::Lines() const {
  if (LineCount == 0) return {};
  return Memo->toPlainText().split(QLatin1Char('\n'));
}

QString TMsgsPanel::SelectedText() const {
  return Memo->textCursor().selectedText();
}

void TMsgsPanel::ShowContextMenu(const QPoint& pos) {
  QMenu menu(Memo);
  menu.addAction(ClearAction);
  menu.exec(Memo->mapToGlobal(pos));
}
