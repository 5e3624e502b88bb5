#include "sim/mismempart.h"

#include "sim/pinmodel.h"

TMisMemPart::TMisMemPart(const TTraits& traits, std::size_t capacity)
    : Cells(capacity == 0 ? 1 : capacity, 0xFF), Traits(traits) {}

void TMisMemPart::WriteCell(std::size_t offset, std::uint8_t value) {
  ++WriteCycles;
  if (!Faults.WritesDoNotStick) Cells[offset % Cells.size()] = value;
}

void TMisMemPart::EraseAll() {
  ++EraseCycles;
  if (Faults.WritesDoNotStick) return;
  for (auto& c : Cells)
    c = 0xFF;
}

TTargetDrive TMisMemPart::Drive(int pin) const {
  // Ready (or idle data) shows high on DO while the part has power.
  if (!Supply || Faults.Silent || pin != Traits.DataOutPin) return TTargetDrive::None;
  return Faults.StaysBusy ? TTargetDrive::Low : TTargetDrive::High;
}

void TMisMemPart::PinsChanged(const TPinModel& pins) {
  Supply = pins.SupplyOn();
}
