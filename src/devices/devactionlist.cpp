#include "devices/devactionlist.h"

#include <filesystem>

#include "shell/appservices.h"

TDevAction* TDevActionList::FindCaption(const std::string& caption) const {
  int i = IndexOfCaption(caption);
  return i < 0 ? nullptr : Items[static_cast<std::size_t>(i)].get();
}

int TDevActionList::IndexOfCaption(const std::string& caption) const {
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (Items[i]->Caption == caption) return static_cast<int>(i);
  return -1;
}

void TDevActionList::AddScriptAction(const std::string& caption, const std::string& procName,
                                     std::uint8_t language, const std::string& scriptName,
                                     const std::string& compiled) {
  TDevAction* action = FindCaption(caption);
  if (!action) {
    Items.push_back(std::make_unique<TDevAction>());
    action = Items.back().get();
    action->Caption = caption;
  }
  action->ProcName = procName;
  action->ScriptName = scriptName;
  action->Language = language;
  action->OnExecute = [this](TDevAction* a) { ExecuteScriptAction(a); };

  for (auto& line : Scripts)
    if (line.first == scriptName) {
      line.second = compiled;
      return;
    }
  Scripts.emplace_back(scriptName, compiled);
}

void TDevActionList::AddHandlerAction(const std::string& caption,
                                      std::function<bool(TDevAction*)> handler,
                                      std::uint8_t language, const std::string& fileName) {
  TDevAction* action = FindCaption(caption);
  if (!action) {
    Items.push_back(std::make_unique<TDevAction>());
    action = Items.back().get();
    action->Caption = caption;
  }
  action->OnExecute = [this](TDevAction* a) { ExecuteHandlerAction(a); };
  action->Handler = std::move(handler);
  action->FileName = fileName;
  action->Language = language;
}

const std::string* TDevActionList::ScriptValue(const std::string& scriptName) const {
  for (const auto& line : Scripts)
    if (line.first == scriptName) return &line.second;
  return nullptr;
}

void TDevActionList::ExecuteScriptAction(TDevAction* sender) {
  if (!sender) return;
  const std::string* script = ScriptValue(sender->ScriptName);
  if (script && OnClick) OnClick(this, sender, *script);
}

void TDevActionList::ExecuteHandlerAction(TDevAction* sender) {
  if (sender && sender->Handler) sender->Handler(sender);
}

void TDevActionList::BuildMenu() {
  if (!MenuItem) return;
  MenuItem->Clear();
  for (const auto& item : Items) {
    TDevAction* action = item.get();
    MenuItem->Add(action->Caption, [action] { action->Execute(); });
  }
  if (Items.empty()) MenuItem->Add("Empty", {});
  MenuItem->Changed();
}

bool OpenFileActionHandler(TDevAction* action,
                           const std::function<bool(const std::string& path)>& opener) {
  if (!action || !opener) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(action->FileName, ec)) return false;
  return opener(action->FileName);
}
