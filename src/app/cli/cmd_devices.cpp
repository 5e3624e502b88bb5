// devices: the registry's visible entries, as the programmer page's device box
// lists them.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <string>

#include "cli/clicontext.h"
#include "devices/devlist.h"
#include "families/familyclasses.h"

namespace {

std::string Lower(std::string s) {
  for (auto& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Matches(const TDevice& d, const std::string& search) {
  if (search.empty()) return true;
  const std::string key = Lower(search);
  for (const std::string* field : {&d.Name, &d.ID, &d.Descr})
    if (Lower(*field).find(key) != std::string::npos) return true;
  return false;
}

int RunDevices(const std::string& groupName, const std::string& search) {
  std::unique_ptr<TDeviceList> list = CreateDeviceList();
  const int index = list->IndexOfName(groupName);
  TDevice* group = index < 0 ? nullptr : (*list)[index];
  if (!group || !group->e2Opr.Contains(oDeviceGroup)) {
    std::cerr << "kvprog-cli: no device group named '" << groupName << "'; groups:";
    for (TDevice* g : list->ListByOptions({oDeviceGroup}))
      std::cerr << " '" << g->Name << "'";
    std::cerr << "\n";
    return ExitUsage;
  }
  std::size_t width = 0;
  std::vector<TDevice*> shown;
  for (TDevice* d : list->ListByGroup(group->GroupFilter))
    if (Matches(*d, search)) {
      shown.push_back(d);
      width = std::max(width, d->Name.size());
    }
  for (TDevice* d : shown)
    std::cout << d->Name << std::string(width - d->Name.size() + 2, ' ') << d->Descr << "\n";
  return ExitOk;
}

} // namespace

void AddDeviceCommands(CLI::App& app, TCliContext& ctx) {
  auto* cmd = app.add_subcommand("devices", "list the visible devices of a group, sorted by name");
  auto group = std::make_shared<std::string>("All Devices");
  auto search = std::make_shared<std::string>();
  cmd->add_option("--group", *group, "the group's name (default \"All Devices\")");
  cmd->add_option("--search", *search, "only devices whose name, ID or description has TEXT");
  cmd->callback([&ctx, group, search] { ctx.ExitCode = RunDevices(*group, *search); });
}
