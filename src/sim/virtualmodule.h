#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "link/usb/usbbackend.h"
#include "sim/faultplan.h"
#include "sim/firmwarecontext.h"
#include "sim/moduleconfig.h"
#include "sim/pinmodel.h"
#include "sim/replyqueue.h"
#include "sim/runningfirmware.h"

class TSimClock;
class TCommandGroup;
class TTargetPart;

// The programmer module at the USB level: an FX2-class controller whose
// endpoint 0 answers the standard requests, vendor request 0xA0 (RAM and the
// CPU control register at 0xE600) and, while the boot updater runs, 0xBC (the
// boot EEPROM at index 0x71C4, offset in wValue). Releasing the core runs what
// RAM holds (TRunningFirmware). Command frames go to endpoint 0x01 and their
// replies come from 0x81, both only in alternate setting 1; frames are answered
// only while our base firmware runs, by the handler of the frame's command
// group when the running images list that group, else with status 2.
//
// The virtual backend calls the USB side; tests and the CLI use the rest.
// Time (bus transfers, command work) goes to the shared TSimClock.
class TVirtualModule {
public:
  static constexpr unsigned ControlTransferUs = 250;
  static constexpr unsigned BulkTransferUs = 125;
  static constexpr unsigned BootEepromWriteUs = 5000;
  static constexpr std::size_t BootEepromSize = 8192;

  explicit TVirtualModule(std::shared_ptr<TSimClock> clock, const TModuleConfig& config = {});
  ~TVirtualModule();
  TVirtualModule(const TVirtualModule&) = delete;
  TVirtualModule& operator=(const TVirtualModule&) = delete;

  // --- USB side (the virtual backend's port) ---
  // Power-up at plug: RAM cleared, the resident boot firmware runs, strings
  // from the personality or the boot EEPROM, configuration 1, alternate 0.
  void PlugIn();
  TUsbStatus Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                     std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                     std::uint32_t& transferred);
  TUsbStatus SetConfiguration(std::uint8_t value);
  TUsbStatus SetInterface(std::uint8_t interfaceNumber, std::uint8_t alternateSetting);
  // Timeout means the caller's time-out passed; the caller advances the clock.
  TUsbStatus Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length,
                  std::uint32_t& transferred);
  // The driver's reset: pending replies are dropped; firmware and setting stay.
  void ResetPort();
  // Raised by an unplug fault; the backend then unplugs the module.
  std::function<void()> OnUnplugRequest;

  // --- Extension: family command groups and the target part ---
  void RegisterGroup(std::uint8_t group, std::shared_ptr<TCommandGroup> handler);
  void AttachTarget(std::shared_ptr<TTargetPart> part);

  // --- Faults ---
  void AddFault(const TFault& fault);
  // Parses a --fault text and adds it; false with a message on bad text.
  bool AddFault(const std::string& text, std::string& error);
  void ClearFaults();
  const TFaultPlan& Faults() const { return Plan; }

  // --- Observation ---
  TSimClock& Clock() { return *SimClock; }
  const TModuleConfig& Config() const { return Cfg; }
  TPinModel& Pins() { return PinModel; }
  const TSerialLinkSettings& SerialLink() const { return Link; }
  const TRunningFirmware& Firmware() const { return Running; }
  TModule LoadedModule() const { return Running.Module; }
  bool CpuHeld() const { return Held; }
  bool AnswersFrames() const { return !Held && Running.AnswersFrames(); }
  std::uint8_t AlternateSetting() const { return AltSetting; }
  const TModuleStrings& Strings() const; // what the string descriptors say now
  const std::uint8_t* Ram() const { return Memory.data(); }
  std::vector<std::uint8_t>& BootEeprom() { return Eeprom; }
  std::uint64_t FramesReceived() const { return Frames; }
  int PendingReplies() const { return Replies.Size(); }

private:
  TUsbStatus StandardRequest(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                             std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                             std::uint32_t& transferred);
  TUsbStatus FirmwareLoad(bool in, std::uint16_t address, std::uint8_t* data, std::uint16_t length,
                          std::uint32_t& transferred);
  TUsbStatus BootEepromAccess(bool in, std::uint16_t offset, std::uint16_t index,
                              std::uint8_t* data, std::uint16_t length, std::uint32_t& transferred);
  void WriteCpuControl(std::uint8_t value);
  void StartFirmware();
  TUsbStatus ReceiveFrame(const std::uint8_t* packet, std::uint32_t length);
  TUsbStatus SendReply(std::uint8_t* data, std::uint32_t length, std::uint32_t& transferred);
  TUsbStatus ReadSamples(std::uint8_t* data, std::uint32_t length, std::uint32_t& transferred);
  void DropReplies();
  void SeedBootEeprom();
  TModuleStrings PlugStringsFor() const;

  std::shared_ptr<TSimClock> SimClock;
  TModuleConfig Cfg;
  std::vector<std::uint8_t> Memory;
  std::vector<std::uint8_t> Eeprom;
  TPinModel PinModel;
  TSerialLinkSettings Link;
  TFirmwareContext Context;
  std::array<std::shared_ptr<TCommandGroup>, 256> Groups{};
  std::shared_ptr<TTargetPart> Target;
  TRunningFirmware Running;
  bool Held = false;
  std::uint8_t Configuration = 1;
  std::uint8_t AltSetting = 0;
  TModuleStrings PlugStrings;
  TModuleStrings FirmwareStrings; // while our base firmware runs
  TReplyQueue Replies;
  TReplyQueue::TReply Late{};
  bool HasLate = false;
  TFaultPlan Plan;
  std::uint64_t Frames = 0;
};
