#include "sim/virtualsocket.h"

#include <map>

#include "sim/i2ceeprom.h"
#include "sim/mismemparts.h"
#include "sim/mwspiparts.h"
#include "sim/virtualmodule.h"

namespace {
std::map<std::string, TSocketFactory>& Factories() {
  static std::map<std::string, TSocketFactory> factories;
  return factories;
}

// The families' parts, registered once before the first look-up. Each family
// adds its registration call here.
void RegisterBuiltInParts() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterI2CSocketParts();
  RegisterMwSpiSocketParts();
  RegisterMisMemSocketParts();
}
} // namespace

const char* const SocketFaultGrammar =
    "  part:NAME     a fault of the part in the socket; I2C parts: noack, sda-low,\n"
    "                wp-high, nostick (writes do not stick), busy (stays busy),\n"
    "                count=N (block replies carry the count N)\n"
    "                Microwire and SPI parts: busy, nostick, do-low, do-high (DO\n"
    "                stuck), count=N\n";

void RegisterSocketPart(const std::string& classCode, TSocketFactory factory) {
  RegisterBuiltInParts();
  Factories()[classCode] = std::move(factory);
}

bool HasSocketPart(const std::string& classCode) {
  RegisterBuiltInParts();
  return Factories().count(classCode) != 0;
}

bool TVirtualSocket::Insert(const TSocketPartSpec& partDesc, std::string& error,
                            const std::vector<std::uint8_t>* image) {
  RegisterBuiltInParts();
  auto it = Factories().find(partDesc.ClassCode);
  if (it == Factories().end()) {
    error = "the virtual module has no part for " + partDesc.Name + " (class " +
            partDesc.ClassCode + ")";
    return false;
  }
  TSocketEntry entry = it->second(partDesc);
  if (!entry.Part) {
    error = "the virtual module has no part for " + partDesc.Name;
    return false;
  }
  if (image && entry.Load) entry.Load(*image);
  for (auto& [group, handler] : entry.Groups)
    Module.RegisterGroup(group, handler);
  Module.AttachTarget(entry.Part);
  Entry = std::move(entry);
  return true;
}

void TVirtualSocket::Remove() {
  Module.AttachTarget(nullptr);
  Entry = {};
}

std::vector<std::uint8_t> TVirtualSocket::Dump() const {
  return Entry.Dump ? Entry.Dump() : std::vector<std::uint8_t>{};
}

bool TVirtualSocket::AddFault(const std::string& name, std::string& error) {
  if (!Entry.Part) {
    error = "no part in the socket";
    return false;
  }
  if (!Entry.Fault || !Entry.Fault(name, error)) {
    if (error.empty()) error = "the part knows no fault '" + name + "'";
    return false;
  }
  return true;
}
