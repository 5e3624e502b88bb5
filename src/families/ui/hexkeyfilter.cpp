#include "families/ui/hexkeyfilter.h"

#include <QEvent>
#include <QKeyEvent>

bool THexKeyFilter::IsHexChar(QChar c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

bool THexKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  // Shortcuts (paste, select all, undo) go through; the edit checks their result.
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
    return QObject::eventFilter(watched, event);
  const QString text = key->text();
  if (text.isEmpty() || !text.at(0).isPrint()) return QObject::eventFilter(watched, event);
  for (QChar c : text)
    if (!IsHexChar(c)) {
      if (OnReject) OnReject();
      return true;
    }
  return QObject::eventFilter(watched, event);
}
