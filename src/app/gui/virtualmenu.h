#pragma once

class TGuiSession;
class TMainForm;

// The "Virtual Module" menu of kvprog --virtual: plug and unplug the virtual
// module, choose its personality and inject faults, so that every path can be
// tried without hardware.
void AddVirtualModuleMenu(TMainForm& mainForm, TGuiSession& session);
