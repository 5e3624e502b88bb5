#pragma once

#include <cstdint>
#include <string>

// Outcome of every module exchange, device operation and task. The ordinals are
// stored in one byte and seen by scripts, so their order never changes.
enum TTaskResult : std::uint8_t {
  trSuccess,
  trUSBTimeout,
  trUSBError,
  trDevTimeout,
  trDevFrameError,
  trDevError,
  trDevResetLowError,
  trDevResetHighError,
  trDevPowerError,
  trDevVppError,
  trEchoError,
  trSerialProgNotReconized,
  trHCSProgramError,
  trNoDetectedModules,
  trDevBKGDLowError,
  trDevBKGDHighError,
  trDevWriteError,
  trDevEEPROMAccessError,
  trProtectionViolationError,
  trIncorrectBDMFrequency,
  trSPIHoldError,
  trWPError,
  trCSError,
  trDIError,
  trCLKError,
  trProgramCancel,
  trORGError,
  trSDAError,
  trACKError,
  trI2CBusBusy,
  trLoadModuleError,
  trLoadFirmwareError,
  trInvalidModule,
  trMWSPREError,
  trMWSPEError,
  trEraseCancel,
  trM6MResetError,
  trCXKOSCError,
  trSDE2506_TPError,
  trSDE2506_CEError,
  trTHC11Secured,
  trNECMOTLowError,
  trNECICHighError,
  trNECSIError,
  trNECTIError,
  trNECBaudRateCaptureError,
  trCR16ENV0LowError,
  trCR16SetupBaudError,
  trCR16BadAsk,
  trCR16NAK,
  trSCIPinHighError,
  trSCIPinLowError,
  trBootError,
};

constexpr int TaskResultCount = trBootError + 1;

// The protocol module the programmer module runs.
enum TModule : std::uint8_t {
  tmNone,
  tmMotorola,
  tmEEPROM,
  tmEEPROM_MIS,
  tmScope,
  tmPulse,
  tmNec,
  tmKVBoot,
  tmCR16,
  tmAtmel,
  tmPIC,
  tmTMS,
  tmST,
  tmTMS2,
};

constexpr int ModuleCount = tmTMS2 + 1;

enum TIOStatus : std::uint8_t { iosBuzy, iosReady, iosError };
enum TIOCommand : std::uint8_t { iocRead, iocWrite };

// Module status byte (reply byte 2) to result; unknown statuses are general errors.
TTaskResult StatusToResult(std::uint8_t status);

// The module status byte that maps to a result, or -1 when no status does.
int ResultToStatus(TTaskResult result);

// Message-panel text of a result; empty for results that add no line.
const char* TaskResultText(TTaskResult result);

// Declared name of a result ("trSuccess"), for scripts and diagnostics.
const char* TaskResultName(TTaskResult result);

// Declared name of a module ("tmEEPROM").
const char* ModuleName(TModule module);
