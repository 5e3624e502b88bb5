#include "sim/virtualmodule.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "link/basecmds.h"
#include "link/fwheader.h"
#include "link/fwimages.h"
#include "sim/commandgroup.h"
#include "sim/identifycommands.h"
#include "sim/pincommands.h"
#include "sim/seriallinkcommands.h"
#include "sim/simclock.h"
#include "sim/targetpart.h"
#include "sim/usbdescriptors.h"

namespace {

constexpr std::uint8_t ReqGetStatus = 0, ReqGetDescriptor = 6, ReqGetConfiguration = 8,
                       ReqSetConfiguration = 9, ReqGetInterface = 10, ReqSetInterface = 11;
constexpr std::uint8_t RecipientDevice = 0, RecipientInterface = 1;
constexpr std::uint8_t TypeStandard = 0x00, TypeVendor = 0x40;

std::uint32_t BaseImageVersion() {
  const std::vector<std::uint8_t> base = DecodeImage(BaseFirmwareImage());
  const auto h = ReadImageHeader(base.data(), base.size());
  return h ? h->Version : 0;
}

std::string Hex8(std::uint32_t v) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

} // namespace

TVirtualModule::TVirtualModule(std::shared_ptr<TSimClock> clock, const TModuleConfig& config)
    : SimClock(std::move(clock)), Cfg(config), Memory(TFirmwareContext::RamSize),
      Eeprom(BootEepromSize, 0xFF), Context{*SimClock, PinModel, Memory.data(), Link, Cfg} {
  Groups[0x00] = std::make_shared<TPinCommands>();
  Groups[0x30] = std::make_shared<TSerialLinkCommands>();
  Groups[0x40] = std::make_shared<TIdentifyCommands>();
  PinModel.SetJumperJ1(Cfg.JumperJ1);
  SeedBootEeprom();
  PlugIn();
}

TVirtualModule::~TVirtualModule() = default;

void TVirtualModule::SeedBootEeprom() {
  if (Cfg.Personality == TPersonality::KvBoot) {
    const std::vector<std::uint8_t> image = DecodeImage(BootEepromImage());
    std::copy_n(image.begin(), std::min(image.size(), Eeprom.size()), Eeprom.begin());
  } else if (Cfg.Personality == TPersonality::KvBootOld) {
    // An older boot firmware of ours: a valid boot EEPROM image, old version.
    std::uint8_t body[64] = {0};
    for (std::size_t i = 1; i < sizeof body; ++i)
      body[i] = static_cast<std::uint8_t>(i * 37);
    WriteImageHeader({TImageKind::BootEeprom, tmNone, OldFirmwareVersion, sizeof body,
                      ImageCrc32(body, sizeof body)},
                     Eeprom.data());
    std::copy_n(body, sizeof body, Eeprom.begin() + ImageHeaderSize);
  }
}

TModuleStrings TVirtualModule::PlugStringsFor() const {
  if (Cfg.Strings) return *Cfg.Strings;
  const std::string serial = Hex8(Cfg.SerialNumber & 0x0FFFFFFFu);
  switch (Cfg.Personality) {
  case TPersonality::OtherMaker:
    return {"Elbrant Instruments", "FX Loader", serial, "ELX", "268500992"};
  case TPersonality::KvSp:
    return {"Morlisk", "Korvane", serial, "KVSP", std::to_string(BaseImageVersion())};
  case TPersonality::KvSpOld:
    return {"Morlisk", "Korvane", serial, "KVSP", std::to_string(OldFirmwareVersion)};
  default: {
    const auto h = ReadImageHeader(Eeprom.data(), Eeprom.size());
    if (h && h->Kind == TImageKind::BootEeprom)
      return {"Morlisk", "Korvane", serial, "KVBOOT", std::to_string(h->Version)};
    return {};
  }
  }
}

const TModuleStrings& TVirtualModule::Strings() const {
  return AnswersFrames() ? FirmwareStrings : PlugStrings;
}

void TVirtualModule::PlugIn() {
  std::fill(Memory.begin(), Memory.end(), 0);
  Held = false;
  Running = {};
  Context.LoadedModule = tmNone;
  Configuration = 1;
  AltSetting = 0;
  DropReplies();
  Link = {};
  PinModel.Reset();
  for (auto& g : Groups)
    if (g) g->Restart(Context);
  PlugStrings = PlugStringsFor();
  Frames = 0;
}

void TVirtualModule::RegisterGroup(std::uint8_t group, std::shared_ptr<TCommandGroup> handler) {
  Groups[group] = std::move(handler);
}

void TVirtualModule::AttachTarget(std::shared_ptr<TTargetPart> part) {
  Target = std::move(part);
  Context.Target = Target.get();
  PinModel.AttachTarget(Target.get());
}

void TVirtualModule::AddFault(const TFault& fault) {
  if (fault.Kind == TFaultKind::PinVolts)
    PinModel.ForceVolts(fault.Value, fault.Volts);
  else
    Plan.Add(fault);
}

bool TVirtualModule::AddFault(const std::string& text, std::string& error) {
  TFault fault;
  if (!ParseFault(text, fault, error)) return false;
  AddFault(fault);
  return true;
}

void TVirtualModule::ClearFaults() {
  Plan.Clear();
  for (int pin = 0; pin < PinIndexCount; ++pin)
    PinModel.ReleaseForced(pin);
}

void TVirtualModule::DropReplies() {
  Replies.Clear();
  HasLate = false;
}

void TVirtualModule::ResetPort() {
  DropReplies();
}

// --- endpoint 0 ---

TUsbStatus TVirtualModule::Control(std::uint8_t requestType, std::uint8_t request,
                                   std::uint16_t value, std::uint16_t index, std::uint8_t* data,
                                   std::uint16_t length, std::uint32_t& transferred) {
  transferred = 0;
  SimClock->Advance(ControlTransferUs);
  const bool in = (requestType & 0x80) != 0;
  const std::uint8_t type = requestType & 0x60;
  if (type == TypeStandard)
    return StandardRequest(requestType, request, value, index, data, length, transferred);
  if (type != TypeVendor || (requestType & 0x1F) != RecipientDevice) return TUsbStatus::Stall;
  if (request == VrFirmwareLoad) return FirmwareLoad(in, value, data, length, transferred);
  if (request == VrBootEeprom) return BootEepromAccess(in, value, index, data, length, transferred);
  return TUsbStatus::Stall;
}

TUsbStatus TVirtualModule::StandardRequest(std::uint8_t requestType, std::uint8_t request,
                                           std::uint16_t value, std::uint16_t index,
                                           std::uint8_t* data, std::uint16_t length,
                                           std::uint32_t& transferred) {
  const bool in = (requestType & 0x80) != 0;
  const std::uint8_t recipient = requestType & 0x1F;
  if (!in) {
    if (request == ReqSetConfiguration && recipient == RecipientDevice)
      return SetConfiguration(static_cast<std::uint8_t>(value));
    if (request == ReqSetInterface && recipient == RecipientInterface && index <= 0xFF &&
        value <= 0xFF)
      return SetInterface(static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(value));
    return TUsbStatus::Stall;
  }
  if (length == 0) return TUsbStatus::Stall;
  switch (request) {
  case ReqGetStatus:
    data[0] = 0;
    if (length > 1) data[1] = 0;
    transferred = std::min<std::uint16_t>(length, 2);
    return TUsbStatus::Ok;
  case ReqGetConfiguration:
    data[0] = Configuration;
    transferred = 1;
    return TUsbStatus::Ok;
  case ReqGetInterface:
    if (recipient != RecipientInterface || index != 0 || Configuration == 0)
      return TUsbStatus::Stall;
    data[0] = AltSetting;
    transferred = 1;
    return TUsbStatus::Ok;
  case ReqGetDescriptor:
    break;
  default:
    return TUsbStatus::Stall;
  }
  const std::uint8_t type = static_cast<std::uint8_t>(value >> 8);
  const std::uint8_t descIndex = static_cast<std::uint8_t>(value);
  std::uint8_t text[256];
  const std::uint8_t* src = nullptr;
  std::size_t size = 0;
  if (type == 1 && descIndex == 0)
    src = TUsbDescriptors::Device(size);
  else if (type == 2 && descIndex == 0)
    src = TUsbDescriptors::Configuration(size);
  else if (type == 3) {
    size = TUsbDescriptors::String(descIndex, Strings(), text);
    src = text;
  }
  if (src == nullptr || size == 0) return TUsbStatus::Stall;
  transferred = static_cast<std::uint32_t>(std::min<std::size_t>(length, size));
  std::memcpy(data, src, transferred);
  return TUsbStatus::Ok;
}

TUsbStatus TVirtualModule::SetConfiguration(std::uint8_t value) {
  if (value > 1) return TUsbStatus::Stall;
  Configuration = value;
  AltSetting = 0;
  DropReplies();
  return TUsbStatus::Ok;
}

TUsbStatus TVirtualModule::SetInterface(std::uint8_t interfaceNumber,
                                        std::uint8_t alternateSetting) {
  if (Configuration == 0 || interfaceNumber != 0 ||
      alternateSetting >= TUsbDescriptors::AltSettingCount)
    return TUsbStatus::Stall;
  AltSetting = alternateSetting;
  DropReplies();
  return TUsbStatus::Ok;
}

TUsbStatus TVirtualModule::FirmwareLoad(bool in, std::uint16_t address, std::uint8_t* data,
                                        std::uint16_t length, std::uint32_t& transferred) {
  if (static_cast<std::size_t>(address) + length > Memory.size()) return TUsbStatus::Stall;
  if (in) {
    std::memcpy(data, Memory.data() + address, length);
    transferred = length;
    return TUsbStatus::Ok;
  }
  // Hold and run (one byte at 0xE600) are not firmware chunks.
  const bool cpuControlOnly = address == CpuControlRegister && length == 1;
  if (!cpuControlOnly && !Plan.Empty() && Plan.OnFirmwareChunk()) return TUsbStatus::Stall;
  std::memcpy(Memory.data() + address, data, length);
  transferred = length;
  if (address <= CpuControlRegister && CpuControlRegister < address + length)
    WriteCpuControl(Memory[CpuControlRegister]);
  return TUsbStatus::Ok;
}

void TVirtualModule::WriteCpuControl(std::uint8_t value) {
  const bool hold = (value & 1) != 0;
  if (hold && !Held) {
    Held = true;
    DropReplies();
  } else if (!hold && Held) {
    Held = false;
    StartFirmware();
  }
}

void TVirtualModule::StartFirmware() {
  Running = TRunningFirmware::Inspect(Memory.data(), Memory.size());
  Context.LoadedModule = Running.Module;
  DropReplies();
  Link = {};
  PinModel.Reset();
  for (auto& g : Groups)
    if (g) g->Restart(Context);
  if (Running.AnswersFrames())
    FirmwareStrings = {"Morlisk", "Korvane", Hex8(Cfg.SerialNumber & 0x0FFFFFFFu), "KVSP",
                       std::to_string(Running.Version)};
}

TUsbStatus TVirtualModule::BootEepromAccess(bool in, std::uint16_t offset, std::uint16_t index,
                                            std::uint8_t* data, std::uint16_t length,
                                            std::uint32_t& transferred) {
  if (index != BootEepromIndex || Held || Running.Kind != TFirmwareKind::BootUpdater)
    return TUsbStatus::Stall;
  if (static_cast<std::size_t>(offset) + length > Eeprom.size()) return TUsbStatus::Stall;
  if (in) {
    std::memcpy(data, Eeprom.data() + offset, length);
  } else {
    std::memcpy(Eeprom.data() + offset, data, length);
    SimClock->Advance(BootEepromWriteUs);
  }
  transferred = length;
  return TUsbStatus::Ok;
}

// --- bulk endpoints ---

TUsbStatus TVirtualModule::Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length,
                                std::uint32_t& transferred) {
  transferred = 0;
  // Only alternate setting 1 has endpoints.
  if (Configuration == 0 || AltSetting != 1) return TUsbStatus::Error;
  TUsbStatus status = TUsbStatus::Ok;
  switch (endpoint) {
  case TUsbDescriptors::EpCommandOut:
    // A longer write arrives as several 64-byte packets, each a frame.
    for (std::uint32_t at = 0; at < length && status == TUsbStatus::Ok;
         at += TReplyQueue::FrameSize) {
      const std::uint32_t n = std::min<std::uint32_t>(TReplyQueue::FrameSize, length - at);
      status = ReceiveFrame(data + at, n);
      if (status == TUsbStatus::Ok) transferred = at + n;
    }
    break;
  case TUsbDescriptors::EpCommandIn:
    status = SendReply(data, length, transferred);
    break;
  case TUsbDescriptors::EpSamplesIn:
    status = ReadSamples(data, length, transferred);
    break;
  default:
    return TUsbStatus::Error;
  }
  // A time-out's whole wait is the caller's time-out, bus time included.
  if (status != TUsbStatus::Timeout) SimClock->Advance(BulkTransferUs);
  return status;
}

TUsbStatus TVirtualModule::ReceiveFrame(const std::uint8_t* packet, std::uint32_t length) {
  // While replies pile up unread the firmware takes no more frames.
  if (AnswersFrames() && Replies.Full()) return TUsbStatus::Timeout;
  const TFrameFaults due = Plan.Empty() ? TFrameFaults{} : Plan.OnFrame();
  ++Frames;
  if (due.Unplug) {
    // The handler may reset OnUnplugRequest, so it runs from a copy.
    if (auto unplug = OnUnplugRequest) unplug();
    return TUsbStatus::Ok;
  }
  if (!AnswersFrames() || due.NoReply) return TUsbStatus::Ok;

  std::uint8_t padded[TReplyQueue::FrameSize];
  const std::uint8_t* request = packet;
  if (length < TReplyQueue::FrameSize) {
    std::memset(padded, 0, sizeof padded);
    std::memcpy(padded, packet, length);
    request = padded;
  }

  TReplyQueue::TReply* reply;
  if (due.Stale) {
    // An earlier late reply that never arrived goes first.
    if (HasLate && !Replies.Full()) Replies.Push() = Late;
    HasLate = true;
    reply = &Late;
  } else {
    reply = &Replies.Push();
  }
  reply->Data.fill(0);
  reply->Data[0] = request[0];
  reply->Data[1] = request[1];
  const std::uint8_t group = request[1];
  std::uint8_t status = StatusFrameError;
  if (Running.Groups.test(group) && Groups[group])
    status = Groups[group]->Execute(Context, request, reply->Data.data());
  if (due.Status >= 0) status = static_cast<std::uint8_t>(due.Status);
  reply->Data[2] = status;
  reply->Length =
      static_cast<std::uint8_t>(due.ReplyLength >= 0 ? due.ReplyLength : TReplyQueue::FrameSize);
  return TUsbStatus::Ok;
}

TUsbStatus TVirtualModule::SendReply(std::uint8_t* data, std::uint32_t length,
                                     std::uint32_t& transferred) {
  if (Replies.Empty()) {
    // A late reply arrives just after the host gave up waiting for it.
    if (HasLate) {
      Replies.Push() = Late;
      HasLate = false;
    }
    return TUsbStatus::Timeout;
  }
  const TReplyQueue::TReply& reply = Replies.Front();
  if (length < reply.Length) {
    Replies.Pop(); // the packet overflows the buffer and is lost
    return TUsbStatus::Error;
  }
  std::memcpy(data, reply.Data.data(), reply.Length);
  transferred = reply.Length;
  Replies.Pop();
  return TUsbStatus::Ok;
}

TUsbStatus TVirtualModule::ReadSamples(std::uint8_t* data, std::uint32_t length,
                                       std::uint32_t& transferred) {
  if (!AnswersFrames()) return TUsbStatus::Timeout;
  for (int group = 0; group < 256; ++group) {
    if (!Running.Groups.test(group) || !Groups[group]) continue;
    transferred = Groups[group]->ReadSamples(Context, data, length);
    if (transferred != 0) return TUsbStatus::Ok;
  }
  return TUsbStatus::Ok;
}
