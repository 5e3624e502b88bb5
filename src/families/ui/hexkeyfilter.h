#pragma once

#include <QObject>
#include <functional>

// Key filter of the hexadecimal edits: printable keys other than 0..9, A..F
// and a..f are dropped with a beep. Editing, navigation and shortcut keys pass,
// so pasted text still reaches the edit's own checks.
class THexKeyFilter : public QObject {
  Q_OBJECT
public:
  explicit THexKeyFilter(QObject* parent = nullptr) : QObject(parent) {}
  std::function<void()> OnReject; // the beep of a dropped key

  static bool IsHexChar(QChar c);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
