#include "devices/connection.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "devices/taskexec.h"
#include "link/debugwnd.h"
#include "link/fwimages.h"
#include "link/usbinterface.h"
#include "shell/appservices.h"

namespace {

std::string Upper(std::string s) {
  for (auto& c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Descriptor(std::uint8_t index) {
  return Upper(Link().GetStringDescriptor(index, 0));
}

constexpr const char* OldFirmwareText =
    "An old firmware version is detected!\rPlease reconnect the "
    "USB Module then restart\rthe Korvane Device Programmer "
    "software";

} // namespace

std::optional<std::uint32_t> ParseFirmwareVersion(const std::string& text) {
  std::string s = text;
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
    s.pop_back();
  std::size_t start = 0;
  while (start < s.size() && std::isspace(static_cast<unsigned char>(s[start])))
    ++start;
  s = s.substr(start);
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s = s.substr(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s = s.substr(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint32_t value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

bool FindModule() {
  TUSBInt& link = Link();
  for (int index = 0; index <= INT16_MAX; ++index) {
    if (!link.Open(static_cast<std::int16_t>(index))) return false;
    const std::string maker = Descriptor(1);
    const std::string product = Descriptor(2);
    if (maker.empty() && product.empty()) {
      UpdateBootEEPROM();
      return false;
    }
    if (maker != "MORLISK" || product != "KORVANE") continue;
    const std::string kind = Descriptor(7);
    const std::string versionText = Descriptor(8);
    if (kind.empty()) {
      UpdateBootEEPROM();
      return false;
    }
    if (kind != "KVBOOT" && kind != "KVSP") continue;
    // A version that is no number cannot be judged; the module is skipped.
    const auto version = ParseFirmwareVersion(versionText);
    if (!version) continue;
    if (kind == "KVBOOT") {
      if (*version >= MinFirmwareVersion) return true;
      UpdateBootEEPROM();
      return false;
    }
    if (*version >= MinFirmwareVersion) return true;
    Services().ShowWarning("Warning", OldFirmwareText);
    return false;
  }
  link.Close();
  return false;
}

bool StartUpSearch() {
  const bool found = FindModule();
  Link().InitModule();
  return found;
}

bool UpdateBootEEPROM() {
  if (Services().AskYesNo("Boot EEPROM Update",
                          "USB Module Boot Eeprom\rmust be updated. Continue?") != TAnswer::Yes)
    return false;
  const int size = static_cast<int>(DecodeImage(BootEepromImage()).size());
  const TTaskResult result =
      TaskForm().Execute(oprProgram, "USB Module Boot EEPROM", WriteBootEEPROM, tmKVBoot, size, 0);
  Services().ShowInformation(
      "Information",
      "Please reconnect the USB Module then restart\rthe Korvane Device Programmer software");
  return result == trSuccess;
}

TTaskResult WriteBootEEPROM() {
  TUSBInt& link = Link();
  TTaskForm& form = TaskForm();
  const std::vector<std::uint8_t> image = DecodeImage(BootEepromImage());
  // The image we carry decides the length; an empty one must not pass as written.
  const int size = static_cast<int>(std::min<std::size_t>(image.size(), 0xFFFF));
  if (size == 0) {
    form.AddError();
    Services().AddMessage("The boot EEPROM image is missing");
    return trDevWriteError;
  }
  for (int offset = 0; offset < size; offset += 16) {
    const auto length = static_cast<std::uint16_t>(std::min(16, size - offset));
    if (!link.VendorRequestOut(VrBootEeprom, static_cast<std::uint16_t>(offset),
                               BootEepromIndex, image.data() + offset, length)) {
      form.AddError();
      return trDevWriteError;
    }
    form.ShowProgress(offset);
    Services().ProcessMessages();
  }
  form.SetStatus(" Verifying...");
  for (int offset = 0; offset < size; ++offset) {
    std::uint8_t value = 0;
    if (!link.VendorRequestIn(VrBootEeprom, static_cast<std::uint16_t>(offset),
                              BootEepromIndex, &value, 1) ||
        value != image[static_cast<std::size_t>(offset)]) {
      form.AddError();
      return trDevWriteError;
    }
    form.ShowProgress(offset);
    Services().ProcessMessages();
  }
  return trSuccess;
}

void USBArrival() {
  if (Link().Opened()) return;
  Services().AddMessage("USB Module Connected");
  FindModule();
  Link().InitModule();
}

void USBRemove() {
  Services().AddMessage("USB Module Disconnected");
}

std::string LinkErrorLine(const std::string& deviceName, int code) {
  switch (code) {
  case UsbErrTimeout:
    return deviceName + "Programmer not respond " + std::to_string(code);
  case UsbErrNotOpened:
    return deviceName + "Programmer not Found " + std::to_string(code);
  default:
    return deviceName + "Error: " + std::to_string(code);
  }
}

void LinkError(const std::string& deviceName, int code) {
  Services().AddMessage(LinkErrorLine(deviceName, code));
}

void InstallConnectionHandlers() {
  Link().OnError = [](TUsbX*, const std::string& device, int code) { LinkError(device, code); };
  DebugWin().OnUSBArrival = [](void*) { USBArrival(); };
  DebugWin().OnUSBRemove = [](void*) { USBRemove(); };
}

void StartLink() {
  DebugWin().Visible = false;
  UsbDriver().OnDeviceChange = [](bool arrival) { DebugWin().DeviceChange(arrival); };
  UsbConList().RefreshConnections();
  Link().SetDebugWindowEnable(false);
  InstallConnectionHandlers();
}

void StopLink() {
  if (Link().Opened()) Link().Close();
  Link().OnError = nullptr;
  DebugWin().OnUSBArrival = nullptr;
  DebugWin().OnUSBRemove = nullptr;
  UsbConList().Clear();
  SetUsbDriver(nullptr);
}
