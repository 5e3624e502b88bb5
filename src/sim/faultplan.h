#pragma once

#include <cstdint>
#include <vector>

#include "sim/fault.h"

// The faults due on one command frame.
struct TFrameFaults {
  bool NoReply = false;
  bool Stale = false;
  bool Unplug = false;
  int Status = -1;      // replaces the status byte when >= 0
  int ReplyLength = -1; // cuts the reply when >= 0
};

// Armed faults with their own event counts. Each frame or chunk walks a short
// list and allocates nothing; one-shot faults leave the list once they fired.
class TFaultPlan {
public:
  void Add(const TFault& fault); // PinVolts faults are the pin model's, not kept here
  void Clear() { Armed.clear(); }
  bool Empty() const { return Armed.empty(); }
  std::size_t Count() const { return Armed.size(); }

  TFrameFaults OnFrame();
  bool OnFirmwareChunk(); // true when this 0xA0 chunk must fail

private:
  struct TArmed {
    TFault Fault;
    std::uint32_t Seen = 0;
  };
  bool Due(TArmed& armed);
  std::vector<TArmed> Armed;
};
