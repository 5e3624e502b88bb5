#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QTextEdit;

// The "About" box: product, version, support and web links, and the list of
// components (name=description lines that the subsystems add).
class TAboutBox : public QDialog {
  Q_OBJECT
public:
  static constexpr const char* SupportMail = "support@morlisk.example";
  static constexpr const char* WebSite = "https://www.morlisk.example/";

  explicit TAboutBox(QWidget* parent = nullptr);

  // Refreshes the list and clears the memo, then shows the box modally.
  int Execute();
  // Fills the list from the components and clears the memo (Execute's first step).
  void Prepare();

  QListWidget* ComponentList() const { return ListBox1; }
  QTextEdit* DescriptionMemo() const { return Memo1; }
  QLabel* VersionLabel() const { return Version; }

private:
  QLabel* Version;
  QListWidget* ListBox1;
  QTextEdit* Memo1;
};
