#include "sim/mismemparts.h"

#include <algorithm>

#include "sim/cat64part.h"
#include "sim/cxkpart.h"
#include "sim/m6mpart.h"
#include "sim/sde2506part.h"
#include "sim/tc89part.h"
#include "sim/virtualmodule.h"
#include "sim/virtualsocket.h"

namespace {

std::vector<std::pair<std::uint8_t, std::shared_ptr<TCommandGroup>>> MisMemGroups() {
  auto session = std::make_shared<TMisMemSession>();
  return {{0xA0, std::make_shared<TM6MCommands>(session)},
          {0x17, std::make_shared<TCAT64Commands>(session)},
          {0xC0, std::make_shared<TSDE2506Commands>(session)},
          {0xB0, std::make_shared<TCXKCommands>(session)},
          {0x90, std::make_shared<TTC89Commands>(session)}};
}

} // namespace

void RegisterMisMemGroups(TVirtualModule& module) {
  for (auto& [group, handler] : MisMemGroups())
    module.RegisterGroup(group, handler);
}

void RegisterMisMemSocketParts() {
  for (const char* code : {"m6m8", "cat6", "sdes", "cxso", "tcto"}) {
    RegisterSocketPart(code, [code = std::string(code)](const TSocketPartSpec& partDesc) {
      TSocketEntry entry;
      auto part = MakeMisMemPart(code, partDesc.Capacity);
      TMisMemPart* cells = part.get();
      entry.Part = part;
      entry.Dump = [cells] { return cells->Cells; };
      entry.Load = [cells](const std::vector<std::uint8_t>& image) {
        std::fill(cells->Cells.begin(), cells->Cells.end(), 0xFF);
        std::copy_n(image.begin(), std::min(image.size(), cells->Cells.size()),
                    cells->Cells.begin());
      };
      entry.Groups = MisMemGroups();
      return entry;
    });
  }
}

std::shared_ptr<TMisMemPart> MakeMisMemPart(const std::string& classCode, std::uint32_t capacity) {
  if (classCode == "m6m8") return std::make_shared<TM6MPart>(capacity);
  if (classCode == "cat6") return std::make_shared<TCAT64Part>(capacity);
  if (classCode == "sdes") return std::make_shared<TSDE2506Part>(capacity);
  if (classCode == "cxso") return std::make_shared<TCXKPart>(capacity);
  if (classCode == "tcto") return std::make_shared<TTC89Part>(capacity);
  return nullptr;
}
