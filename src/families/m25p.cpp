#include "families/m25p.h"

#include <algorithm>

#include "devices/taskexec.h"
#include "editor/xhexedit.h"
#include "families/framedpage.h"

void TM25P::SetModule(TDevicePage* page) {
  TSPI::SetModule(page);
  if (!MemoryFrame) return;
  MemoryFrame->EraseBtn.Visible = true;
  MemoryFrame->ProgramModifiedOnlyCheck.Enabled = false;
}

TTaskResult TM25P::DeviceProgram() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    const TTaskResult r = ReadRangeEndFirst();
    // Flash pages are written whole; the modified-only box does not apply.
    return r == trSuccess ? WriteRange(PageChunk) : r;
  });
}

TTaskResult TM25P::EraseAll() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x600A);
    TFrame reply{};
    const TTaskResult r = Link().SendCommand(request, reply, true);
    if (r == trSuccess) TaskForm().WaitWithProgress(static_cast<int>(e2Tera), 1000);
    return r;
  });
}
