#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "shell/hexeditopt.h"
#include "shell/programmeropt.h"
#include "shell/scriptopt.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

// The "Options" dialog. It edits copies of the three option groups; "Apply"
// previews them on the pages, OK hands them back, Cancel drops them.
class TOptionsForm : public QDialog {
  Q_OBJECT
public:
  explicit TOptionsForm(QWidget* parent = nullptr);

  // True on OK: the edited copies are then in Hex(), Programmer(), Script().
  bool Execute(const THexEditOptions& hex, const TProgrammerOptions& programmer,
               const TScriptOptions& script);
  const THexEditOptions& Hex() const { return HexCopy; }
  const TProgrammerOptions& Programmer() const { return ProgrammerCopy; }
  const TScriptOptions& Script() const { return ScriptCopy; }

  // "Apply": the main window previews the copies on its pages.
  std::function<void(const THexEditOptions&, const TScriptOptions&)> OnApply;
  // "Associate": registers the checked extensions; an error text or empty.
  std::function<QString(const std::vector<std::string>& exts)> OnAssociate;
  // Error boxes; replaceable in tests.
  std::function<void(const QString& text)> ShowError;

  // Reads every control into the copies; false (after the error box) at the
  // first edit that is not a decimal integer; the ones before it are taken.
  bool ReadControls();
  void ApplyClick();
  void OkClick();
  void AssociateClick();

  QTabWidget* Tabs() const { return PageControl1; }
  QLineEdit* UndoLimitEdit() const { return UndoEdit; }
  QLineEdit* HexGroupEdit() const { return GroupEdit; }
  QLineEdit* BytesPerLineEdit() const { return PerLineEdit; }
  QLineEdit* ScriptPathEdit() const { return PathEdit; }
  QLineEdit* UpdateAddressEdit() const { return UpdateEdit; }
  QCheckBox* AllCharsBox() const { return AllChars; }
  QCheckBox* SamePageBox() const { return SamePage; }
  QCheckBox* ConfirmationBox() const { return Confirmation; }
  QCheckBox* ModifiedOnlyBox() const { return ModifiedOnly; }
  QListWidget* FileTypes() const { return FileTypeList; }
  QPushButton* OffsetFontBox() const { return OffsetFontBtn; }
  QPushButton* ScriptFontBox() const { return ScriptFontBtn; }
  QPushButton* HighLightColorBox() const { return HighLightBtn; }

private:
  void FillControls();
  void ShowFont(QPushButton* box, const TFontOption& font);
  void ShowColor(QPushButton* box, TColor color);
  void PickFont(QPushButton* box, TFontOption& font);
  void PickColor(QPushButton* box, TColor& color);

  THexEditOptions HexCopy;
  TProgrammerOptions ProgrammerCopy;
  TScriptOptions ScriptCopy;

  QTabWidget* PageControl1;
  QListWidget* FileTypeList;
  QLineEdit *UndoEdit, *GroupEdit, *PerLineEdit, *PathEdit, *UpdateEdit;
  QCheckBox *AllChars, *SamePage, *Confirmation, *ModifiedOnly;
  QPushButton *OffsetFontBtn, *HexFontBtn, *TextFontBtn, *ScriptFontBtn;
  QPushButton *HighLightBtn, *HighLightTextBtn, *BackGroundBtn, *ModifiedBtn;
};

// Registers the extensions for the current user the freedesktop way (Linux)
// or under the user's classes key (Windows); an error text or empty.
QString RegisterFileTypesForUser(const std::vector<std::string>& exts, const QString& program);
