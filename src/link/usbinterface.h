#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/errcodes.h"
#include "link/usbx.h"

// One 64-byte command frame (request or reply).
constexpr std::size_t FrameSize = 64;
constexpr std::size_t FrameDataSize = 56; // bytes 8..63
using TFrame = std::array<std::uint8_t, FrameSize>;

// Voltages travel as 16-bit counts of 62.0606 per volt.
constexpr double CountsPerVolt = 62.0606;
std::uint16_t VoltsToCounts(double volts); // nearest, ties to even
float CountsToVolts(std::uint16_t counts);

// P1 (Vpp) voltage codes
constexpr std::uint8_t P1Off = 0, P1_8V = 15, P1_9V = 11, P1_10V = 9, P1_11V = 7, P1_12V = 3,
                       P1_13V = 1;
// Logic pin states
constexpr std::uint8_t PinLow = 0, PinHigh = 1, PinHiZ = 2;
// Bits of the logic level byte
constexpr std::uint8_t LevelP2 = 0x20, LevelP3 = 0x80, LevelP4 = 0x01, LevelP6 = 0x10,
                       LevelP7 = 0x40, LevelP8 = 0x02;

struct TPinResult {
  float Volts = 0;
  std::uint8_t Level = 0;
  std::uint8_t Check = 0; // 0 not checked, 1 inside the limits, 2 outside
};
// Pin order P1, P2, P3, P4, P6, P7, P8, P9
constexpr int PinResultCount = 8;
using TPinResults = std::array<TPinResult, PinResultCount>;
extern const char* const PinResultNames[PinResultCount];

// A connection frame's power check: 26 volt values, then the stop-on-error flag.
// Values 13..26 (indices 12..25) are the low and high limits of P2, P3, P4, P6,
// P7, P8, P9.
struct TPowerPreset {
  std::array<float, 26> Volts{};
  bool StopOnError = false;
};

// Frame encoding helpers shared by every family.
void PutWord(TFrame& f, std::size_t at, std::uint16_t v);
void PutLong(TFrame& f, std::size_t at, std::uint32_t v);
std::uint16_t GetWord(const TFrame& f, std::size_t at);
std::uint32_t GetLong(const TFrame& f, std::size_t at);
TFrame MakeRequest(std::uint16_t command, std::uint32_t param = 0, std::uint8_t byteParam = 0);

// The command layer: frames, base commands, module management, reporting.
class TUSBInt : public TUsbX {
public:
  TUSBInt();

  TModule CurrentModule = tmNone;
  std::uint32_t SerialNumber = 0;

  TTaskResult SendCommand(TFrame& request, TFrame& reply, bool show = true);
  void ReportResult(TTaskResult result);
  void ReportMessage(const std::string& text, bool countAsError);
  void ReportProgramError(int address, int expected, int read);

  // Base commands
  bool ReleasePins();
  bool PowerOn();
  bool PowerOff();
  TTaskResult CheckPins(const std::array<float, 16>& limits, TPinResults& results);
  TTaskResult SetPins(std::uint8_t p1Code, std::uint8_t p2, std::uint8_t p3, std::uint8_t p4,
                      std::uint8_t p6, std::uint8_t p7, std::uint8_t p8, std::uint8_t p9,
                      std::uint8_t& levels);
  TTaskResult ReadPinLevels(std::uint32_t param, std::array<bool, 6>& levels);
  bool SetWaitTime(std::uint32_t value);
  bool SetBitRate(float frequency);
  bool StartSerialLink(std::uint32_t waitTime, float frequency);
  bool StartSerialLinkAlt(std::uint32_t waitTime, float frequency);
  TTaskResult IdentifyProgrammer();
  TTaskResult ReadProgrammerID(std::array<std::uint8_t, 8>& id);

  // Pin helpers
  TTaskResult MeasurePins(TPinResults& results, float logicLow, float logicHigh, float vccLow,
                          float vccHigh, float p1Low, float p1High);
  static void SetPinLimits(TFrame& request, const TPowerPreset& preset, float p1Low, float p1High);
  static void DecodePinResults(const TFrame& reply, TPinResults& results);
  static std::string PinCheckText(std::uint8_t check);
  static int BitRateDivider(float frequency);

  // Module management
  TTaskResult LoadModule(TModule module);
  TTaskResult InitModule();

  // Commands sent since creation (frames per second in the benchmarks).
  std::uint64_t FrameCount = 0;

private:
  bool SendRaw(std::uint16_t command); // write and read, status not examined
  bool SendRawFrame(TFrame& request);
  bool SerialLinkStart(std::uint16_t command, std::uint32_t waitTime, float frequency);
  void FlushStaleReplies();
  bool StaleReplyPossible = false;
};

// The one command layer of the program.
TUSBInt& Link();
