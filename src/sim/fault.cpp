#include "sim/fault.h"

#include <charconv>
#include <string_view>

#include "sim/pinmodel.h"

const char* const FaultGrammar =
    "FAULT is KIND[=VALUE][@K[+]]; K counts from when the fault is added (1: the next\n"
    "one, the default), a trailing + repeats the fault for every later event:\n"
    "  noreply@K     the K-th command frame gets no reply (its read times out)\n"
    "  status=S@K    the K-th reply carries status byte S (0..255, decimal or 0x..)\n"
    "  stale@K       the K-th reply comes late: its read times out, then the reply\n"
    "                waits in endpoint 0x81 for the next read\n"
    "  short[=N]@K   the K-th reply is cut to N bytes (0..63, default 8)\n"
    "  a0fail@K      the K-th firmware data chunk (request 0xA0) stalls\n"
    "  unplug@K      the module is unplugged once the K-th frame arrived\n"
    "  pin=Pn:V      pin Pn (P1..P4, P6..P9) measures V volts from now on\n";

namespace {

bool ParseUnsigned(std::string_view text, std::uint32_t& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParsePin(std::string_view text, int& pin) {
  if (text.size() != 2 || (text[0] != 'P' && text[0] != 'p')) return false;
  constexpr int ByNumber[10] = {-1, PinP1, PinP2, PinP3, PinP4, -1, PinP6, PinP7, PinP8, PinP9};
  if (text[1] < '1' || text[1] > '9') return false;
  pin = ByNumber[text[1] - '0'];
  return pin >= 0;
}

bool ParseVolts(std::string_view text, double& volts) {
  auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), volts, std::chars_format::fixed);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size() && volts >= 0 &&
         volts <= 20;
}

} // namespace

bool ParseFault(const std::string& text, TFault& fault, std::string& error) {
  std::string_view rest(text);
  TFault f;

  const std::size_t at = rest.find('@');
  std::string_view count;
  if (at != std::string_view::npos) {
    count = rest.substr(at + 1);
    rest = rest.substr(0, at);
  }
  const std::size_t eq = rest.find('=');
  const std::string_view kind = rest.substr(0, eq);
  const bool hasValue = eq != std::string_view::npos;
  const std::string_view value = hasValue ? rest.substr(eq + 1) : std::string_view();

  struct TKindName {
    const char* Name;
    TFaultKind Kind;
  };
  constexpr TKindName Kinds[] = {{"noreply", TFaultKind::NoReply}, {"status", TFaultKind::Status},
                                 {"stale", TFaultKind::Stale},     {"short", TFaultKind::Short},
                                 {"a0fail", TFaultKind::A0Fail},   {"unplug", TFaultKind::Unplug},
                                 {"pin", TFaultKind::PinVolts}};
  bool known = false;
  for (const auto& k : Kinds)
    if (kind == k.Name) {
      f.Kind = k.Kind;
      known = true;
    }
  if (!known) {
    error = "unknown fault \"" + std::string(kind) + "\" in \"" + text + "\"";
    return false;
  }

  std::uint32_t number = 0;
  switch (f.Kind) {
  case TFaultKind::Status:
    if (!hasValue || !ParseUnsigned(value, number) || number > 255) {
      error = "status needs a byte value, as in status=9@1: \"" + text + "\"";
      return false;
    }
    f.Value = static_cast<std::uint8_t>(number);
    break;
  case TFaultKind::Short:
    f.Value = 8;
    if (hasValue) {
      if (!ParseUnsigned(value, number) || number > 63) {
        error = "short takes a reply length of 0..63, as in short=8@1: \"" + text + "\"";
        return false;
      }
      f.Value = static_cast<std::uint8_t>(number);
    }
    break;
  case TFaultKind::PinVolts: {
    const std::size_t colon = value.find(':');
    int pin = 0;
    if (!hasValue || colon == std::string_view::npos || !ParsePin(value.substr(0, colon), pin) ||
        !ParseVolts(value.substr(colon + 1), f.Volts) || at != std::string_view::npos) {
      error = "pin takes a pin and a voltage, as in pin=P9:4.1: \"" + text + "\"";
      return false;
    }
    f.Value = static_cast<std::uint8_t>(pin);
    break;
  }
  default:
    if (hasValue) {
      error = std::string(kind) + " takes no value: \"" + text + "\"";
      return false;
    }
  }

  if (at != std::string_view::npos) {
    if (!count.empty() && count.back() == '+') {
      f.Repeat = true;
      count.remove_suffix(1);
    }
    if (!ParseUnsigned(count, number) || number == 0 || count.substr(0, 2) == "0x") {
      error = "the count after @ must be a number from 1, as in noreply@3: \"" + text + "\"";
      return false;
    }
    f.At = number;
  }
  fault = f;
  return true;
}
