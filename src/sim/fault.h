#pragma once

#include <cstdint>
#include <string>

// A fault the virtual module injects on demand.
enum class TFaultKind : std::uint8_t {
  NoReply, // a command frame gets no reply: the read times out
  Status,  // a reply carries a given status byte (the command still runs)
  Stale,   // a reply comes late: its read times out, then it waits in endpoint 0x81
  Short,   // a reply is cut short
  A0Fail,  // a firmware data chunk (vendor request 0xA0) stalls
  Unplug,  // the module is unplugged once a command frame arrived
  PinVolts // a pin measures a fixed voltage from now on
};

struct TFault {
  TFaultKind Kind = TFaultKind::NoReply;
  std::uint32_t At = 1;   // the At-th event after the fault is added (frames, or 0xA0 chunks)
  bool Repeat = false;    // and every later one
  std::uint8_t Value = 0; // Status: the status byte; Short: reply length; PinVolts: TPinIndex
  double Volts = 0;       // PinVolts
};

// Parses the text form of --fault (grammar in FaultGrammar). On failure
// returns false, leaves `fault` as it was and says why in `error`.
bool ParseFault(const std::string& text, TFault& fault, std::string& error);

// The grammar, for --help.
extern const char* const FaultGrammar;
