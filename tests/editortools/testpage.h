#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "editor/xhexedit.h"
#include "families/framedpage.h"
#include "shell/actionbinder.h"
#include "shell/ui/bpage.h"
#include "shell/ui/mainwin.h"

// A programmer page reduced to what the editor's tools use: a buffer, the
// marks and the Compare command the page enables.
class TTestProgrammerPage : public TBasePage, public TFramedPage {
public:
  explicit TTestProgrammerPage(TMainForm& form) : TBasePage(form, TPageKind::Programmer) {
    XHexEdit1 = &Buffer;
    Buffer.OnRefreshView = [this](TXHexEdit&) { ++Redraws; };
  }
  ~TTestProgrammerPage() override { XHexEdit1 = nullptr; }

  bool OpenFile(const std::string&) override {
    Fill(MainForm.NewPageName(), {0});
    return true;
  }
  bool SaveFile(const std::string&) override { return true; }
  void ConnectActions() override { Actions()["CompareBinFilesAction"].SetEnabled(true); }
  bool CloseQuery() override { return true; }
  std::string GetFileName() override { return Buffer.FileName(); }

  void Fill(const std::string& name, const std::vector<uint8_t>& bytes) {
    Buffer.NewData(name, static_cast<int32_t>(bytes.size()) - 1);
    std::memcpy(Buffer.Data(), bytes.data(), bytes.size());
    SetCaption(QString::fromStdString(name));
  }
  std::vector<int32_t> Marks() const {
    std::vector<int32_t> marks;
    for (int32_t i = 0; i < ModifiedList.Count(); ++i)
      marks.push_back(ModifiedList.Offset(i));
    return marks;
  }

  TXHexEdit Buffer;
  int Redraws = 0;
};

// Programmer pages of the test kind on a real main window.
inline void RegisterTestProgrammerPage(TMainForm& form) {
  form.RegisterPageKind(TPageKind::Programmer,
                        [](TMainForm& m) { return new TTestProgrammerPage(m); });
  form.DevicePageOf = [](TBasePage* page) -> TDevicePage* {
    return dynamic_cast<TTestProgrammerPage*>(page);
  };
}
