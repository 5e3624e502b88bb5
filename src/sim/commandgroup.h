#pragma once

#include <cstdint>

struct TFirmwareContext;

// The firmware behind one command group (the high byte of the command word).
// The module dispatches a frame to the group's handler only while the running
// images list the group: the base firmware lists 0x00, 0x30 and 0x40, each
// protocol module its family's groups. Family work registers one handler per
// group with TVirtualModule::RegisterGroup.
class TCommandGroup {
public:
  virtual ~TCommandGroup() = default;
  // request and reply are 64 bytes; the reply arrives zeroed with the command
  // word echoed in bytes 0..1. Returns the status byte (reply byte 2). Runs for
  // every frame, so it must not allocate.
  virtual std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                               std::uint8_t* reply) = 0;
  // The firmware restarted (a download released the core, or a plug).
  virtual void Restart(TFirmwareContext& fw) { (void)fw; }
  // Endpoint 2 IN while the group's module runs: fills up to `length` bytes
  // and returns the count (0: nothing to send).
  virtual std::uint32_t ReadSamples(TFirmwareContext& fw, std::uint8_t* data,
                                    std::uint32_t length) {
    (void)fw;
    (void)data;
    (void)length;
    return 0;
  }
};

// Status bytes the base firmware uses.
constexpr std::uint8_t StatusOk = 0;
constexpr std::uint8_t StatusFrameError = 2;
