#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;
class TBasePage;
class TMainForm;

// The Compare command's dialog: two programmer pages' buffers compared byte
// by byte, the differences listed in the message panel and marked.
class TCompareForm : public QDialog {
  Q_OBJECT
public:
  explicit TCompareForm(TMainForm& form, QWidget* parent = nullptr);

  // The command: fills both lists with the programmer pages (File1 selects
  // the active one) and shows the dialog modally. False, with nothing shown,
  // when no programmer page is open.
  bool Run();
  // The "Compare" button: nothing unless both lists have a selection.
  // Compares, redraws both buffers and closes the dialog.
  void CompareClick();
  // The result of the last comparison (-1: none ran).
  long long LastDifferences = -1;
  std::function<int(QDialog&)> ExecHook; // tests: replaces exec()

  QComboBox* File1Box = nullptr;
  QComboBox* File2Box = nullptr;
  QCheckBox* Color1Box = nullptr;
  QCheckBox* Color2Box = nullptr;
  QCheckBox* ShowDiffBox = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QPushButton* CompareBtn = nullptr;
  QPushButton* AbortBtn = nullptr;

private:
  void FillList(QComboBox* box);
  TBasePage* SelectedPage(QComboBox* box) const;

  TMainForm& MainForm;
};
