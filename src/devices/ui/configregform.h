#pragma once

#include <QDialog>
#include <functional>

class QTableWidget;
class QPushButton;
class QComboBox;
class TConfigReg;

// The configuration-register dialog: one row per field of a layout, each with
// a drop-down of its choices, and the Read, Program and close buttons.
class TConfigRegForm : public QDialog {
  Q_OBJECT
public:
  // Works on `model` (ConfigReg() by default).
  explicit TConfigRegForm(QWidget* parent = nullptr, TConfigReg* model = nullptr);
  ~TConfigRegForm() override;

  // Shows layout 1..47 modally with the families' handlers (either may be
  // empty); returns TConfigReg::mrOk or mrCancel. Outside the table: mrCancel,
  // nothing shown.
  int ShowLayout(int layout, std::function<void()> programHandler,
                 std::function<void()> readHandler);
  // Rows := the model's rows (after a read task changed them).
  void RefreshRows();

  QTableWidget* Grid() const { return ValueGrid; }
  QComboBox* ChoiceBox(int row) const;
  QPushButton* ReadButton() const { return ReadBtn; }
  QPushButton* ProgramButton() const { return ProgramBtn; }
  QPushButton* CloseButton() const { return CloseBtn; }
  TConfigReg& Model() const { return *Reg; }

  std::function<int(QDialog&)> ExecHook; // tests: replaces exec()
  void done(int result) override;        // every close applies the choices

private:
  void ProgramBtnClick();
  void ReadBtnClick();
  void SetButtonMode(bool programAsOk);

  TConfigReg* Reg;
  QTableWidget* ValueGrid;
  QPushButton* ReadBtn;
  QPushButton* ProgramBtn;
  QPushButton* CloseBtn;
  std::function<void()> ProgramHandler;
  std::function<void()> ReadHandler;
  bool Filling = false;
};
