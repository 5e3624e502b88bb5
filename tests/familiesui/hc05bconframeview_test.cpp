#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "families/hc05bconframe.h"
#include "families/ui/hc05bconframeview.h"
#include "support/recorderservices.h"
#include "support/widgettest.h"

namespace {

class ConnectionFrameView : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    View = std::make_unique<THC05BConFrameView>(Model);
    View->show();
  }

  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  THC05BConFrame1 Model;
  std::unique_ptr<THC05BConFrameView> View;
};

TEST_F(ConnectionFrameView, PinRowsShowTheDevicesLabels) {
  EXPECT_EQ(View->objectName().toStdString(), Model.Name);
  Model.SetPinNames({"Vpp", "TxD", "RxD", "TCAP1", "Vss", "PD3", "RESET", "PD4", "PWR"});
  const char* labels[] = {"1 - Vpp", "2 - TxD",   "3 - RxD", "4 - TCAP1", "5 - Vss",
                          "6 - PD3", "7 - RESET", "8 - PD4", "9 - PWR"};
  for (int row = 0; row < 9; ++row) {
    EXPECT_EQ(View->PinLabel(row), labels[row]);
    EXPECT_EQ(View->PinValue(row), row == 4 ? "0V" : "") << row;
  }
  EXPECT_EQ(View->PinText(4), "5 - Vss 0V");
  EXPECT_EQ(View->PinText(0), "1 - Vpp");
  EXPECT_EQ(View->PinText(9), "");
}

TEST_F(ConnectionFrameView, PinResultsShowTextsAndColours) {
  TPinResults results{};
  const struct {
    float Volts;
    std::uint8_t Check;
  } measured[PinResultCount] = {{0.0f, 0}, {3.5f, 1}, {0.2f, 1}, {1.5f, 2},
                                {1.5f, 2}, {0.0f, 0}, {4.9f, 1}, {5.0f, 1}};
  for (int i = 0; i < PinResultCount; ++i) {
    results[static_cast<std::size_t>(i)].Volts = measured[i].Volts;
    results[static_cast<std::size_t>(i)].Check = measured[i].Check;
  }
  for (bool withChecks : {true, false}) {
    SCOPED_TRACE(withChecks ? "with checks" : "without checks");
    Model.ShowPinResults(results, withChecks);
    for (int row = 0; row < 9; ++row) {
      const auto r = static_cast<std::size_t>(row);
      EXPECT_EQ(View->PinValue(row).toStdString(), Model.PinTexts[r]) << row;
      EXPECT_EQ(View->PinValueColour(row), PinColourOf(Model.PinColours[r])) << row;
    }
    EXPECT_EQ(View->PinValue(4), "0V");
  }
  Model.ShowPinResults(results, true);
  SaveScreenshot(View.get(), "connectionframe");
  // The three colours a user tells apart.
  const QColor ok = View->PinValueColour(PinRowOfResult(1));
  const QColor bad = View->PinValueColour(PinRowOfResult(3));
  const QColor na = View->PinValueColour(PinRowOfResult(0));
  EXPECT_GT(ok.green(), ok.red());
  EXPECT_GT(bad.red(), bad.green());
  EXPECT_EQ(na, QColor(Qt::black));
}

TEST_F(ConnectionFrameView, ThePowerChoiceChangesOnlyTheSupplyWindow) {
  EXPECT_TRUE(View->SupplyButton(0)->isChecked());
  EXPECT_EQ(View->SupplyButton(0)->text(), "5V - Close J1 ");
  EXPECT_EQ(View->SupplyButton(1)->text(), "3.3V - Open J1 ");
  const TPowerPreset five = Model.PowerPreset;
  QTest::mouseClick(View->SupplyButton(1), Qt::LeftButton);
  EXPECT_EQ(Model.PowerSupply, 1);
  for (std::size_t i = 0; i < five.Volts.size(); ++i) {
    if (i < 24) {
      EXPECT_FLOAT_EQ(Model.PowerPreset.Volts[i], five.Volts[i]) << i;
    } else {
      EXPECT_NE(Model.PowerPreset.Volts[i], five.Volts[i]) << i;
    }
  }
  EXPECT_EQ(Model.PowerPreset.StopOnError, five.StopOnError);
  QTest::mouseClick(View->SupplyButton(0), Qt::LeftButton);
  EXPECT_EQ(Model.PowerPreset.Volts, five.Volts);

  QTest::mouseClick(View->StopOnErrorBox(), Qt::LeftButton);
  EXPECT_FALSE(Model.StopOnError);
  EXPECT_FALSE(Model.PowerPreset.StopOnError);
  EXPECT_EQ(Model.PowerPreset.Volts, five.Volts);

  Model.SetPowerSupply(1); // the model's choice shows too
  EXPECT_TRUE(View->SupplyButton(1)->isChecked());
}

TEST_F(ConnectionFrameView, ConnectionTestControlsShowOnlyWhenTheDeviceSaysSo) {
  EXPECT_TRUE(View->TestConnectionButton()->isHidden());
  EXPECT_TRUE(View->ContinuousBox()->isHidden());
  int tests = 0, continuous = 0;
  Model.TestConnectionBtn.OnClick = [&] { ++tests; };
  Model.ContinuousCheck.OnClick = [&] { continuous += Model.ContinuousCheck.Checked ? 1 : 0; };
  Model.TestConnectionBtn.Visible = Model.ContinuousVisible = true;
  Model.Changed();
  EXPECT_FALSE(View->TestConnectionButton()->isHidden());
  EXPECT_EQ(View->TestConnectionButton()->text(), "Test Connection");
  EXPECT_FALSE(View->ContinuousBox()->isHidden());
  QTest::mouseClick(View->TestConnectionButton(), Qt::LeftButton);
  QTest::mouseClick(View->ContinuousBox(), Qt::LeftButton);
  EXPECT_EQ(tests, 1);
  EXPECT_EQ(continuous, 1);
}

TEST_F(ConnectionFrameView, VoltmeterSaysItIsNotThereYet) {
  EXPECT_EQ(View->VoltmeterButton()->text(), "Voltmeter");
  QTest::mouseClick(View->VoltmeterButton(), Qt::LeftButton);
  ASSERT_EQ(Rec.Boxes.size(), 1u);
  EXPECT_NE(Rec.Boxes[0].find("The voltmeter is not available yet."), std::string::npos);
}

} // namespace
