#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>

#include "families/hc05bconframe.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The text colour of a pin value.
QColor PinColourOf(TPinColour colour);

// The connection panel over its model: nine pin rows, the power-supply
// choice, "Stop on Error" and the connection test controls. The view takes
// the model's OnChanged; it never touches the model once it is being
// destroyed.
class THC05BConFrameView : public QWidget {
  Q_OBJECT
public:
  explicit THC05BConFrameView(THC05BConFrame1& model, QWidget* parent = nullptr);

  void Refresh();
  // Row 0..8 = P1..P9: the row label and its value, "1 - Vpp 5.00V  OK"
  // (the label alone while the value is empty).
  QString PinText(int row) const;
  QString PinLabel(int row) const; // "1 - Vpp"
  QString PinValue(int row) const; // "5.00V  OK"
  QColor PinValueColour(int row) const;

  QRadioButton* SupplyButton(int item) const { return SupplyButtons[item & 1]; }
  QCheckBox* StopOnErrorBox() const { return StopOnErrorCheck; }
  QPushButton* TestConnectionButton() const { return TestConnectionBtn; }
  QCheckBox* ContinuousBox() const { return ContinuousCheck; }
  QPushButton* VoltmeterButton() const { return VoltmeterBtn; }
  THC05BConFrame1& Model() const { return Frame; }

protected:
  void showEvent(QShowEvent* event) override;

private:
  void VoltmeterClick();

  THC05BConFrame1& Frame;
  std::array<QLabel*, 9> RowLabels{};
  std::array<QLineEdit*, 9> ValueBoxes{};
  std::array<QRadioButton*, 2> SupplyButtons{};
  QCheckBox* StopOnErrorCheck = nullptr;
  QPushButton* TestConnectionBtn = nullptr;
  QCheckBox* ContinuousCheck = nullptr;
  QPushButton* VoltmeterBtn = nullptr;
};
