#include "editor/compbinfiles.h"

#include <algorithm>

#include "editor/delphifmt.h"
#include "editor/modifiedlist.h"
#include "editor/xhexedit.h"
#include "shell/appservices.h"

int64_t CompareBuffers(const TCompareSide& first, const TCompareSide& second, bool showDifferences,
                       const std::function<void(int32_t)>& progress) {
  if (!first.Buffer || !second.Buffer) return 0;
  const int32_t n = std::min(first.Buffer->DataSize(), second.Buffer->DataSize());
  Services().AddMessage("Comparing Files: " + first.Buffer->FileName() + "; " +
                        second.Buffer->FileName());
  if (first.Marks) first.Marks->Clear();
  if (second.Marks && second.Marks != first.Marks) second.Marks->Clear();
  const uint8_t* a = first.Buffer->Data();
  const uint8_t* b = second.Buffer->Data();
  int64_t count = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) {
      if (first.Marks) first.Marks->AddOffset(i);
      if (second.Marks) second.Marks->AddOffset(i);
      ++count;
      if (showDifferences)
        Services().AddMessage(Format("[ %6.6x ]:    %2.2x     %2.2x", {i, a[i], b[i]}));
    }
    if (progress) progress(i);
  }
  Services().AddMessage(Format("Differences: %d", {static_cast<long long>(count)}));
  first.Buffer->RefreshView();
  second.Buffer->RefreshView();
  return count;
}
