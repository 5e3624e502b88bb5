#pragma once

#include <QString>
#include <functional>
#include <string>

#include "editor/findreplace.h"
#include "families/framedpage.h"
#include "shell/ui/bpage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QToolBar;
class QToolButton;
class TDevGroupFrameView;
class TE2MemoryFrameView;
class THC05BConFrameView;
class THexEditOptions;
class TXHexEditView;

// The programmer page: one hex buffer paired with one device. Left, the hex
// editor above the status panel (monitor, find and main bars); right, beside
// a splitter, the "Programmer" tab (device box, description, the device's
// frame) and the "Connections" tab. While active it drives the main window's
// shared editing actions.
class THepPage : public TBasePage, public TFramedPage {
  Q_OBJECT
public:
  explicit THepPage(TMainForm& mainForm, QWidget* parent = nullptr);
  ~THepPage() override;

  // ---- TBasePage
  TBasePage* Activate() override;
  // Empty path: a new buffer "Untited<n>" and the last chosen device. A path
  // that cannot be read leaves the buffer as it was, warns "I/O Error " and
  // returns false (the main window then drops a page it made for the open).
  bool OpenFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  void ConnectActions() override;
  bool CloseQuery() override;
  std::string GetFileName() override;

  // ---- TDevicePage
  void SetDeviceInfo(const std::string& text, const std::string& hint) override;
  void BringToFront(const std::string& frame) override;
  void* MemoryFrame() override { return &E2MemoryFrame; }
  void* ConnectionFrame() override { return &ConnectionPanel; }

  // ---- commands
  bool Save();                      // Save As while the page was never saved
  bool SaveAs();                    // the dialog, then SaveFile and the recent files
  void SelectDeviceItem(int index); // the user's choice in the device box
  void AllDevicesClick();           // the small button beside the box
  void RefreshStatusPanel();
  bool GoToOffset(const QString& text);       // Enter in the offset edit; false beeps
  bool EnterCurrentData(const QString& text); // Enter in the data edit; false beeps
  void OffsetBtnClick();
  void DataBtnClick();
  void SizeBtnClick();
  void MonitorLengthClick();
  void MonitorOrderClick();
  void CrcBtnClick();
  void InsertBtnClick();
  void FindEditChanged(const QString& text);
  void ReplaceEditChanged(const QString& text);
  void ToggleFindHex();
  void MarkModified();
  void UnmarkModified();
  void FillCurrentValue(); // the selection := the current-data edit's byte
  void ProgramModifiedOnlyClick(bool checked);
  void ApplyHexOptions(const THexEditOptions& options);

  // ---- script operations on the frame in front
  bool HasDeviceFrame() const;
  bool PressReadButton();
  bool PressProgramButton();
  bool PressVerifyButton();
  bool SetProgramModifiedOnlyCheck(bool checked);
  bool SetAddressRange(int start, int end);
  TPanelButton* FindFrameButton(const std::string& caption);
  QWidget* GetActiveFrame() const;

  // ---- widgets (tests and scripts look at them)
  TXHexEditView* HexView() const { return XHexEditView; }
  QComboBox* DeviceBox() const { return DeviceSelectBox1; }
  QToolButton* AllDevicesButton() const { return AllDevicesBtn; }
  QLabel* DeviceInfoLabel() const { return DeviceInfoText1; }
  QTabWidget* RightTabs() const { return PageControl; }
  QStackedWidget* Frames() const { return FrameStack; }
  TDevGroupFrameView* GroupFrameView() const { return GroupView; }
  TE2MemoryFrameView* MemoryFrameView() const { return MemoryView; }
  THC05BConFrameView* ConnectionFrameView() const { return ConnectionView; }
  QLabel* NotBuiltLabel() const { return NotBuilt; }
  QToolBar* MonitorBar() const { return MonitorBar1; }
  QToolBar* FindBar() const { return FindBar1; }
  QToolBar* MainBar() const { return MainBar1; }
  QLineEdit* MonitorEdit() const { return MonitorEdit1; }
  QLineEdit* FindEdit() const { return FindEdit1; }
  QLineEdit* ReplaceEdit() const { return ReplaceEdit1; }
  QLineEdit* OffsetEdit() const { return OffsetEdit1; }
  QLineEdit* DataEdit() const { return DataEdit1; }
  QLineEdit* SizeEdit() const { return SizeEdit1; }
  QLineEdit* CrcEdit() const { return CrcEdit1; }
  QToolButton* Button(const QString& objectName) const;
  QSplitter* Splitter() const { return Splitter1; }

  TFindReplace FindReplace;

  // The control's beep (go-to and data edits, find-bar tokens). Tests count it.
  std::function<void()> OnBeep;

  // ---- shared by every programmer page
  // The hex editor options and the program-modified-only default (set by the
  // program's settings; defaults when unset).
  static const THexEditOptions* HexOptions;
  static bool ProgramModifiedOnlyDef;
  static int PanelWidth; // the right-hand panel's width
  static THepPage* LastProgrammerPage;
  // Runs after a device is attached to any page (the virtual socket follows it).
  static std::function<void(THepPage& page, TDevice& device)> OnDeviceAttached;

  // "Any File (*.*)|*.*|Binary file (*.bin)|..." of the Save As dialog.
  static const char* const SaveFilter;

private:
  void BuildLeft(QWidget* left);
  void BuildRight(QWidget* right);
  QToolButton* AddBarButton(QToolBar* bar, const char* name, const QString& caption,
                            const QString& hint);
  QToolButton* AddActionButton(QToolBar* bar, const char* name, const QString& caption,
                               const QString& hint, const char* actionName);
  QLineEdit* AddBarEdit(QToolBar* bar, const char* name, const QString& hint, int chars);
  void HookEditor();
  void AfterAttach();
  void SyncDeviceBox();
  void RefreshFrames();
  void UpdateFindActions();
  void UpdateSelectionActions();
  void UpdateTitle();
  void ApplyMasks();
  void ToggleBar(const char* actionName, QToolBar* bar);
  void ShowBars();
  bool IsActive() const;
  bool AskSaveBeforeReplacing();
  void Beep();
  bool ModifiedColour(int32_t offset, QColor& colour) const;

  TXHexEditView* XHexEditView = nullptr;
  QSplitter* Splitter1 = nullptr;
  QToolBar *MonitorBar1 = nullptr, *FindBar1 = nullptr, *MainBar1 = nullptr;
  QLineEdit *MonitorEdit1 = nullptr, *FindEdit1 = nullptr, *ReplaceEdit1 = nullptr,
            *OffsetEdit1 = nullptr, *DataEdit1 = nullptr, *SizeEdit1 = nullptr, *CrcEdit1 = nullptr;
  QToolButton *LengthBtn = nullptr, *OrderBtn = nullptr, *InsertBtn = nullptr,
              *AllDevicesBtn = nullptr;
  QTabWidget* PageControl = nullptr;
  QComboBox* DeviceSelectBox1 = nullptr;
  QLabel* DeviceInfoText1 = nullptr;
  QStackedWidget* FrameStack = nullptr;
  TDevGroupFrameView* GroupView = nullptr;
  TE2MemoryFrameView* MemoryView = nullptr;
  THC05BConFrameView* ConnectionView = nullptr;
  QLabel* NotBuilt = nullptr;
  QMenu* EditorMenu = nullptr;
  bool EverOpened = false;     // false until the first successful OpenFile
  bool MarksCollected = false; // what the marks list last followed
  bool SyncQueued = false;
};

// The programmer page kind of the main window: its factory and the window's
// way from a page to its device side.
void RegisterProgrammerPage(TMainForm& form);
