#include "editor/ui/xform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "devices/devbase.h"
#include "editor/crc32.h"
#include "editor/datafile.h"
#include "editor/statuspanel.h"
#include "editor/ui/replaceform.h"
#include "editor/ui/xhexeditview.h"
#include "families/placeholders.h"
#include "families/ui/devgroupframeview.h"
#include "families/ui/e2memframeview.h"
#include "families/ui/hc05bconframeview.h"
#include "shell/hexeditopt.h"
#include "shell/ui/mainwin.h"
#include "shell/windowtitle.h"

const THexEditOptions* THepPage::HexOptions = nullptr;
bool THepPage::ProgramModifiedOnlyDef = false;
int THepPage::PanelWidth = 150;
THepPage* THepPage::LastProgrammerPage = nullptr;
std::function<void(THepPage&, TDevice&)> THepPage::OnDeviceAttached;
const char* const THepPage::SaveFilter =
    "Any File (*.*)|*.*|Binary file (*.bin)|*.bin|Intel Hex Format file (*.hex)|*.hex|"
    "Motorola S Format file (*.s19, *.s28, *.s37, *.mot)|*.s19;*.s28;*.s37;*.mot";

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// The find bar's texts are byte patterns: one character per byte.
std::string Bytes(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
QString Bytes(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QColor ToQColor(TColor c) {
  return QColor(static_cast<int>(c & 255), static_cast<int>((c >> 8) & 255),
                static_cast<int>((c >> 16) & 255));
}

// A hex grid needs equal widths: a font that is not fixed-pitch here gives
// way to the desktop's fixed font of the same size.
QFont ToQFont(const TFontOption& option) {
  QFont font(Q(option.Name));
  if (option.Size > 0) font.setPointSize(option.Size);
  font.setStyleHint(QFont::TypeWriter);
  if (QFontInfo(font).fixedPitch()) return font;
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (option.Size > 0) fixed.setPointSize(option.Size);
  return fixed;
}

const THexEditOptions& DefaultHexOptions() {
  static const THexEditOptions options;
  return options;
}

// Edits that turn white while they have the focus and take Enter themselves.
class TEditWatcher : public QObject {
public:
  std::function<void(QLineEdit*)> OnEnter, OnFocusIn, OnFocusOut;
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit) return false;
    switch (event->type()) {
    case QEvent::FocusIn: {
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, Qt::white);
      edit->setPalette(p);
      if (OnFocusIn) OnFocusIn(edit);
      break;
    }
    case QEvent::FocusOut: {
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, p.color(QPalette::Button));
      edit->setPalette(p);
      if (OnFocusOut) OnFocusOut(edit);
      break;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && OnEnter) {
        OnEnter(edit);
        return true; // consumed
      }
      break;
    }
    default:
      break;
    }
    return false;
  }
};

} // namespace

// ---------------------------------------------------------------- creation

THepPage::THepPage(TMainForm& mainForm, QWidget* parent)
    : TBasePage(mainForm, TPageKind::Programmer, parent) {
  setObjectName(QStringLiteral("HepPage"));
  OnBeep = [] { QApplication::beep(); };

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setChildrenCollapsible(false);
  layout->addWidget(Splitter1);
  auto* left = new QWidget(Splitter1);
  auto* right = new QWidget(Splitter1);
  right->setObjectName(QStringLiteral("RightPanel"));
  BuildLeft(left);
  BuildRight(right);
  Splitter1->addWidget(left);
  Splitter1->addWidget(right);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setStretchFactor(1, 0);
  connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
    // Every page opening a file takes the width the user left.
    const QList<int> sizes = Splitter1->sizes();
    if (sizes.size() == 2 && sizes[1] > 0) PanelWidth = sizes[1];
  });

  XHexEdit1 = &XHexEditView->Buffer();
  HookEditor();

  ModifiedList.OnChange = [this](TModifiedList&) {
    if (IsActive()) Actions()["UnmarkModifiedAction"].SetEnabled(ModifiedList.Count() > 0);
  };
  ProgramModifiedOnly = ProgramModifiedOnlyDef;
  MarksCollected = ProgramModifiedOnly;
  E2MemoryFrame.ProgramModifiedOnlyCheck.Checked = ProgramModifiedOnlyDef;
  MemoryView->Refresh();
  FindReplace.FindHex = true;
  FindReplace.MatchCase = false;

  // The group entries, the first shown as chosen without attaching it.
  FillDeviceList(TE2Opr{oDeviceGroup});
  if (DeviceSelectBox.Count() > 0) DeviceSelectBox.ItemIndex = 0;
  SyncDeviceBox();
  BringToFront("group");
}

THepPage::~THepPage() {
  if (LastProgrammerPage == this) LastProgrammerPage = nullptr;
  // The widgets go first: they hold the panel models and the buffer, which
  // the bases own or outlive.
  XHexEdit1->OnMoveCaret = nullptr;
  XHexEdit1->OnChange = nullptr;
  XHexEdit1->OnUndoRedo = nullptr;
  XHexEdit1->OnChangeSelection = nullptr;
  XHexEdit1->OnModified = nullptr;
  XHexEdit1->OnChangeInputMode = nullptr;
  XHexEdit1->OnBeforeReplace = nullptr;
  ModifiedList.OnChange = nullptr;
  if (Device) Device->DetachPage(this);
  delete Splitter1;
  XHexEdit1 = nullptr;
}

QToolButton* THepPage::AddBarButton(QToolBar* bar, const char* name, const QString& caption,
                                    const QString& hint) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(caption);
  button->setToolTip(hint);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar->addWidget(button);
  return button;
}

// A bar button that runs a shared action and mirrors its enabled and checked
// state, keeping its own caption.
QToolButton* THepPage::AddActionButton(QToolBar* bar, const char* name, const QString& caption,
                                       const QString& hint, const char* actionName) {
  QToolButton* button = AddBarButton(bar, name, caption, hint);
  QAction* action = MainForm.QtAction(actionName);
  if (!action) return button;
  button->setCheckable(action->isCheckable());
  auto mirror = [button, action] {
    button->setEnabled(action->isEnabled());
    if (action->isCheckable()) button->setChecked(action->isChecked());
  };
  mirror();
  connect(action, &QAction::changed, button, mirror);
  connect(button, &QToolButton::clicked, action, [action] { action->trigger(); });
  return button;
}

QLineEdit* THepPage::AddBarEdit(QToolBar* bar, const char* name, const QString& hint, int chars) {
  auto* edit = new QLineEdit(bar);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setToolTip(hint);
  if (chars > 0)
    edit->setFixedWidth(
        edit->fontMetrics().horizontalAdvance(QString(chars + 2, QLatin1Char('0'))) + 12);
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, p.color(QPalette::Button));
  edit->setPalette(p);
  bar->addWidget(edit);
  return edit;
}

void THepPage::BuildLeft(QWidget* left) {
  auto* column = new QVBoxLayout(left);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  XHexEditView = new TXHexEditView(left);
  XHexEditView->setObjectName(QStringLiteral("XHexEdit1"));
  column->addWidget(XHexEditView, 1);

  auto* watcher = new TEditWatcher(this);

  // Monitor bar
  MonitorBar1 = new QToolBar(QStringLiteral("Monitor"), left);
  MonitorBar1->setObjectName(QStringLiteral("MonitorBar"));
  LengthBtn = AddBarButton(MonitorBar1, "MonitorLengthBtn",
                           QString::fromLatin1(TStatusPanel::MonitorLengthCaptionNow()),
                           QStringLiteral("Data Length"));
  OrderBtn = AddBarButton(MonitorBar1, "MonitorOrderBtn",
                          QString::fromLatin1(TStatusPanel::MonitorOrderCaptionNow()),
                          QStringLiteral("Data Order"));
  MonitorEdit1 =
      AddBarEdit(MonitorBar1, "MonitorEdit", QStringLiteral("Unsigned/Signed/Float "), 0);
  MonitorEdit1->setReadOnly(true);
  MonitorEdit1->setMinimumWidth(MonitorEdit1->fontMetrics().horizontalAdvance(QString(60, 'W')) /
                                2);
  connect(LengthBtn, &QToolButton::clicked, this, &THepPage::MonitorLengthClick);
  connect(OrderBtn, &QToolButton::clicked, this, &THepPage::MonitorOrderClick);
  column->addWidget(MonitorBar1);

  // Find bar
  FindBar1 = new QToolBar(QStringLiteral("Find"), left);
  FindBar1->setObjectName(QStringLiteral("FindBar"));
  QToolButton* hexBtn =
      AddActionButton(FindBar1, "FindHexBtn", QStringLiteral("Hex"), QString(), "FindHexAction");
  // The toggle's caption says the mode ("Hex" or "Text").
  if (QAction* a = MainForm.QtAction("FindHexAction"))
    connect(a, &QAction::changed, hexBtn,
            [this, hexBtn] { hexBtn->setText(QString::fromLatin1(FindReplace.HexCaption())); });
  FindEdit1 = AddBarEdit(FindBar1, "FindEdit", QStringLiteral("Find Data"), 24);
  AddActionButton(FindBar1, "PrevBtn", QStringLiteral("Prev"), QString(), "PrevAction");
  AddActionButton(FindBar1, "NextBtn", QStringLiteral("Next"), QString(), "NextAction");
  ReplaceEdit1 = AddBarEdit(FindBar1, "ReplaceEdit", QStringLiteral("Replace Data"), 24);
  AddActionButton(FindBar1, "ReplaceBtn", QStringLiteral("Replace"), QString(), "ReplaceAction");
  AddActionButton(FindBar1, "ReplaceAllBtn", QStringLiteral("All"), QString(), "ReplaceAllAction");
  connect(FindEdit1, &QLineEdit::textEdited, this, &THepPage::FindEditChanged);
  connect(ReplaceEdit1, &QLineEdit::textEdited, this, &THepPage::ReplaceEditChanged);
  column->addWidget(FindBar1);

  // Main bar
  MainBar1 = new QToolBar(QStringLiteral("Status"), left);
  MainBar1->setObjectName(QStringLiteral("MainBar"));
  QToolButton* offsetBtn = AddBarButton(MainBar1, "OffsetBtn", QStringLiteral("Offset"),
                                        QStringLiteral("Hex/Dec/Octal Offset"));
  OffsetEdit1 = AddBarEdit(MainBar1, "OffsetEdit", QStringLiteral("Go to Offset"), 7);
  QToolButton* dataBtn = AddBarButton(MainBar1, "DataBtn", QStringLiteral("Data"),
                                      QStringLiteral("Hex/Dec/Octal/Bin Data"));
  DataEdit1 = AddBarEdit(MainBar1, "DataEdit", QStringLiteral("Current Data"), 3);
  QToolButton* sizeBtn = AddBarButton(MainBar1, "SizeBtn", QStringLiteral("Size"),
                                      QStringLiteral("Hex/Dec/Octal File Size"));
  SizeEdit1 = AddBarEdit(MainBar1, "SizeEdit", QStringLiteral("File Size"), 9);
  SizeEdit1->setReadOnly(true);
  QToolButton* crcBtn = AddBarButton(MainBar1, "CrcBtn", QStringLiteral("CRC"), QString());
  CrcEdit1 = AddBarEdit(MainBar1, "CrcEdit", QString(), 9);
  CrcEdit1->setReadOnly(true);
  InsertBtn = AddBarButton(MainBar1, "InsertBtn", QStringLiteral("Over"),
                           QStringLiteral("Toggle Input Mode"));
  AddActionButton(MainBar1, "FindBarBtn", QStringLiteral("Find/Replace"), QString(),
                  "FindBarAction");
  AddActionButton(MainBar1, "MonitorBarBtn", QStringLiteral("Monitor"), QString(),
                  "MonitorBarAction");
  connect(offsetBtn, &QToolButton::clicked, this, &THepPage::OffsetBtnClick);
  connect(dataBtn, &QToolButton::clicked, this, &THepPage::DataBtnClick);
  connect(sizeBtn, &QToolButton::clicked, this, &THepPage::SizeBtnClick);
  connect(crcBtn, &QToolButton::clicked, this, &THepPage::CrcBtnClick);
  connect(InsertBtn, &QToolButton::clicked, this, &THepPage::InsertBtnClick);
  column->addWidget(MainBar1);

  for (QLineEdit* edit : {FindEdit1, ReplaceEdit1, OffsetEdit1, DataEdit1})
    edit->installEventFilter(watcher);
  watcher->OnEnter = [this](QLineEdit* edit) {
    if (edit == OffsetEdit1)
      GoToOffset(OffsetEdit1->text());
    else if (edit == DataEdit1)
      EnterCurrentData(DataEdit1->text());
  };
  watcher->OnFocusIn = [this](QLineEdit* edit) {
    if (edit != DataEdit1 || !XHexEdit1) return;
    // The byte the edit stands for is shown selected.
    const int32_t caret = XHexEdit1->CaretOffset();
    XHexEdit1->SetSelection(true, caret, caret);
    XHexEdit1->RefreshView();
  };
  watcher->OnFocusOut = [this](QLineEdit* edit) {
    if (!XHexEdit1) return;
    if (edit == DataEdit1) {
      int32_t s = 0, e = 0;
      XHexEdit1->GetSelection(s, e);
      XHexEdit1->SetSelection(false, s, e);
      XHexEdit1->RefreshView();
    } else if (edit == FindEdit1 || edit == ReplaceEdit1) {
      UpdateFindActions();
    }
  };
  ApplyMasks();

  // The editor's menu: the shared actions, as the main menu has them.
  EditorMenu = new QMenu(this);
  for (const char* name : {"CloseAction", "-", "UndoAction", "RedoAction", "-", "CutAction",
                           "CopyAction", "PasteAction", "DeleteAction", "-", "NumPerLineAction"}) {
    if (name[0] == '-')
      EditorMenu->addSeparator();
    else if (QAction* a = MainForm.QtAction(name))
      EditorMenu->addAction(a);
  }
  XHexEditView->SetContextMenu(EditorMenu);
}

void THepPage::BuildRight(QWidget* right) {
  auto* column = new QVBoxLayout(right);
  column->setContentsMargins(0, 0, 0, 0);
  PageControl = new QTabWidget(right);
  PageControl->setObjectName(QStringLiteral("PageControl1"));
  // Both tab captions stay readable however narrow the panel is made.
  PageControl->setUsesScrollButtons(false);
  column->addWidget(PageControl);

  auto* programmer = new QWidget;
  programmer->setObjectName(QStringLiteral("ProgrammerTab"));
  auto* pcol = new QVBoxLayout(programmer);
  pcol->setContentsMargins(4, 4, 4, 4);
  auto* row = new QHBoxLayout;
  DeviceSelectBox1 = new QComboBox(programmer);
  DeviceSelectBox1->setObjectName(QStringLiteral("DeviceSelectBox"));
  DeviceSelectBox1->setMaxVisibleItems(30);
  DeviceSelectBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  DeviceSelectBox1->setMinimumContentsLength(12);
  row->addWidget(DeviceSelectBox1, 1);
  AllDevicesBtn = new QToolButton(programmer);
  AllDevicesBtn->setObjectName(QStringLiteral("AllDevicesBtn"));
  AllDevicesBtn->setText(QStringLiteral("All"));
  AllDevicesBtn->setToolTip(QStringLiteral("All Devices"));
  row->addWidget(AllDevicesBtn);
  pcol->addLayout(row);
  DeviceInfoText1 = new QLabel(programmer);
  DeviceInfoText1->setObjectName(QStringLiteral("DeviceInfoText"));
  DeviceInfoText1->setWordWrap(true);
  pcol->addWidget(DeviceInfoText1);
  FrameStack = new QStackedWidget(programmer);
  FrameStack->setObjectName(QStringLiteral("FrameStack"));
  GroupView = new TDevGroupFrameView(*this, FrameStack);
  MemoryView = new TE2MemoryFrameView(E2MemoryFrame, FrameStack);
  NotBuilt = new QLabel(FrameStack);
  NotBuilt->setObjectName(QStringLiteral("NotBuiltLabel"));
  NotBuilt->setWordWrap(true);
  NotBuilt->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  FrameStack->addWidget(GroupView);
  FrameStack->addWidget(MemoryView);
  FrameStack->addWidget(NotBuilt);
  pcol->addWidget(FrameStack, 1);
  PageControl->addTab(programmer, QStringLiteral("Programmer"));

  auto* connections = new QWidget;
  connections->setObjectName(QStringLiteral("ConnectionsTab"));
  auto* ccol = new QVBoxLayout(connections);
  ccol->setContentsMargins(4, 4, 4, 4);
  ConnectionView = new THC05BConFrameView(ConnectionPanel, connections);
  ccol->addWidget(ConnectionView, 1);
  PageControl->addTab(connections, QStringLiteral("Connections"));

  // The choice runs after the box has closed its list: attaching may refill it.
  connect(DeviceSelectBox1, &QComboBox::activated, this, &THepPage::SelectDeviceItem,
          Qt::QueuedConnection);
  connect(AllDevicesBtn, &QToolButton::clicked, this, &THepPage::AllDevicesClick);
  // After a panel's button has run its operation, the buffer and the status
  // panel show the outcome.
  for (QPushButton* button : MemoryView->findChildren<QPushButton*>())
    connect(button, &QPushButton::clicked, this, [this] {
      RefreshStatusPanel();
      UpdateTitle();
    });
  connect(MemoryView->ProgramModifiedOnlyBox(), &QCheckBox::clicked, this,
          &THepPage::ProgramModifiedOnlyClick);
}

void THepPage::HookEditor() {
  TXHexEdit& e = *XHexEdit1;
  e.OnMoveCaret = [this](TXHexEdit&, int32_t) { RefreshStatusPanel(); };
  e.OnChangeInputMode = [this](TXHexEdit&, bool insert) {
    InsertBtn->setText(insert ? QStringLiteral("Insert") : QStringLiteral("Over"));
  };
  e.OnChange = [this](TXHexEdit&, uint8_t, int32_t offset) {
    if (ProgramModifiedOnly) ModifiedList.AddOffset(offset);
  };
  e.OnUndoRedo = [this](TXHexEdit&, bool undo, bool redo) {
    if (!IsActive()) return;
    Actions()["UndoAction"].SetEnabled(undo);
    Actions()["RedoAction"].SetEnabled(redo);
  };
  e.OnChangeSelection = [this](TXHexEdit&, bool, int32_t, int32_t) { UpdateSelectionActions(); };
  e.OnModified = [this](TXHexEdit&, bool) { UpdateTitle(); };
  e.OnBeforeReplace = [this](TXHexEdit&, int32_t, int32_t, bool& cancel) {
    FindReplace.BeforeReplace(cancel);
  };

  TXHexEditView& v = *XHexEditView;
  v.OnDrawHex = [this](int32_t offset, QColor& colour) { return ModifiedColour(offset, colour); };
  v.OnDrawText = v.OnDrawHex;
  v.OnPasteEnable = [this](bool enable) {
    if (!IsActive()) return;
    Actions()["PasteAction"].SetEnabled(enable);
    Actions()["PasteHexAction"].SetEnabled(enable);
  };
  v.OnBeforeDrop = [this] { return AskSaveBeforeReplacing(); };
  v.OnDropFile = [this](const std::string&) {
    SetCaption(Q(XHexEdit1->GetFileTitle()));
    RefreshStatusPanel();
  };
  v.OnClose = [this] {
    // Out of the editor's own handler before the page goes.
    QPointer<THepPage> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
          if (!self) return;
          TMainForm& form = self->MainForm;
          if (form.GetActivePage() == self) {
            form.ClosePage();
          } else if (self->CloseQuery()) {
            form.DestroyPage(self);
            // Destroying a page takes the window's commands away from the
            // page in front: it takes them back.
            if (TBasePage* active = form.GetActivePage()) active->Activate();
          }
        },
        Qt::QueuedConnection);
  };
}

// ---------------------------------------------------------------- TBasePage

bool THepPage::IsActive() const {
  return MainForm.GetActivePage() == this;
}

TBasePage* THepPage::Activate() {
  XHexEditView->ResetView();
  InsertBtn->setText(TXHexEdit::InsertMode() ? QStringLiteral("Insert") : QStringLiteral("Over"));
  ShowBars();
  ConnectActions();
  // The device takes this page's buffer, range and panels back.
  TDevicePage::Activate();
  RefreshFrames();
  RefreshStatusPanel();
  UpdateTitle();
  return this;
}

bool THepPage::AskSaveBeforeReplacing() {
  if (!XHexEdit1->Modified()) return true;
  if (MainForm.AskYesNo("Warning", "Save changes to " + XHexEdit1->FileName() + "?") !=
      TAnswer::Yes)
    return true;
  // A failed or abandoned save keeps the buffer: nothing replaces it.
  return Save();
}

bool THepPage::OpenFile(const std::string& path) {
  const int32_t before = XHexEdit1->DataSize();
  if (!AskSaveBeforeReplacing()) return false;
  ApplyHexOptions(HexOptions ? *HexOptions : DefaultHexOptions());
  const int total = std::max(Splitter1->width(), PanelWidth + 200);
  Splitter1->setSizes({total - PanelWidth, PanelWidth});
  if (path.empty()) {
    XHexEdit1->NewData(MainForm.NewPageName(), 0);
  } else {
    const TLoadResult result = LoadDataFile(path, *XHexEdit1);
    if (result.Status != TLoadStatus::Loaded) {
      // The buffer is as it was; the page itself is the caller's to keep or drop.
      if (!result.Message.empty()) MainForm.AddMessage(result.Message);
      MainForm.ShowWarning("Warning", "I/O Error ");
      return false;
    }
  }
  SetCaption(Q(XHexEdit1->GetFileTitle()));
  if (XHexEdit1->DataSize() < before) XHexEdit1->SetLastIndex(before - 1);
  if (!EverOpened) {
    EverOpened = true;
    // A new page takes the last chosen device; a page made for a file, the list of all.
    if (path.empty())
      NewPageSelection();
    else
      SelectDeviceByName("gdevall");
    AfterAttach();
  }
  XHexEditView->ResetView();
  RefreshStatusPanel();
  UpdateTitle();
  return true;
}

bool THepPage::SaveFile(const std::string& path) {
  if (!XHexEdit1->SaveToFile(path)) return false;
  NeverSaved = false;
  SetCaption(Q(XHexEdit1->GetFileTitle()));
  UpdateTitle();
  return true;
}

bool THepPage::Save() {
  return NeverSaved ? SaveAs() : SaveFile("");
}

bool THepPage::SaveAs() {
  return SaveAsDialog(XHexEdit1->FileName(), SaveFilter, "bin");
}

bool THepPage::CloseQuery() {
  // Through Save As when the page has no file yet.
  return !XHexEdit1->Modified() || AskSaveChanges(XHexEdit1->FileName(), [this] { return Save(); });
}

std::string THepPage::GetFileName() {
  return XHexEdit1->FileName();
}

void THepPage::ConnectActions() {
  TActionBinder& a = Actions();
  TXHexEdit& e = *XHexEdit1;
  TXHexEditView& v = *XHexEditView;
  const bool sel = e.SelActive();
  a["FindHexAction"].Caption = FindReplace.HexCaption();
  a["FindHexAction"].Bind([this](void*) { ToggleFindHex(); });
  auto search = [this](bool forward) {
    if (forward)
      FindReplace.Next(*XHexEdit1);
    else
      FindReplace.Prev(*XHexEdit1);
    XHexEditView->ScrollToCaret();
  };
  a["PrevAction"].Bind([search](void*) { search(false); });
  a["NextAction"].Bind([search](void*) { search(true); });
  auto replace = [this](bool all) {
    // The find bar's replacements ask as the dialog's check box says.
    FindReplace.PromptOnReplace = ReplaceForm().PromptBox->isChecked();
    if (all)
      FindReplace.ReplaceAll(*XHexEdit1);
    else
      FindReplace.Replace(*XHexEdit1);
    XHexEditView->ScrollToCaret();
    RefreshStatusPanel();
  };
  a["ReplaceAction"].Bind([replace](void*) { replace(false); });
  a["ReplaceAllAction"].Bind([replace](void*) { replace(true); });
  a["UndoAction"].Bind([this](void*) { XHexEdit1->Undo(); }, e.CanUndo());
  a["RedoAction"].Bind([this](void*) { XHexEdit1->Redo(); }, e.CanRedo());
  a["CutAction"].Bind([this](void*) { XHexEditView->CutToClipboard(); }, sel);
  a["CopyAction"].Bind([this](void*) { XHexEditView->CopyToClipboard(); }, sel);
  a["PasteAction"].Bind([this](void*) { XHexEditView->PasteFromClipboard(); }, v.CanPaste());
  a["DeleteAction"].Bind([this](void*) { XHexEdit1->DeleteAtCaret(); }, sel);
  a["SelectAllAction"].Bind([this](void*) { XHexEdit1->SelectAll(); });
  a["CopyDumpAction"].Bind([this](void*) { XHexEditView->CopyDumpToClipboard(); }, sel);
  a["PasteHexAction"].Bind([this](void*) { XHexEditView->PasteHexFromClipboard(); }, v.CanPaste());
  a["Fill00hAction"].Bind([this](void*) { XHexEdit1->FillSelection(0x00); }, sel);
  a["FillFFhAction"].Bind([this](void*) { XHexEdit1->FillSelection(0xFF); }, sel);
  a["FillRandomAction"].Bind([this](void*) { XHexEdit1->FillRandom(); });
  a["FillCounterAction"].Bind([this](void*) { XHexEdit1->FillCounter(); });
  a["FillCurrentAction"].Bind([this](void*) { FillCurrentValue(); }, sel);
  a["SwapBytesAction"].Bind([this](void*) { XHexEdit1->SwapBytes(); }, sel);
  a["MonitorBarAction"].Bind([this](void*) { ToggleBar("MonitorBarAction", MonitorBar1); });
  a["FindBarAction"].Bind([this](void*) { ToggleBar("FindBarAction", FindBar1); });
  a["MarkModifiedAction"].Bind([this](void*) { MarkModified(); }, sel && ProgramModifiedOnly);
  a["UnmarkModifiedAction"].Bind([this](void*) { UnmarkModified(); }, ModifiedList.Count() > 0);
  a["PrintAction"].Bind([this](void*) { XHexEditView->PrintWithDialog(); });
  a["SaveAction"].Bind([this](void*) { Save(); });
  a["SaveAsAction"].Bind([this](void*) { SaveAs(); });
  a["NumPerLineAction"].Bind([this](void*) { XHexEditView->CycleBytesPerLine(); });
  a["ReplaceFormAction"].Bind([this](void*) {
    ReplaceForm().Run(*XHexEdit1, FindReplace);
    XHexEditView->ScrollToCaret();
    RefreshStatusPanel();
  });
  a["CloseAction"].SetEnabled(true);
  a["CompareBinFilesAction"].SetEnabled(true);
  UpdateFindActions();
}

// ---------------------------------------------------------------- device side

void THepPage::SetDeviceInfo(const std::string& text, const std::string& hint) {
  TDevicePage::SetDeviceInfo(text, hint);
  DeviceInfoText1->setText(Q(text));
  DeviceInfoText1->setToolTip(Q(hint));
  LastProgrammerPage = this;
  if (Device && OnDeviceAttached) OnDeviceAttached(*this, *Device);
  // Attaching may come from a panel (the group list): the widgets follow once
  // it has finished.
  if (!SyncQueued) {
    SyncQueued = true;
    QPointer<THepPage> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
          if (!self) return;
          self->SyncQueued = false;
          self->AfterAttach();
        },
        Qt::QueuedConnection);
  }
}

void THepPage::BringToFront(const std::string& frame) {
  TDevicePage::BringToFront(frame);
  const QString name = Q(frame);
  if (frame == "group" || name == GroupView->objectName()) {
    GroupView->Refresh();
    FrameStack->setCurrentWidget(GroupView);
  } else if (frame == "memory" || frame == E2MemoryFrame.Name) {
    MemoryView->Refresh();
    FrameStack->setCurrentWidget(MemoryView);
  } else if (frame == "connection" || frame == ConnectionPanel.Name) {
    ConnectionView->Refresh();
  } else {
    NotBuilt->setText(QStringLiteral("The %1 panel is not built yet.").arg(name));
    FrameStack->setCurrentWidget(NotBuilt);
  }
  SyncDeviceBox();
}

void THepPage::SyncDeviceBox() {
  const QSignalBlocker block(DeviceSelectBox1);
  const std::vector<std::string> texts = DeviceSelectBox.Texts();
  bool same = DeviceSelectBox1->count() == static_cast<int>(texts.size());
  for (int i = 0; same && i < DeviceSelectBox1->count(); ++i)
    same = DeviceSelectBox1->itemText(i).toStdString() == texts[static_cast<std::size_t>(i)];
  if (!same) {
    DeviceSelectBox1->clear();
    for (const std::string& text : texts)
      DeviceSelectBox1->addItem(Q(text));
  }
  DeviceSelectBox1->setCurrentIndex(DeviceSelectBox.ItemIndex);
}

void THepPage::RefreshFrames() {
  GroupView->Refresh();
  MemoryView->Refresh();
  ConnectionView->Refresh();
}

void THepPage::AfterAttach() {
  SyncDeviceBox();
  // A family whose panel is not written yet must not leave another device's
  // panel (and its buttons) in front.
  if (auto* placeholder = dynamic_cast<TPlaceholderDevice*>(Device)) {
    NotBuilt->setText(QStringLiteral("%1: the panel of the %2 family is not built yet.")
                          .arg(Q(placeholder->Name), QString::fromLatin1(placeholder->ClassName)));
    FrameStack->setCurrentWidget(NotBuilt);
  }
  RefreshFrames();
  MarksCollected = ProgramModifiedOnly;
  UpdateSelectionActions();
  RefreshStatusPanel();
  UpdateTitle();
}

void THepPage::SelectDeviceItem(int index) {
  if (index < 0 || index >= DeviceSelectBox.Count()) return;
  DeviceSelectBox.ItemIndex = index;
  DeviceSelectBoxChange();
  AfterAttach();
}

void THepPage::AllDevicesClick() {
  SelectDeviceByName("exit");
  SelectDeviceByName("gdevall");
  XHexEdit1->SetLastIndex(XHexEdit1->Capacity() - 1);
  XHexEdit1->RefreshView();
  AfterAttach();
}

void THepPage::ProgramModifiedOnlyClick(bool checked) {
  if (MarksCollected) ModifiedList.Clear();
  ProgramModifiedOnly = checked;
  MarksCollected = checked;
  E2MemoryFrame.ProgramModifiedOnlyCheck.Checked = checked;
  UpdateSelectionActions();
  XHexEditView->RefreshView();
}

// ---------------------------------------------------------------- script operations

bool THepPage::HasDeviceFrame() const {
  return FrameStack->currentWidget() == MemoryView;
}

QWidget* THepPage::GetActiveFrame() const {
  return FrameStack->currentWidget();
}

namespace {
bool ClickIfEnabled(QWidget* frame, const char* name) {
  auto* button = frame->findChild<QPushButton*>(QString::fromLatin1(name));
  if (button && button->isEnabled() && !button->isHidden()) button->click();
  return true;
}
} // namespace

bool THepPage::PressReadButton() {
  return HasDeviceFrame() && ClickIfEnabled(MemoryView, "ReadBtn");
}
bool THepPage::PressProgramButton() {
  return HasDeviceFrame() && ClickIfEnabled(MemoryView, "ProgramBtn");
}
bool THepPage::PressVerifyButton() {
  return HasDeviceFrame() && ClickIfEnabled(MemoryView, "VerifyBtn");
}

bool THepPage::SetProgramModifiedOnlyCheck(bool checked) {
  if (!HasDeviceFrame()) return false;
  QCheckBox* box = MemoryView->ProgramModifiedOnlyBox();
  if (box->isChecked() != checked) box->click();
  return true;
}

bool THepPage::SetAddressRange(int start, int end) {
  if (!HasDeviceFrame()) return false;
  return E2MemoryFrame.SetRange(start, end);
}

TPanelButton* THepPage::FindFrameButton(const std::string& caption) {
  if (!HasDeviceFrame()) return nullptr;
  Te2memoryFrame& f = E2MemoryFrame;
  for (TPanelButton* b :
       {&f.ReadBtn, &f.VerifyBtn, &f.ProgramBtn, &f.BlankCheckBtn, &f.EraseBtn,
        &f.ReadStatusRegisterBtn, &f.WriteStatusRegisterBtn, &f.ClearProtectRegisterBtn})
    if (b->Caption == caption) return b;
  return nullptr;
}

// ---------------------------------------------------------------- status panel

void THepPage::ApplyMasks() {
  const QString offsetMask =
      Q(TStatusPanel::QtInputMask(TStatusPanel::OffsetMask(XHexEditView->OffsetMode())));
  const QString dataMask = Q(
      TStatusPanel::QtInputMask(TStatusPanel::DataMask(XHexEdit1 ? XHexEdit1->HexMode() : hmHex)));
  // Setting a mask clears the edit: only a change of notation does it.
  if (OffsetEdit1->inputMask() != offsetMask) OffsetEdit1->setInputMask(offsetMask);
  if (DataEdit1->inputMask() != dataMask) DataEdit1->setInputMask(dataMask);
}

void THepPage::RefreshStatusPanel() {
  if (!XHexEdit1) return;
  ApplyMasks();
  LengthBtn->setText(QString::fromLatin1(TStatusPanel::MonitorLengthCaptionNow()));
  OrderBtn->setText(QString::fromLatin1(TStatusPanel::MonitorOrderCaptionNow()));
  const TStatusPanel::TTexts t = TStatusPanel::Texts(*XHexEdit1, XHexEditView->OffsetMode());
  if (!t.HasData) return;
  OffsetEdit1->setText(Q(t.Offset));
  DataEdit1->setText(Q(t.Data));
  SizeEdit1->setText(Q(t.Size));
  MonitorEdit1->setText(Q(t.Monitor));
  UpdateTitle();
}

void THepPage::UpdateTitle() {
  if (!XHexEdit1 || !IsActive()) return;
  if (XHexEdit1->ReadOnly)
    MainForm.setWindowTitle(Q(BaseWindowTitle() + XHexEdit1->FileName() + " - Read Only"));
  else
    MainForm.SetDocumentTitle(XHexEdit1->FileName(), XHexEdit1->Modified());
}

void THepPage::Beep() {
  if (OnBeep) OnBeep();
}

bool THepPage::GoToOffset(const QString& text) {
  if (!TStatusPanel::GoTo(*XHexEdit1, text.toStdString(), XHexEditView->OffsetMode())) {
    Beep();
    return false;
  }
  XHexEditView->ScrollToCaret();
  OffsetEdit1->selectAll();
  return true;
}

bool THepPage::EnterCurrentData(const QString& text) {
  if (!TStatusPanel::EnterData(*XHexEdit1, text.toStdString())) {
    Beep();
    return false;
  }
  XHexEditView->ScrollToCaret();
  DataEdit1->selectAll();
  return true;
}

void THepPage::OffsetBtnClick() {
  XHexEditView->CycleOffsetMode();
  RefreshStatusPanel();
}

void THepPage::DataBtnClick() {
  XHexEditView->CycleHexMode();
  RefreshStatusPanel();
}

void THepPage::SizeBtnClick() {
  TStatusPanel::CycleSizeMode();
  RefreshStatusPanel();
}

void THepPage::MonitorLengthClick() {
  TStatusPanel::CycleMonitorLength();
  RefreshStatusPanel();
}

void THepPage::MonitorOrderClick() {
  TStatusPanel::ToggleMonitorOrder();
  RefreshStatusPanel();
}

void THepPage::CrcBtnClick() {
  uint32_t crc = Crc32Start;
  UpdateCrc32(XHexEdit1->Data(), static_cast<size_t>(XHexEdit1->DataSize()), crc);
  CrcEdit1->setText(Q(Crc32Text(crc)));
}

void THepPage::InsertBtnClick() {
  XHexEdit1->ToggleInsertMode();
}

// ---------------------------------------------------------------- find bar

void THepPage::UpdateFindActions() {
  if (!IsActive()) return;
  Actions()["NextAction"].SetEnabled(FindReplace.CanFind());
  Actions()["PrevAction"].SetEnabled(FindReplace.CanFind());
  Actions()["ReplaceAction"].SetEnabled(FindReplace.CanReplace());
  Actions()["ReplaceAllAction"].SetEnabled(FindReplace.CanReplace());
}

void THepPage::FindEditChanged(const QString& text) {
  if (!FindReplace.SetFindText(Bytes(text))) {
    FindEdit1->clear();
    Beep();
  }
  UpdateFindActions();
}

void THepPage::ReplaceEditChanged(const QString& text) {
  if (!FindReplace.SetReplaceText(Bytes(text))) {
    ReplaceEdit1->clear();
    Beep();
  }
  UpdateFindActions();
}

void THepPage::ToggleFindHex() {
  std::string findText, replaceText;
  FindReplace.ToggleHex(findText, replaceText);
  FindEdit1->setText(Bytes(findText));
  ReplaceEdit1->setText(Bytes(replaceText));
  TSharedAction& hex = Actions()["FindHexAction"];
  hex.Caption = FindReplace.HexCaption();
  hex.SetEnabled(hex.Enabled); // shows the caption
  UpdateFindActions();
}

// ---------------------------------------------------------------- selection, marks, bars

void THepPage::UpdateSelectionActions() {
  if (!XHexEdit1 || !IsActive()) return;
  const bool sel = XHexEdit1->SelActive();
  TActionBinder& a = Actions();
  for (const char* name :
       {"CopyAction", "CutAction", "CopyDumpAction", "DeleteAction", "Fill00hAction",
        "FillFFhAction", "FillCurrentAction", "SwapBytesAction"})
    a[name].SetEnabled(sel && a[name].Bound());
  a["MarkModifiedAction"].SetEnabled(sel && ProgramModifiedOnly && a["MarkModifiedAction"].Bound());
}

void THepPage::MarkModified() {
  int32_t first = 0, last = 0;
  if (!XHexEdit1->NormalisedSelection(first, last)) return;
  // One notice for the whole run, not one per byte.
  auto notify = std::move(ModifiedList.OnChange);
  ModifiedList.OnChange = nullptr;
  for (int32_t o = first; o <= last; ++o)
    ModifiedList.AddOffset(o);
  ModifiedList.OnChange = std::move(notify);
  if (ModifiedList.OnChange) ModifiedList.OnChange(ModifiedList);
  int32_t s = 0, e = 0;
  XHexEdit1->GetSelection(s, e);
  XHexEdit1->SetSelection(false, s, e);
  XHexEdit1->RefreshView();
}

void THepPage::UnmarkModified() {
  ModifiedList.Clear();
  XHexEdit1->RefreshView();
}

void THepPage::FillCurrentValue() {
  uint8_t value = 0;
  if (!TStatusPanel::ParseData(DataEdit1->text().toStdString(), XHexEdit1->HexMode(), value)) {
    Beep();
    return;
  }
  XHexEdit1->FillSelection(value);
}

bool THepPage::ModifiedColour(int32_t offset, QColor& colour) const {
  if (!ProgramModifiedOnly || !ModifiedList.Contains(offset)) return false;
  colour = ToQColor((HexOptions ? *HexOptions : DefaultHexOptions()).ModifiedColor);
  return true;
}

void THepPage::ShowBars() {
  MonitorBar1->setHidden(!Actions()["MonitorBarAction"].Checked);
  FindBar1->setHidden(!Actions()["FindBarAction"].Checked);
}

void THepPage::ToggleBar(const char* actionName, QToolBar* bar) {
  TSharedAction& action = Actions()[actionName];
  // A menu click has flipped the check already; a call from elsewhere has not.
  if (bar->isHidden() != action.Checked) action.Checked = !action.Checked;
  bar->setHidden(!action.Checked);
  action.SetChecked(action.Checked);
}

void THepPage::ApplyHexOptions(const THexEditOptions& options) {
  TXHexEditView& v = *XHexEditView;
  if (THexEditOptions::BytesPerLineApplies(options.BytePerLine))
    v.SetBytesPerLine(options.BytePerLine);
  v.SetColours(ToQColor(options.BGColor), ToQColor(options.HighLightColor),
               ToQColor(options.HighLightTextColor));
  v.SetHexGroup(options.HexGroup);
  v.SetTextAllChars(options.TextAllChars);
  if (THexEditOptions::UndoLimitApplies(options.UndoLimit))
    XHexEdit1->SetMaxUndo(options.UndoLimit);
  v.SetFonts(ToQFont(options.OffsetFont), ToQFont(options.HexFont), ToQFont(options.TextFont));
  v.SetTextColours(ToQColor(options.OffsetFont.Color), ToQColor(options.HexFont.Color),
                   ToQColor(options.TextFont.Color));
}

QToolButton* THepPage::Button(const QString& objectName) const {
  return findChild<QToolButton*>(objectName);
}

// ---------------------------------------------------------------- registration

void RegisterProgrammerPage(TMainForm& form) {
  form.RegisterPageKind(TPageKind::Programmer, [](TMainForm& m) { return new THepPage(m); });
  form.DevicePageOf = [](TBasePage* page) -> TDevicePage* { return qobject_cast<THepPage*>(page); };
}
