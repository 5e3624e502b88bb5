#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The task dialog's view: a small borderless window centred on its owner with
// the device, the range, a sunken status line, a thin progress bar and Cancel.
// Modal while shown; the task pumps events between blocks.
class TTaskView : public QDialog {
  Q_OBJECT
public:
  explicit TTaskView(QWidget* parent = nullptr);

  void ShowTask(const QString& deviceName, const QString& rangeText);
  void SetStatus(const QString& text);
  void SetBounds(int minimum, int maximum);
  void SetPosition(int position);
  void HideTask();

  QString StatusText() const;
  int Position() const;
  QString DeviceText() const;
  QString RangeText() const;
  QPushButton* CancelBtn() const { return CancelButton; }

  std::function<void()> OnCancel; // sets the task runner's user break
  void reject() override;         // Escape and the close box cancel, never hide

private:
  void CentreOnOwner();

  QLabel* DeviceLabel;
  QLabel* RangeLabel;
  QLabel* StatusLabel;
  QProgressBar* Progress;
  QPushButton* CancelButton;
};
