#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "families/e2memframe.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The serial-memory panel over its model: the "Start"/"End" edits, the
// operation buttons, "Program Modified Only" and the status register. The
// view takes the model's OnChanged and OnBeep; it never touches the model
// once it is being destroyed, so either may go first.
class TE2MemoryFrameView : public QWidget {
  Q_OBJECT
public:
  explicit TE2MemoryFrameView(Te2memoryFrame& model, QWidget* parent = nullptr);

  void Refresh(); // widgets := model
  QPushButton* FindButton(const QString& caption) const;
  QCheckBox* ProgramModifiedOnlyBox() const;
  QLineEdit* StartEdit() const { return StartEdit1; }
  QLineEdit* EndEdit() const { return EndEdit1; }
  QLineEdit* RegisterEdit() const { return RegisterEdit1; }
  QLabel* RegisterLabel() const { return RegisterLabel1; }
  Te2memoryFrame& Model() const { return Frame; }

  // The sound of a rejected entry or dropped key (tests count it).
  std::function<void()> OnBeep;

protected:
  void showEvent(QShowEvent* event) override;

private:
  struct TButtonLink {
    TPanelButton Te2memoryFrame::*Button;
    QPushButton* Widget;
  };
  QLineEdit* MakeHexEdit(const char* name, int maxLength);
  void RangeEdited(QLineEdit* edit, bool start, const QString& text);
  void RegisterEdited(const QString& text);
  void Beep();

  Te2memoryFrame& Frame;
  QLineEdit* StartEdit1 = nullptr;
  QLineEdit* EndEdit1 = nullptr;
  QLabel* RegisterLabel1 = nullptr;
  QLineEdit* RegisterEdit1 = nullptr;
  QCheckBox* ProgramModifiedOnlyCheck = nullptr;
  std::array<TButtonLink, 8> Buttons{};
};
