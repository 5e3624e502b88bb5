#include "editor/undoredo.h"

#include <algorithm>
#include <cstring>

#include "editor/xhexedit.h"

namespace {

void Store(std::vector<uint8_t>& slot, const uint8_t* bytes, int32_t count) {
  if (count <= 0) return;
  if (slot.size() < static_cast<size_t>(count)) slot.resize(static_cast<size_t>(count));
  std::memcpy(slot.data(), bytes, static_cast<size_t>(count));
}

} // namespace

THistory::THistory(TXHexEdit& owner, int32_t capacity) : Owner(owner) {
  SetCapacity(capacity);
}

void THistory::SetCapacity(int32_t capacity) {
  CapacityValue = std::max(capacity, 1);
  Records.assign(static_cast<size_t>(CapacityValue), TURData());
  UndoCountValue = 0;
  CursorValue = 0;
  RedoLimitValue = 0;
  Announce();
}

void THistory::Clear() {
  SetCapacity(CapacityValue);
}

void THistory::AddOverwrite(int32_t offset, uint8_t newByte, bool modifiedBefore, uint8_t oldByte) {
  TURData& r = Records[static_cast<size_t>(CursorValue)];
  r.Offset = offset;
  r.OldBytes[0] = oldByte;
  r.NewBytes[0] = newByte;
  r.ModifiedBefore = modifiedBefore;
  r.SelActive = 0;
  r.Kind = 'O';
  Recorded();
}

void THistory::AddReplace(const uint8_t* newBytes, int32_t newCount, bool modifiedBefore,
                          bool selActive, int32_t offset, int32_t oldCount) {
  TURData& r = Records[static_cast<size_t>(CursorValue)];
  Store(r.NewBytes, newBytes, newCount);
  Store(r.OldBytes, Owner.Data() + offset, oldCount);
  r.NewCount = newCount;
  r.OldCount = oldCount;
  r.Offset = offset;
  r.SelActive = selActive;
  r.ModifiedBefore = modifiedBefore;
  r.Kind = 'R';
  Recorded();
}

void THistory::Advance() {
  if (++CursorValue >= CapacityValue) CursorValue = 0;
}

void THistory::Recorded() {
  Advance();
  if (UndoCountValue < CapacityValue) {
    ++UndoCountValue;
    RedoLimitValue = UndoCountValue;
  }
  Announce();
}

void THistory::Announce() {
  if (OnChange) OnChange(Owner, CanUndo(), CanRedo());
}

bool THistory::Fits(const TURData& r, int32_t count) const {
  // Size changes outside the history clear it, so a step always fits; the
  // check keeps a stale step from ever touching memory outside the buffer.
  return r.Offset >= 0 && r.Offset + std::max(count, r.Kind == 'O' ? 1 : 0) <= Owner.DataSize();
}

void THistory::Undo() {
  if (UndoCountValue > 0) {
    int32_t previous = (CursorValue <= 0 ? CapacityValue : CursorValue) - 1;
    const TURData& last = Records[static_cast<size_t>(previous)];
    if (!Fits(last, last.NewCount)) {
      Clear();
      return;
    }
    --UndoCountValue;
    CursorValue = previous;
    const TURData& r = Records[static_cast<size_t>(CursorValue)];
    Owner.SetModified(r.ModifiedBefore != 0);
    if (r.Kind == 'O') {
      Owner.Storage[static_cast<size_t>(r.Offset)] = r.OldBytes[0];
      Owner.SetCaretOffset(r.Offset);
    } else {
      Owner.ReplaceRange(r.Offset, r.NewCount, r.OldBytes.data(), r.OldCount);
      if (r.OldCount >= 2)
        Owner.SetSelection(true, r.Offset, r.Offset + r.OldCount - 1);
      else
        Owner.SetSelection(false, Owner.SelStart, Owner.SelEnd);
      Owner.SetCaretOffset(r.Offset + r.OldCount);
    }
  }
  Announce();
}

void THistory::Redo() {
  if (UndoCountValue < RedoLimitValue) {
    const TURData& r = Records[static_cast<size_t>(CursorValue)];
    if (!Fits(r, r.OldCount)) {
      Clear();
      return;
    }
    Owner.SetModified(true);
    if (r.Kind == 'O') {
      Owner.Storage[static_cast<size_t>(r.Offset)] = r.NewBytes[0];
      Owner.SetCaretOffset(r.Offset);
    } else {
      Owner.ReplaceRange(r.Offset, r.OldCount, r.NewBytes.data(), r.NewCount);
      if (r.NewCount >= 2)
        Owner.SetSelection(true, r.Offset, r.Offset + r.NewCount - 1);
      else
        Owner.SetSelection(false, Owner.SelStart, Owner.SelEnd);
      Owner.SetCaretOffset(r.Offset + r.NewCount);
    }
    Advance();
    ++UndoCountValue;
  }
  Announce();
}
