#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class TXHexEdit;

// One undo step. Kind 'O': one byte overwritten in place (first bytes of
// OldBytes/NewBytes, counts unused). Kind 'R': the OldCount bytes at Offset
// became the NewCount bytes (either may be 0: pure insertion or deletion).
// The arrays only grow, so a ring slot is reused without reallocating.
struct TURData {
  int32_t Offset = 0;
  std::vector<uint8_t> OldBytes = std::vector<uint8_t>(1);
  int32_t OldCount = 0;
  std::vector<uint8_t> NewBytes = std::vector<uint8_t>(1);
  int32_t NewCount = 0;
  uint8_t SelActive = 0;      // kept with the step, not used on replay
  uint8_t ModifiedBefore = 0; // the owner's Modified flag before the step
  char Kind = 'O';
};

// The undo/redo ring of one editor. Steps from UndoCount up to RedoLimit-1
// can be redone; recording a step always discards them. A full ring
// overwrites its oldest step.
class THistory {
public:
  using TChange = std::function<void(TXHexEdit& owner, bool canUndo, bool canRedo)>;

  THistory(TXHexEdit& owner, int32_t capacity);

  void AddOverwrite(int32_t offset, uint8_t newByte, bool modifiedBefore, uint8_t oldByte);
  // Old bytes are read from the owner's buffer, so call before changing it.
  void AddReplace(const uint8_t* newBytes, int32_t newCount, bool modifiedBefore, bool selActive,
                  int32_t offset, int32_t oldCount);
  void Undo();
  void Redo();
  void Clear();                       // empty, same capacity
  void SetCapacity(int32_t capacity); // re-create, all steps lost

  int32_t Capacity() const { return CapacityValue; }
  int32_t UndoCount() const { return UndoCountValue; }
  int32_t RedoLimit() const { return RedoLimitValue; }
  int32_t Cursor() const { return CursorValue; }
  bool CanUndo() const { return UndoCountValue > 0; }
  bool CanRedo() const { return UndoCountValue < RedoLimitValue; }
  const TURData& Record(int32_t index) const { return Records[static_cast<size_t>(index)]; }

  TChange OnChange; // the owner forwards it as its OnUndoRedo

private:
  void Advance();
  void Recorded();
  void Announce();
  bool Fits(const TURData& r, int32_t count) const;

  TXHexEdit& Owner;
  int32_t CapacityValue = 0;
  int32_t UndoCountValue = 0;
  int32_t CursorValue = 0;
  int32_t RedoLimitValue = 0;
  std::vector<TURData> Records;
};
