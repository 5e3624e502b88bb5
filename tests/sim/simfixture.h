#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/basecmds.h"
#include "link/fwimages.h"
#include "link/usb/virtualbackend.h"
#include "sim/simclock.h"
#include "sim/virtualmodule.h"

using TBytes = std::vector<std::uint8_t>;
using TFrameBytes = std::array<std::uint8_t, 64>;

inline TFrameBytes Request(std::uint16_t command, std::uint32_t param = 0) {
  TFrameBytes f{};
  f[0] = static_cast<std::uint8_t>(command);
  f[1] = static_cast<std::uint8_t>(command >> 8);
  for (int i = 0; i < 4; ++i)
    f[3 + i] = static_cast<std::uint8_t>(param >> (8 * i));
  return f;
}

inline void Put16(TFrameBytes& f, std::size_t at, std::uint16_t v) {
  f[at] = static_cast<std::uint8_t>(v);
  f[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::uint16_t Get16(const TFrameBytes& f, std::size_t at) {
  return static_cast<std::uint16_t>(f[at] | (f[at + 1] << 8));
}

struct TExchange {
  TUsbStatus Write = TUsbStatus::Error;
  TUsbStatus Read = TUsbStatus::Error;
  std::uint32_t Length = 0; // bytes of the reply
  TFrameBytes Reply{};
  std::uint8_t Status() const { return Reply[2]; }
  std::uint16_t Echo() const { return Get16(Reply, 0); }
};

// A backend with one module plugged in and a port opened on it; everything
// goes through the port, as the driver does.
class TSimFixture : public ::testing::Test {
protected:
  static constexpr unsigned TimeoutMs = 5000;

  TVirtualBackend Backend;
  std::shared_ptr<TVirtualModule> Module;
  std::unique_ptr<TUsbPort> Port;

  void PlugModule(const TModuleConfig& config = {}) {
    Module = Backend.Plug(config);
    OpenPort();
  }

  void OpenPort() {
    TUsbStatus status = TUsbStatus::Error;
    Port = Backend.Open(Backend.Enumerate().back().Key, status);
    ASSERT_EQ(status, TUsbStatus::Ok);
  }

  TUsbStatus VendorOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                       TBytes data) {
    std::uint32_t n = 0;
    return Port->Control(0x40, request, value, index, data.data(),
                         static_cast<std::uint16_t>(data.size()), TimeoutMs, n);
  }

  TUsbStatus VendorIn(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                      TBytes& data) {
    std::uint32_t n = 0;
    const TUsbStatus s = Port->Control(0xC0, request, value, index, data.data(),
                                       static_cast<std::uint16_t>(data.size()), TimeoutMs, n);
    data.resize(n);
    return s;
  }

  TUsbStatus HoldCpu() { return VendorOut(VrFirmwareLoad, CpuControlRegister, 0, {1}); }
  TUsbStatus RunCpu() { return VendorOut(VrFirmwareLoad, CpuControlRegister, 0, {0}); }

  // Hold, write in 4096-byte chunks, run, reset; false at the first failure.
  bool Download(const TBytes& image, std::size_t from, std::uint16_t address) {
    if (HoldCpu() != TUsbStatus::Ok) return false;
    for (std::size_t at = from; at < image.size(); at += 4096) {
      const std::size_t n = std::min<std::size_t>(4096, image.size() - at);
      TBytes chunk(image.begin() + at, image.begin() + at + n);
      if (VendorOut(VrFirmwareLoad, static_cast<std::uint16_t>(address + at - from), 0, chunk) !=
          TUsbStatus::Ok)
        return false;
    }
    return RunCpu() == TUsbStatus::Ok && Port->Reset() == TUsbStatus::Ok;
  }

  bool LoadModule(TModule module) {
    const TBytes image = DecodeImage(ModuleImage(module));
    if (module == tmKVBoot) return Download(image, 0, 0);
    return Download(image, 0x1000, 0x1000);
  }

  // The host's installation: base firmware, the default module, alternate 1.
  void Install() {
    ASSERT_TRUE(Download(DecodeImage(BaseFirmwareImage()), 0, 0));
    ASSERT_TRUE(LoadModule(tmMotorola));
    ASSERT_EQ(Port->SetInterface(0, 1), TUsbStatus::Ok);
  }

  TExchange Exchange(const TFrameBytes& request, unsigned timeoutMs = TimeoutMs) {
    TExchange x;
    TFrameBytes out = request;
    std::uint32_t n = 0;
    x.Write = Port->Bulk(0x01, out.data(), 64, timeoutMs, n);
    x.Read = Port->Bulk(0x81, x.Reply.data(), 64, timeoutMs, x.Length);
    return x;
  }

  std::string StringDescriptor(std::uint8_t index) {
    std::uint8_t buf[256] = {0};
    std::uint32_t n = 0;
    if (Port->Control(0x80, 6, static_cast<std::uint16_t>(0x0300 | index), 0, buf, 255, TimeoutMs,
                      n) != TUsbStatus::Ok)
      return "<stall>";
    std::string text;
    for (std::uint32_t i = 2; i + 1 < n && i < buf[0]; i += 2)
      text += static_cast<char>(buf[i]);
    return text;
  }
};
