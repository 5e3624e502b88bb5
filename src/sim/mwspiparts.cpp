#include "sim/mwspiparts.h"

#include <algorithm>
#include <string>

#include "sim/m25ppart.h"
#include "sim/m35080part.h"
#include "sim/microwirecommands.h"
#include "sim/microwirepart.h"
#include "sim/spicommands.h"
#include "sim/spieeprompart.h"
#include "sim/virtualsocket.h"

namespace {

template <class TPart> void Contents(TSocketEntry& entry, const std::shared_ptr<TPart>& part) {
  entry.Part = part;
  entry.Dump = [part] { return part->Memory; };
  entry.Load = [part](const std::vector<std::uint8_t>& image) {
    const std::size_t n = std::min(image.size(), part->Memory.size());
    std::copy_n(image.begin(), n, part->Memory.begin());
  };
}

// Faults by name: busy, nostick, do-low, do-high, count=N.
template <class TPart, class TGroup>
void Faults(TSocketEntry& entry, const std::shared_ptr<TPart>& part,
            const std::shared_ptr<TGroup>& group) {
  entry.Fault = [part, group](const std::string& name, std::string& error) {
    auto& f = part->Faults;
    if (name == "busy") {
      f.StaysBusy = true;
    } else if (name == "nostick") {
      f.WriteNotStick = true;
    } else if (name == "do-low" || name == "do-high") {
      f.StuckDO = name == "do-low" ? TTargetDrive::Low : TTargetDrive::High;
    } else if (name.rfind("count=", 0) == 0) {
      const std::string n = name.substr(6);
      if (n.empty() || n.size() > 3 || n.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(n) > 255) {
        error = "count=N takes N from 0 to 255";
        return false;
      }
      group->ReplyFault.Count = std::stoi(n);
    } else {
      return false;
    }
    return true;
  };
}

TSocketEntry Microwire(const TSocketPartSpec& partDesc, bool protectRegister) {
  TSocketEntry entry;
  auto part = TMicrowirePart::ForDevice(partDesc.Capacity, partDesc.Org, partDesc.AddressBits,
                                        protectRegister);
  auto group = std::make_shared<TMicrowireCommands>();
  Contents(entry, part);
  entry.Groups.emplace_back(0x80, group);
  Faults(entry, part, group);
  return entry;
}

template <class TPart> TSocketEntry Spi(std::shared_ptr<TPart> part) {
  TSocketEntry entry;
  auto group = std::make_shared<TSpiCommands>();
  Contents(entry, part);
  entry.Groups.emplace_back(0x60, group);
  Faults(entry, part, group);
  return entry;
}

} // namespace

void RegisterMwSpiSocketParts() {
  for (const char* code : {"miwi", "miw7", "s-29"})
    RegisterSocketPart(code,
                       [](const TSocketPartSpec& partDesc) { return Microwire(partDesc, false); });
  RegisterSocketPart("miws",
                     [](const TSocketPartSpec& partDesc) { return Microwire(partDesc, true); });
  RegisterSocketPart("spis", [](const TSocketPartSpec& partDesc) {
    return Spi(std::make_shared<TSpiEepromPart>(partDesc.Capacity));
  });
  RegisterSocketPart("m25p", [](const TSocketPartSpec& partDesc) {
    return Spi(std::make_shared<TM25PPart>(partDesc.Capacity));
  });
  RegisterSocketPart("m350",
                     [](const TSocketPartSpec&) { return Spi(std::make_shared<TM35080Part>()); });
}
