#include "editor/modifiedlist.h"

#include <algorithm>

#include "shell/appservices.h"

bool TModifiedList::Contains(int32_t offset) const {
  if (offset >= 0 && offset < BitLimit) {
    size_t word = static_cast<size_t>(offset) / 64;
    return word < Bits.size() && (Bits[word] >> (offset % 64) & 1) != 0;
  }
  return FarOffsets.count(offset) != 0;
}

void TModifiedList::AddOffset(int32_t offset) {
  if (Contains(offset)) return;
  if (offset >= 0 && offset < BitLimit) {
    size_t word = static_cast<size_t>(offset) / 64;
    if (word >= Bits.size()) Bits.resize(std::max(word + 1, Bits.size() * 2), 0);
    Bits[word] |= uint64_t{1} << (offset % 64);
  } else {
    FarOffsets.insert(offset);
  }
  Offsets.push_back(offset);
  if (OnChange) OnChange(*this);
}

void TModifiedList::Clear() {
  Offsets.clear();
  Bits.clear();
  FarOffsets.clear();
  if (OnChange) OnChange(*this);
}

int32_t TModifiedList::IndexOfOffset(int32_t offset) const {
  if (!Contains(offset)) return -1;
  auto it = std::find(Offsets.begin(), Offsets.end(), offset);
  return static_cast<int32_t>(it - Offsets.begin());
}

bool TModifiedList::IsEmpty(bool showMessage) const {
  if (Offsets.empty() && showMessage) Services().ShowInformation("Information", "No modified data");
  return Offsets.empty();
}

bool TModifiedList::NextOffset(int32_t& offset) {
  if (IterPos < -1) IterPos = -1;
  if (IterPos >= Count() - 1) return false;
  ++IterPos;
  offset = Offsets[static_cast<size_t>(IterPos)];
  return true;
}
