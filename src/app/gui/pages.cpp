#include "pages.h"

#include "editor/ui/xform.h"
#include "shell/ui/imgform.h"
#include "shell/ui/mainwin.h"
#include "shell/ui/txtform.h"

void RegisterPages(TMainForm& mainForm) {
  // One RegisterPageKind line per page kind, as each is built.
  RegisterProgrammerPage(mainForm);
  mainForm.RegisterPageKind(TPageKind::Text, [](TMainForm& m) { return new TTextPage(m); });
  mainForm.RegisterPageKind(TPageKind::Image, [](TMainForm& m) { return new TImagePage(m); });
}
