#include "editor/ui/editortools.h"

#include "editor/ui/compareform.h"
#include "editor/ui/hexdecform.h"
#include "shell/ui/mainwin.h"

TCompareForm* CompareFormOf(TMainForm& form) {
  return form.findChild<TCompareForm*>(QStringLiteral("CompareForm"), Qt::FindDirectChildrenOnly);
}

THexDecForm* HexDecFormOf(TMainForm& form) {
  return form.findChild<THexDecForm*>(QStringLiteral("HexDecForm"), Qt::FindDirectChildrenOnly);
}

void InstallEditorTools(TMainForm& form) {
  TCompareForm* compare = CompareFormOf(form);
  if (!compare) compare = new TCompareForm(form, &form);
  THexDecForm* hexDec = HexDecFormOf(form);
  if (!hexDec) hexDec = new THexDecForm(&form);
  // The programmer page only enables Compare; its run belongs to the window,
  // so the page's DisconnectActions disables it but keeps this handler.
  TSharedAction& compareAction = form.Actions()["CompareBinFilesAction"];
  compareAction.Bind([compare](void*) { compare->Run(); }, compareAction.Enabled);
  form.Actions()["HexDecAction"].Bind([hexDec](void*) { hexDec->Open(); });
}
