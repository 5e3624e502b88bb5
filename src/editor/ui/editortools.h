#pragma once

class TMainForm;
class TCompareForm;
class THexDecForm;

// Binds the main window's CompareBinFilesAction (run by the window, enabled
// by the active programmer page) and HexDecAction (Tools menu) to their
// dialogs, which become children of the window. Calling it again changes
// nothing.
void InstallEditorTools(TMainForm& form);

// The dialogs InstallEditorTools made for the window, or nullptr.
TCompareForm* CompareFormOf(TMainForm& form);
THexDecForm* HexDecFormOf(TMainForm& form);
