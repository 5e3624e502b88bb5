#pragma once

#include <QDialog>
#include <functional>

#include "editor/hexdec.h"

class QLineEdit;
class QPushButton;

// The "Hex - Dec Converter": a tool window that stays on top and converts the
// edit being typed into the other one under the chosen interpretation.
class THexDecForm : public QDialog {
  Q_OBJECT
public:
  explicit THexDecForm(QWidget* parent = nullptr);

  // Shows the window (not modal) and brings it to the front.
  void Open();
  // The type button: next interpretation, then converts again from the edit
  // being typed in.
  void TypeClick();
  const THexDecConverter& Converter() const { return Conv; }
  // The edit the user entered last (the one conversions start from), or nullptr.
  QLineEdit* ActiveEdit() const { return Active; }
  std::function<void()> OnBeep; // QApplication::beep by default

  QLineEdit* HexEdit = nullptr;
  QLineEdit* DecEdit = nullptr;
  QPushButton* TypeBtn = nullptr;
  QPushButton* HexBtn = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Enter(QLineEdit* edit);
  void EditChanged(QLineEdit* edit);
  void Convert();

  THexDecConverter Conv;
  QLineEdit* Active = nullptr;
  bool Updating = false;
};
