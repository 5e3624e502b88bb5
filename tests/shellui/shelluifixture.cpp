#include "shelluifixture.h"

#include <QPixmap>

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "test_shellui";
  static char* argv[] = {name, nullptr};
  // Never destroyed: after main returns Qt's own globals are gone already.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

const std::vector<std::string>& BoundBy(TPageKind kind) {
  static const std::vector<std::string> programmer = {"UndoAction",    "SelectAllAction",
                                                      "SaveAction",    "SaveAsAction",
                                                      "Fill00hAction", "DeviceSettingsAction"};
  static const std::vector<std::string> text = {"SaveAction", "SaveAsAction", "ChangeFontAction"};
  static const std::vector<std::string> image = {"ZoomInAction", "ZoomOutAction",
                                                 "FitInWindowAction", "ActualViewAction"};
  static const std::vector<std::string> none;
  switch (kind) {
  case TPageKind::Programmer:
    return programmer;
  case TPageKind::Text:
    return text;
  case TPageKind::Image:
    return image;
  default:
    return none;
  }
}

void TFakePage::ConnectActions() {
  for (const auto& name : BoundBy(Kind()))
    MainForm.Actions()[name].Bind([this](void*) { ++Runs; });
  MainForm.Actions()["CloseAction"].SetEnabled(true);
  MainForm.SetDocumentTitle(FileName, false);
}

void TMainFormTest::SetUp() {
  TestApp();
  Form = std::make_unique<TMainForm>();
  Form->ShowErrorBox = [this](const QString& caption, const QString& text) {
    ErrorBoxes.push_back((caption + "|" + text).toStdString());
  };
  Form->OpenWithDesktop = [this](const QString& url) {
    Opened.push_back(url.toStdString());
    return true;
  };
  Form->show();
  QApplication::processEvents();
}

void TMainFormTest::TearDown() {
  Form.reset();
}

void TMainFormTest::RegisterFakes(std::initializer_list<TPageKind> kinds) {
  for (TPageKind kind : kinds)
    Form->RegisterPageKind(kind, [kind](TMainForm& m) { return new TFakePage(m, kind); });
}

void TMainFormTest::Screenshot(QWidget* widget, const std::string& name) {
  QDir().mkpath(QStringLiteral(KV_SCREENS_DIR));
  QApplication::processEvents();
  widget->grab().save(QStringLiteral(KV_SCREENS_DIR "/") + QString::fromStdString(name) + ".png");
}
