#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct TMenuModel;

// Script language codes shared by actions, script pages and device-script import.
constexpr std::uint8_t LangPascalScript = 0;
constexpr std::uint8_t LangFsPascal = 1;
constexpr std::uint8_t LangFsJScript = 2;
constexpr std::uint8_t LangFsCpp = 3;
constexpr std::uint8_t LangFsBasic = 4;
constexpr std::uint8_t LangNone = 5;

// A command a script attached to a device: a script procedure to call or a
// file to open. The caption is its identity inside one list.
class TDevAction {
public:
  std::string Caption;
  bool Enabled = true;
  std::function<void(TDevAction* sender)> OnExecute;

  std::string ProcName;
  std::string ScriptName;
  std::string FileName;
  std::function<bool(TDevAction* action)> Handler;
  std::uint8_t Language = 0;

  void Execute() {
    if (OnExecute) OnExecute(this);
  }
};

class TDevActionList {
public:
  using TClickEvent =
      std::function<void(TDevActionList* sender, TDevAction* action, const std::string& script)>;

  TDevActionList() = default;
  TDevActionList(const TDevActionList&) = delete;
  TDevActionList& operator=(const TDevActionList&) = delete;

  void AddScriptAction(const std::string& caption, const std::string& procName,
                       std::uint8_t language, const std::string& scriptName,
                       const std::string& compiled);
  void AddHandlerAction(const std::string& caption, std::function<bool(TDevAction*)> handler,
                        std::uint8_t language, const std::string& fileName);
  int IndexOfCaption(const std::string& caption) const;
  void ExecuteScriptAction(TDevAction* sender);
  void ExecuteHandlerAction(TDevAction* sender);
  void SetOnClick(TClickEvent handler) { OnClick = std::move(handler); }
  void BuildMenu();

  int Count() const { return static_cast<int>(Items.size()); }
  TDevAction* operator[](int index) const { return Items[static_cast<std::size_t>(index)].get(); }

  // Compiled code of a declaring script, or nullptr when it has no line.
  const std::string* ScriptValue(const std::string& scriptName) const;

  TClickEvent OnClick;
  TMenuModel* MenuItem = nullptr;
  // One line per declaring script: its file name and its compiled form.
  std::vector<std::pair<std::string, std::string>> Scripts;

private:
  TDevAction* FindCaption(const std::string& caption) const;
  std::vector<std::unique_ptr<TDevAction>> Items;
};

// Opens the file of an open-file action when it still exists; the host that
// opens files sets `opener` (false: nothing opened).
bool OpenFileActionHandler(TDevAction* action,
                           const std::function<bool(const std::string& path)>& opener);
