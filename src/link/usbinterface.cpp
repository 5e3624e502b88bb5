#include "link/usbinterface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "link/basecmds.h"
#include "link/fwimages.h"
#include "shell/appservices.h"

const char* const PinResultNames[PinResultCount] = {"P1", "P2", "P3", "P4", "P6", "P7", "P8", "P9"};

std::uint16_t VoltsToCounts(double volts) {
  const double counts = std::nearbyint(volts * CountsPerVolt); // ties to even
  return static_cast<std::uint16_t>(std::clamp(counts, 0.0, 65535.0));
}

float CountsToVolts(std::uint16_t counts) {
  return static_cast<float>(counts / CountsPerVolt);
}

void PutWord(TFrame& f, std::size_t at, std::uint16_t v) {
  f[at] = static_cast<std::uint8_t>(v);
  f[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLong(TFrame& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t GetWord(const TFrame& f, std::size_t at) {
  return static_cast<std::uint16_t>(f[at] | (f[at + 1] << 8));
}

std::uint32_t GetLong(const TFrame& f, std::size_t at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) |
         (static_cast<std::uint32_t>(f[at + 3]) << 24);
}

TFrame MakeRequest(std::uint16_t command, std::uint32_t param, std::uint8_t byteParam) {
  TFrame f{};
  PutWord(f, 0, command);
  f[2] = byteParam;
  PutLong(f, 3, param);
  return f;
}

TUSBInt::TUSBInt() {
  SetDebugWindowEnable(false);
}

TUSBInt& Link() {
  static TUSBInt link;
  return link;
}

// ---- frames and reporting ----

TTaskResult TUSBInt::SendCommand(TFrame& request, TFrame& reply, bool show) {
  TTaskResult result = trUSBError;
  if (StaleReplyPossible) FlushStaleReplies();
  std::uint32_t returned = 0;
  ++FrameCount;
  if (WriteEP1(request.data(), FrameSize, returned)) {
    if (returned != FrameSize) {
      DoError(SysErrorIo); // a short request never reached the module whole
    } else if (ReadEP1(reply.data(), FrameSize, returned)) {
      if (returned != FrameSize)
        DoError(SysErrorIo); // a cut reply is not trusted
      else
        result = StatusToResult(reply[2]);
    }
  }
  if (result == trUSBError && PeekLastError() == UsbErrTimeout) StaleReplyPossible = true;
  if (show) ReportResult(result);
  return result;
}

// After a time-out the module may still deliver the late reply; drain it so
// that the next command does not take it for its own.
void TUSBInt::FlushStaleReplies() {
  StaleReplyPossible = false;
  const bool showError = ShowError;
  auto onError = std::move(OnError);
  const int timeout = Timeout;
  const int lastError = PeekLastError();
  ShowError = false;
  OnError = nullptr;
  Timeout = 20;
  TFrame scratch{};
  std::uint32_t returned = 0;
  for (int i = 0; i < 8 && ReadEP1(scratch.data(), FrameSize, returned); ++i) {
  }
  ShowError = showError;
  OnError = std::move(onError);
  Timeout = timeout;
  SetLastErrorQuietly(lastError);
}

void TUSBInt::ReportResult(TTaskResult result) {
  if (result == trSuccess) return;
  const char* text = TaskResultText(result);
  if (*text) Services().AddMessage(text);
  Services().AddError();
}

void TUSBInt::ReportMessage(const std::string& text, bool countAsError) {
  Services().AddMessage(text);
  if (countAsError) Services().AddError();
}

void TUSBInt::ReportProgramError(int address, int expected, int read) {
  Services().AddError();
  char line[96];
  std::snprintf(line, sizeof line, "Program Error [%X] = %02X read %02X", address, expected, read);
  Services().AddMessage(line);
}

// ---- base commands ----

bool TUSBInt::SendRaw(std::uint16_t command) {
  TFrame request = MakeRequest(command);
  return SendRawFrame(request);
}

bool TUSBInt::SendRawFrame(TFrame& request) {
  TFrame reply{};
  std::uint32_t returned = 0;
  ++FrameCount;
  const bool ok =
      WriteEP1(request.data(), FrameSize, returned) && ReadEP1(reply.data(), FrameSize, returned);
  if (!ok && PeekLastError() == UsbErrTimeout) StaleReplyPossible = true;
  return ok;
}

bool TUSBInt::ReleasePins() {
  return SendRaw(CmdReleasePins);
}
bool TUSBInt::PowerOn() {
  return SendRaw(CmdPowerOn);
}
bool TUSBInt::PowerOff() {
  return SendRaw(CmdPowerOff);
}

TTaskResult TUSBInt::CheckPins(const std::array<float, 16>& limits, TPinResults& results) {
  TFrame request = MakeRequest(CmdCheckPins);
  for (int i = 0; i < PinResultCount; ++i) {
    PutWord(request, PinBlockOffset + 4 * i, VoltsToCounts(limits[2 * i]));
    PutWord(request, PinBlockOffset + 4 * i + 2, VoltsToCounts(limits[2 * i + 1]));
  }
  TFrame reply{};
  const TTaskResult r = SendCommand(request, reply, true);
  DecodePinResults(reply, results);
  return r;
}

TTaskResult TUSBInt::SetPins(std::uint8_t p1Code, std::uint8_t p2, std::uint8_t p3, std::uint8_t p4,
                             std::uint8_t p6, std::uint8_t p7, std::uint8_t p8, std::uint8_t p9,
                             std::uint8_t& levels) {
  TFrame request = MakeRequest(CmdSetPins);
  const std::uint8_t states[8] = {p1Code, p2, p3, p4, p6, p7, p8, p9};
  std::copy(std::begin(states), std::end(states), request.begin() + 8);
  TFrame reply{};
  const TTaskResult r = SendCommand(request, reply, true);
  if (r == trSuccess) levels = reply[8];
  return r;
}

TTaskResult TUSBInt::ReadPinLevels(std::uint32_t param, std::array<bool, 6>& levels) {
  TFrame request = MakeRequest(CmdReadPinLevels, param);
  TFrame reply{};
  const TTaskResult r = SendCommand(request, reply, true);
  if (r == trSuccess) {
    static constexpr std::uint8_t bits[6] = {LevelP2, LevelP3, LevelP4, LevelP6, LevelP7, LevelP8};
    for (int i = 0; i < 6; ++i)
      levels[i] = (reply[8] & bits[i]) != 0;
  }
  return r;
}

bool TUSBInt::SetWaitTime(std::uint32_t value) {
  TFrame request = MakeRequest(CmdSetWaitTime, value * 1500u + 0x010101u);
  return SendRawFrame(request);
}

int TUSBInt::BitRateDivider(float frequency) {
  // A frequency the time base cannot divide to gives the fastest setting
  // instead of an undefined division.
  if (!(frequency > 0) || !std::isfinite(frequency)) return 0;
  const double ticks = std::nearbyint(4000000.0 / frequency) - 5;
  return static_cast<int>(std::clamp(ticks, 0.0, 65535.0));
}

bool TUSBInt::SetBitRate(float frequency) {
  const int n = BitRateDivider(frequency);
  TFrame request = MakeRequest(CmdSetBitRate, static_cast<std::uint32_t>(n / 2));
  PutWord(request, 8, static_cast<std::uint16_t>(n));
  PutWord(request, 10, static_cast<std::uint16_t>(n / 2));
  return SendRawFrame(request);
}

bool TUSBInt::SerialLinkStart(std::uint16_t command, std::uint32_t waitTime, float frequency) {
  return SetBitRate(frequency) && SetWaitTime(waitTime) && SendRaw(command);
}

bool TUSBInt::StartSerialLink(std::uint32_t waitTime, float frequency) {
  return SerialLinkStart(CmdStartSerialLink, waitTime, frequency);
}

bool TUSBInt::StartSerialLinkAlt(std::uint32_t waitTime, float frequency) {
  return SerialLinkStart(CmdStartSerialLinkAlt, waitTime, frequency);
}

TTaskResult TUSBInt::ReadProgrammerID(std::array<std::uint8_t, 8>& id) {
  TFrame request = MakeRequest(CmdIdentify);
  TFrame reply{};
  const TTaskResult r = SendCommand(request, reply, true);
  if (r == trSuccess) {
    std::copy(reply.begin() + 8, reply.begin() + 16, id.begin());
    SerialNumber = GetLong(reply, 12) & 0x0FFFFFFFu;
  }
  return r;
}

TTaskResult TUSBInt::IdentifyProgrammer() {
  std::array<std::uint8_t, 8> id{};
  const TTaskResult r = ReadProgrammerID(id);
  if (r == trSuccess) {
    char line[80];
    std::snprintf(line, sizeof line, "Found Device Programmer KVSP1, Serial Number: %08X",
                  SerialNumber);
    Services().AddMessage(line);
  }
  return r;
}

// ---- pin helpers ----

TTaskResult TUSBInt::MeasurePins(TPinResults& results, float logicLow, float logicHigh,
                                 float vccLow, float vccHigh, float p1Low, float p1High) {
  std::array<float, 16> limits{};
  limits[0] = p1Low;
  limits[1] = p1High;
  for (int i = 1; i <= 6; ++i) {
    limits[2 * i] = logicLow;
    limits[2 * i + 1] = logicHigh;
  }
  limits[14] = vccLow;
  limits[15] = vccHigh;
  return CheckPins(limits, results);
}

void TUSBInt::SetPinLimits(TFrame& request, const TPowerPreset& preset, float p1Low, float p1High) {
  PutWord(request, PinBlockOffset, VoltsToCounts(p1Low));
  PutWord(request, PinBlockOffset + 2, VoltsToCounts(p1High));
  for (int i = 1; i < PinResultCount; ++i) {
    PutWord(request, PinBlockOffset + 4 * i, VoltsToCounts(preset.Volts[12 + 2 * (i - 1)]));
    PutWord(request, PinBlockOffset + 4 * i + 2, VoltsToCounts(preset.Volts[13 + 2 * (i - 1)]));
  }
  if (!preset.StopOnError)
    for (int i = 0; i < PinResultCount - 1; ++i) {
      const std::size_t at = PinBlockOffset + 4 * i;
      PutWord(request, at, static_cast<std::uint16_t>(GetWord(request, at) + PinLimitNoStopFlag));
    }
}

void TUSBInt::DecodePinResults(const TFrame& reply, TPinResults& results) {
  for (int i = 0; i < PinResultCount; ++i) {
    const std::size_t at = PinBlockOffset + 4 * i;
    results[i].Volts = CountsToVolts(GetWord(reply, at));
    results[i].Level = reply[at + 2];
    results[i].Check = reply[at + 3];
  }
}

std::string TUSBInt::PinCheckText(std::uint8_t check) {
  switch (check) {
  case 0:
    return "N/A";
  case 1:
    return "OK";
  case 2:
    return "Bad";
  default:
    return "";
  }
}

// ---- modules ----

TTaskResult TUSBInt::LoadModule(TModule module) {
  if (module == CurrentModule) return trSuccess;
  if (module == tmNone || module > tmTMS2) {
    ReportResult(trInvalidModule);
    return trInvalidModule;
  }
  const std::vector<std::uint8_t> image = DecodeImage(ModuleImage(module));
  bool ok;
  if (module == tmKVBoot) {
    ok = DownloadFirmware(image.data(), static_cast<std::uint16_t>(image.size()), 0);
  } else {
    ok = image.size() > 0x1000 &&
         DownloadFirmware(image.data() + 0x1000, static_cast<std::uint16_t>(image.size() - 0x1000),
                          0x1000);
  }
  if (!ok) {
    // A half-written or held module must be loaded again next time.
    CurrentModule = tmNone;
    return trLoadModuleError;
  }
  CurrentModule = module;
  return trSuccess;
}

TTaskResult TUSBInt::InitModule() {
  CurrentModule = tmNone;
  {
    const std::vector<std::uint8_t> base = DecodeImage(BaseFirmwareImage());
    if (!DownloadFirmware(base.data(), static_cast<std::uint16_t>(base.size()), 0))
      return trLoadFirmwareError;
  }
  if (LoadModule(tmMotorola) != trSuccess) return trLoadFirmwareError;
  if (!SetInterface(0, 1)) return trLoadFirmwareError;
  if (IdentifyProgrammer() != trSuccess) return trLoadFirmwareError;
  return trSuccess;
}
