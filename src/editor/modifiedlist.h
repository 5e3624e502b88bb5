#pragma once

#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

// The byte offsets a programmer page marked as modified: each at most once,
// kept in insertion order (the order a device programs them in). Contains()
// is constant-time, since the view asks once per visible byte. Marks are
// absolute offsets: edits and undo do not move or remove them.
class TModifiedList {
public:
  // Adds the offset if absent and fires OnChange; a known offset changes nothing.
  void AddOffset(int32_t offset);
  void Clear(); // fires OnChange
  int32_t Count() const { return static_cast<int32_t>(Offsets.size()); }
  bool Contains(int32_t offset) const;
  int32_t IndexOfOffset(int32_t offset) const; // position, or -1
  int32_t Offset(int32_t index) const { return Offsets[static_cast<size_t>(index)]; }
  // Count() = 0; when empty and showMessage, first shows "No modified data".
  bool IsEmpty(bool showMessage) const;
  // The next offset after IterPos, in insertion order; false at the end.
  bool NextOffset(int32_t& offset);
  int32_t IterPos = -1;

  std::function<void(TModifiedList&)> OnChange;

private:
  std::vector<int32_t> Offsets;
  std::vector<uint64_t> Bits;             // membership of offsets below BitLimit
  std::unordered_set<int32_t> FarOffsets; // negative or very large offsets
  static constexpr int32_t BitLimit = 1 << 28;
};
