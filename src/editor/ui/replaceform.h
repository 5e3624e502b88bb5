#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TFindReplace;
class TXHexEdit;

// The Replace dialog: created once, it keeps its texts, mode and check box
// between uses and across pages.
class TReplaceForm1 : public QDialog {
  Q_OBJECT
public:
  explicit TReplaceForm1(QWidget* parent = nullptr);

  // The ReplaceFormAction of a page: fills From/To from the selection, shows
  // modally, runs the loop through `findReplace` (its PromptOnReplace := the
  // check box). Returns the number of replacements, or -1 when the dialog was
  // cancelled or the range was rejected (nothing replaced).
  int Run(TXHexEdit& editor, TFindReplace& findReplace);
  std::function<int(QDialog&)> ExecHook; // tests: replaces exec()
  std::function<void()> OnBeep;          // QApplication::beep by default

  bool HexMode() const { return HexModeValue; }
  void SetHexMode(bool hex); // the mode button's caption follows
  // What leaving an edit does in hex mode: rewrites it as "%2.2x " bytes, or
  // clears it and beeps at an invalid token.
  void RewriteHexEdit(QLineEdit* edit);

  QLineEdit* FindEdit = nullptr;
  QLineEdit* ReplaceEdit = nullptr;
  QLineEdit* FromEdit = nullptr;
  QLineEdit* ToEdit = nullptr;
  QPushButton* ModeBtn = nullptr;
  QRadioButton* GlobalBtn = nullptr;
  QRadioButton* RangeBtn = nullptr;
  QCheckBox* PromptBox = nullptr;
  QPushButton* ReplaceAllBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void ScopeChanged();
  void CleanRangeEdit(QLineEdit* edit);
  void Beep();

  bool HexModeValue = true;
};

// The one instance (created on first use, parentless: it outlives any page).
TReplaceForm1& ReplaceForm();
