#include "shell/actionbinder.h"

#include <stdexcept>

namespace {

struct TActionDef {
  const char* Name;
  const char* Caption;
  const char* Shortcut;
  const char* Hint;
  bool Checkable;
};

// Hints are ours; captions and shortcuts are the menus' own.
const TActionDef ActionDefs[] = {
    {"NewProgAction", "&Programmer", "", "New programmer page", false},
    {"NewImageAction", "&Image", "", "New image page", false},
    {"NewTextAction", "&Text", "", "New text page", false},
    {"NewScopeAction", "&Oscilloscope", "", "New oscilloscope page", false},
    {"NewScriptAction", "&Script", "", "New script page", false},
    {"OpenAction", "&Open...", "Ctrl+O", "Open files", false},
    {"SaveAction", "&Save", "Ctrl+S", "Save the page", false},
    {"SaveAsAction", "Save &As...", "", "Save the page under a new name", false},
    {"CloseAction", "&Close", "", "Close the page", false},
    {"PrintAction", "Pr&int", "", "Print the page", false},
    {"ExitAction", "E&xit", "", "Quit the program", false},
    {"UndoAction", "&Undo", "Ctrl+Z", "Undo the last change", false},
    {"RedoAction", "&Redo", "Ctrl+Shift+Z", "Redo the last undone change", false},
    {"CutAction", "Cu&t", "Ctrl+X", "Cut the selection", false},
    {"CopyAction", "&Copy", "Ctrl+C", "Copy the selection", false},
    {"CopyDumpAction", "Cop&y Dump", "", "Copy the selection as a dump", false},
    {"PasteAction", "&Paste", "Ctrl+V", "Paste", false},
    {"PasteHexAction", "Pa&ste Hex", "", "Paste hexadecimal text", false},
    {"DeleteAction", "&Delete", "Ctrl+Del", "Delete the selection", false},
    {"SelectAllAction", "Select &All", "Ctrl+A", "Select everything", false},
    {"UnmarkModifiedAction", "U&nmark Modified", "", "Clear the modified marks", false},
    {"MarkModifiedAction", "&Mark As Modified", "", "Mark the selection as modified", false},
    {"Fill00hAction", "&00h", "", "Fill the selection with 00h", false},
    {"FillFFhAction", "&FFh", "", "Fill the selection with FFh", false},
    {"FillRandomAction", "&Random", "", "Fill the selection with random bytes", false},
    {"FillCounterAction", "&Counter", "", "Fill the selection with a counter", false},
    {"FillCurrentAction", "C&urrent Value", "", "Fill the selection with the current value", false},
    {"SwapBytesAction", "S&wap Bytes", "", "Swap the bytes of each word", false},
    {"PrevAction", "Find Pr&ev", "", "Find the previous match", false},
    {"NextAction", "F&ind Next", "", "Find the next match", false},
    {"ReplaceFormAction", "Rep&lace", "", "Replace", false},
    {"CompareBinFilesAction", "C&ompare", "", "Compare buffers", false},
    {"FindHexAction", "Find", "", "Find", false},
    {"ReplaceAction", "Replace", "", "Replace the match", false},
    {"ReplaceAllAction", "Replace All", "", "Replace every match", false},
    {"NumPerLineAction", "&Numbers per Line", "", "Bytes per line", false},
    {"MonitorBarAction", "&Monitor", "", "Show the monitor", true},
    {"FindBarAction", "&Find/Replace", "", "Show the find bar", true},
    {"ShowMsgsAction", "M&essages", "", "Show or hide the messages", true},
    {"ClearMsgsAction", "&Clear Messages", "", "Clear the messages", false},
    {"ZoomInAction", "&Zoom In", "", "Zoom in", false},
    {"ZoomOutAction", "Z&oom Out", "", "Zoom out", false},
    {"ActualViewAction", "&Actual View", "", "Actual size", false},
    {"FitInWindowAction", "F&it In Window", "", "Fit in the window", false},
    {"ChangeFontAction", "&Font", "", "Font", false},
    {"BoldAction", "&Bold", "Ctrl+B", "Bold", true},
    {"ItalicAction", "&Italic", "Ctrl+I", "Italic", true},
    {"UnderlineAction", "&Underline", "Ctrl+U", "Underline", true},
    {"StrikeoutAction", "&Strikeout", "", "Strikeout", true},
    {"BulletsAction", "Bu&llets", "", "Bullets", true},
    {"AlignLeftAction", "&Align Left", "", "Align left", true},
    {"AlignRightAction", "Align &Right", "", "Align right", true},
    {"AlignCenterAction", "&Center", "", "Center", true},
    {"DeviceSettingsAction", "&Settings", "", "Device settings", false},
    {"ConfigRegisterAction", "&Config Bits/Register", "", "Configuration register", false},
    {"LockBitsAction", "&Lock Bits", "", "Lock bits", false},
    {"FuseBitsAction", "&Fuse Bits", "", "Fuse bits", false},
    {"ScriptRunAction", "&Run", "F9", "Run the script", false},
    {"ScriptStopAction", "&Stop", "", "Stop the script", false},
    {"ScriptLangRemObjectsAction", "&RemObjects Pascal", "", "Pascal Script engine", true},
    {"ScriptLangPascalAction", "&Pascal", "", "PascalScript", true},
    {"ScriptLangBasicAction", "&Basic", "", "BasicScript", true},
    {"ScriptLangCppAction", "&C++", "", "C++Script", true},
    {"ScriptLangJScriptAction", "&JScript", "", "JScript", true},
    {"ScopeAddChannelAction", "&Add Channel", "", "Add a channel", false},
    {"ScopeDeleteChannelAction", "&Delete Channel", "", "Delete the channel", false},
    {"ScopeSelectModeAction", "Select Mode", "", "Select mode", true},
    {"ScopeZoomWinModeAction", "Zoom Mode", "", "Zoom mode", true},
    {"ScopeMeasureModeAction", "Measure Mode", "", "Measure mode", true},
    {"OptionsAction", "&Options", "", "Options", false},
    {"HardwareTestAction", "&Hardware Test", "", "Hardware test", false},
    {"VoltmeterAction", "&Voltmeter", "", "Voltmeter", false},
    {"PulseGenAction", "&Pulse Generator", "", "Pulse generator", false},
    {"HexDecAction", "H&ex Dec Converter", "", "Hex/decimal converter", false},
    {"HelpContentsAction", "&Contents", "", "Help contents", false},
    {"HomePageAction", "&Morlisk Home Page", "", "Open the maker's home page", false},
    {"CheckUpdateAction", "C&heck For Update", "", "Check for a newer version", false},
    {"AboutAction", "&About...", "", "About this program", false},
};

} // namespace

void TSharedAction::SetEnabled(bool enabled) {
  Enabled = enabled;
  if (OnChange) OnChange();
}

void TSharedAction::SetChecked(bool checked) {
  Checked = checked;
  if (OnChange) OnChange();
}

TActionBinder::TActionBinder() {
  for (const auto& def : ActionDefs) {
    auto& action = Actions[def.Name];
    action.Name = def.Name;
    action.Caption = def.Caption;
    action.Shortcut = def.Shortcut;
    action.Hint = def.Hint;
    action.Checkable = def.Checkable;
    Order.push_back(&action);
  }
}

TSharedAction& TActionBinder::operator[](const std::string& name) {
  auto* action = Find(name);
  if (!action) throw std::out_of_range("no shared action " + name);
  return *action;
}

TSharedAction* TActionBinder::Find(const std::string& name) {
  auto it = Actions.find(name);
  return it == Actions.end() ? nullptr : &it->second;
}

const std::vector<std::string>& TActionBinder::PageBoundNames() {
  static const std::vector<std::string> names = {"FindHexAction",
                                                 "PrevAction",
                                                 "NextAction",
                                                 "ReplaceAction",
                                                 "ReplaceAllAction",
                                                 "UndoAction",
                                                 "RedoAction",
                                                 "CutAction",
                                                 "CopyAction",
                                                 "CopyDumpAction",
                                                 "PasteAction",
                                                 "PasteHexAction",
                                                 "DeleteAction",
                                                 "SelectAllAction",
                                                 "SwapBytesAction",
                                                 "Fill00hAction",
                                                 "FillFFhAction",
                                                 "FillRandomAction",
                                                 "FillCounterAction",
                                                 "MonitorBarAction",
                                                 "FindBarAction",
                                                 "UnmarkModifiedAction",
                                                 "PrintAction",
                                                 "SaveAction",
                                                 "SaveAsAction",
                                                 "MarkModifiedAction",
                                                 "NumPerLineAction",
                                                 "ZoomInAction",
                                                 "ZoomOutAction",
                                                 "FitInWindowAction",
                                                 "ActualViewAction",
                                                 "ChangeFontAction",
                                                 "ConfigRegisterAction",
                                                 "DeviceSettingsAction",
                                                 "ScopeAddChannelAction",
                                                 "ScopeDeleteChannelAction",
                                                 "ReplaceFormAction",
                                                 "ScriptRunAction",
                                                 "ScriptStopAction",
                                                 "LockBitsAction",
                                                 "FuseBitsAction",
                                                 "FillCurrentAction"};
  return names;
}

const std::vector<std::string>& TActionBinder::DisabledOnDisconnect() {
  static const std::vector<std::string> names = {"ScopeSelectModeAction", "ScopeZoomWinModeAction",
                                                 "ScopeMeasureModeAction", "CompareBinFilesAction"};
  return names;
}

void TActionBinder::DisconnectPageActions(TMenuModel& actionsMenu) {
  for (const auto& name : PageBoundNames())
    (*this)[name].Unbind();
  for (const auto& name : DisabledOnDisconnect())
    (*this)[name].SetEnabled(false);
  actionsMenu.Clear();
  actionsMenu.Add("Empty", {});
  actionsMenu.Changed();
}
