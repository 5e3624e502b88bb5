#pragma once

#include "devices/devicepage.h"
#include "editor/modifiedlist.h"
#include "families/e2memframe.h"
#include "families/hc05bconframe.h"

// A programmer page as the families see it: the device side plus one model of
// each panel and the modified-byte marks. The GUI page derives from it and
// shows these models; tests and the command line use it as is.
class TFramedPage : public TDevicePage {
public:
  Te2memoryFrame E2MemoryFrame;
  THC05BConFrame1 ConnectionPanel;
  TModifiedList ModifiedList;
  bool ProgramModifiedOnly = false;
};
