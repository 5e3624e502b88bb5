#include "link/errcodes.h"

#include <array>

namespace {

struct TResultInfo {
  const char* Name;
  const char* Text;
  int Status; // module status byte, -1 when none maps here
};

constexpr std::array<TResultInfo, TaskResultCount> Results{{
    {"trSuccess", "", 0},
    {"trUSBTimeout", "", -1},
    {"trUSBError", "", -1},
    {"trDevTimeout", "Device not Respond", 1},
    {"trDevFrameError", "Frame Error", 2},
    {"trDevError", "General Error", -1},
    {"trDevResetLowError", "Reset Low Error", 3},
    {"trDevResetHighError", "Reset High Error", 4},
    {"trDevPowerError", "Vdd/Vcc Out of Range", 5},
    {"trDevVppError", "Vpp Out of Range", 6},
    {"trEchoError", "Device not Respond", 7},
    {"trSerialProgNotReconized", "Programmer not Recognized", 8},
    {"trHCSProgramError", "", -1},
    {"trNoDetectedModules", "No Programmers Connected to the USB Module", 9},
    {"trDevBKGDLowError", "BKGD Low Error", 11},
    {"trDevBKGDHighError", "BKGD High Error", 10},
    {"trDevWriteError", "Write Error", 12},
    {"trDevEEPROMAccessError", "EEPROM Access Error", 13},
    {"trProtectionViolationError", "Protection Violation Error", 14},
    {"trIncorrectBDMFrequency", "Incorrect Oscillator Frequency", -1},
    {"trSPIHoldError", "HOLD High Error", 15},
    {"trWPError", "WP High Error", 16},
    {"trCSError", "CS Error", 17},
    {"trDIError", "DI Error", 18},
    {"trCLKError", "CLK Error", 19},
    {"trProgramCancel", "", -1},
    {"trORGError", "ORG Error", 20},
    {"trSDAError", "Data Error", 21},
    {"trACKError", "ACK Error", 22},
    {"trI2CBusBusy", "I2C Bus Busy", 23},
    {"trLoadModuleError", "Load Module Error", -1},
    {"trLoadFirmwareError", "", -1},
    {"trInvalidModule", "Invalid Module", -1},
    {"trMWSPREError", "PRE Error", 24},
    {"trMWSPEError", "PE Error", 25},
    {"trEraseCancel", "", -1},
    {"trM6MResetError", "Reset Error", 26},
    {"trCXKOSCError", "OSC Error", 27},
    {"trSDE2506_TPError", "TP Error", 28},
    {"trSDE2506_CEError", "CE Error", 29},
    {"trTHC11Secured", "Secured Device", 30},
    {"trNECMOTLowError", "NEC/MOT Switch Pin Error", 31},
    {"trNECICHighError", "Pin 9 Connection Error", 32},
    {"trNECSIError", "Pin 11 Connection Error", 33},
    {"trNECTIError", "Pin 12 Connection Error", 34},
    {"trNECBaudRateCaptureError", "Baudrate Capture Error", 35},
    {"trCR16ENV0LowError", "ENV0 Pin Error", 36},
    {"trCR16SetupBaudError", "Baudrate Setup Error", 37},
    {"trCR16BadAsk", "Bad Ack Error", 38},
    {"trCR16NAK", "NAK Error", 39},
    {"trSCIPinHighError", "SCIRxD Low Error", 40},
    {"trSCIPinLowError", "SCIRxD Error", 41},
    {"trBootError", "Bootloader Error", -1},
}};

constexpr int MaxStatus = 41;

// Built once from the table so the mapping has a single source.
constexpr std::array<TTaskResult, MaxStatus + 1> BuildStatusMap() {
  std::array<TTaskResult, MaxStatus + 1> map{};
  for (auto& r : map)
    r = trDevError;
  for (int i = 0; i < TaskResultCount; ++i)
    if (Results[i].Status >= 0) map[Results[i].Status] = static_cast<TTaskResult>(i);
  return map;
}

constexpr auto StatusMap = BuildStatusMap();

constexpr std::array<const char*, ModuleCount> ModuleNames{
    "tmNone",   "tmMotorola", "tmEEPROM", "tmEEPROM_MIS", "tmScope", "tmPulse", "tmNec",
    "tmKVBoot", "tmCR16",     "tmAtmel",  "tmPIC",        "tmTMS",   "tmST",    "tmTMS2"};

} // namespace

TTaskResult StatusToResult(std::uint8_t status) {
  return status <= MaxStatus ? StatusMap[status] : trDevError;
}

int ResultToStatus(TTaskResult result) {
  return result < TaskResultCount ? Results[result].Status : -1;
}

const char* TaskResultText(TTaskResult result) {
  return result < TaskResultCount ? Results[result].Text : "";
}

const char* TaskResultName(TTaskResult result) {
  return result < TaskResultCount ? Results[result].Name : "";
}

const char* ModuleName(TModule module) {
  return module < ModuleCount ? ModuleNames[module] : "";
}
