#include "shell/appservices.h"

#include <thread>

void TAppServices::Sleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t TAppServices::NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TCommandModel& TAppServices::DeviceCommand(TDeviceCommand command) {
  return Commands[command];
}

TMenuModel* TAppServices::FindMenuItem(const std::string& caption) {
  return caption == ActionsMenu.Caption ? &ActionsMenu : nullptr;
}

namespace {

class TSilentServices final : public TAppServices {
public:
  void AddMessage(const std::string&) override {}
  void ReplaceLastMessage(const std::string&) override {}
  void ClearMessages() override {}
  void AddError() override {}
  TAnswer AskYesNo(const std::string&, const std::string&) override { return TAnswer::No; }
  TAnswer AskYesNoCancel(const std::string&, const std::string&) override {
    return TAnswer::Cancel;
  }
  void ShowInformation(const std::string&, const std::string&) override {}
  void ShowWarning(const std::string&, const std::string&) override {}
};

TSilentServices Silent;
TAppServices* Current = &Silent;

} // namespace

TAppServices& Services() {
  return *Current;
}

void SetServices(TAppServices* services) {
  Current = services ? services : &Silent;
}

TServicesScope::TServicesScope(TAppServices& s) : Previous(Current) {
  Current = &s;
}
TServicesScope::~TServicesScope() {
  Current = Previous;
}
