#include "sim/faultplan.h"

void TFaultPlan::Add(const TFault& fault) {
  if (fault.Kind == TFaultKind::PinVolts) return;
  Armed.push_back({fault, 0});
}

bool TFaultPlan::Due(TArmed& armed) {
  if (armed.Seen < armed.Fault.At) ++armed.Seen;
  return armed.Seen == armed.Fault.At;
}

TFrameFaults TFaultPlan::OnFrame() {
  TFrameFaults due;
  for (std::size_t i = 0; i < Armed.size();) {
    TArmed& a = Armed[i];
    if (a.Fault.Kind == TFaultKind::A0Fail || !Due(a)) {
      ++i;
      continue;
    }
    switch (a.Fault.Kind) {
    case TFaultKind::NoReply:
      due.NoReply = true;
      break;
    case TFaultKind::Stale:
      due.Stale = true;
      break;
    case TFaultKind::Unplug:
      due.Unplug = true;
      break;
    case TFaultKind::Status:
      due.Status = a.Fault.Value;
      break;
    case TFaultKind::Short:
      due.ReplyLength = a.Fault.Value;
      break;
    default:
      break;
    }
    if (a.Fault.Repeat)
      ++i;
    else
      Armed.erase(Armed.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return due;
}

bool TFaultPlan::OnFirmwareChunk() {
  bool fail = false;
  for (std::size_t i = 0; i < Armed.size();) {
    TArmed& a = Armed[i];
    if (a.Fault.Kind != TFaultKind::A0Fail || !Due(a)) {
      ++i;
      continue;
    }
    fail = true;
    if (a.Fault.Repeat)
      ++i;
    else
      Armed.erase(Armed.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return fail;
}
