#pragma once

#include <QApplication>
#include <QDir>
#include <QString>
#include <QWidget>
#include <string>

// What every widget test binary needs: one application object (offscreen in
// CTest) and screenshots under build/screens for review.
inline QApplication& WidgetTestApp() {
  static int argc = 1;
  static char name[] = "widget_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: after main returns Qt's own globals are gone already.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

inline void SaveScreenshot(QWidget* widget, const std::string& name) {
  QDir().mkpath(QStringLiteral(KV_SCREENS_DIR));
  QApplication::processEvents();
  widget->grab().save(QStringLiteral(KV_SCREENS_DIR "/") + QString::fromStdString(name) + ".png");
}
