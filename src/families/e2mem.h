#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "devices/devbase.h"
#include "families/framedpage.h"
#include "link/usbinterface.h"

// Base of every serial-memory family. It owns the loops every family runs the
// same way (read, verify, program or program-modified-only, blank check, erase,
// status register), each inside one connection: InitConnection, the work, then
// PowerOff and ReleasePins whatever happened.
//
// A family derives from TE2MEM and changes only what differs:
//  - InitConnection: its connect frame; usually one call of
//    SendConnectFrame(command, slaveByte, modeByte);
//  - the command words and address form of a block: ReadCommand/WriteCommand
//    and BlockAddress (or ReadBlock/WriteBlock whole when the exchange differs);
//  - SetModule: run TE2MEM::SetModule, then relabel pins (SetPinNames) and
//    show or hide the panel's buttons;
//  - its own registers (ReadStatusRegister, ClearProtectRegister, EraseAll ...),
//    each wrapped in Connected() so the target always ends off and released;
//  - Module: tmEEPROM by default; set tmEEPROM_MIS in the constructor when the
//    family runs that protocol module.
// Block exchanges go through SendBlockCommand, which checks the reply's count
// (a count of 0 or above the one asked is a frame error, never copied).
class TE2MEM : public TDevice {
public:
  explicit TE2MEM(const TDevInfo& info);

  Te2memoryFrame* MemoryFrame = nullptr;      // the page's, not owned
  THC05BConFrame1* ConnectionFrame = nullptr; // the page's, not owned

  void SetModule(TDevicePage* page) override;
  // Also forgets that page's panels: they go away with it.
  void DetachPage(const TDevicePage* page) override;
  TTaskResult DeviceProgram() override;
  TTaskResult DeviceRead() override;
  TTaskResult DeviceVerify() override;
  TTaskResult DeviceBlankCheck() override { return BlankCheck(); }

  virtual TTaskResult ReadBlock(int& address, std::uint8_t* buffer);
  virtual TTaskResult WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count);
  virtual TTaskResult BlankCheck();
  virtual TTaskResult ReadStatusRegister();
  virtual TTaskResult WriteStatusRegister();
  virtual TTaskResult ClearProtectRegister() { return trSuccess; }
  virtual TTaskResult EraseAll();
  virtual TTaskResult InitConnection() { return trSuccess; }

  // Button handlers: each runs its operation through the task runner.
  virtual TTaskResult ReadBtnClick();
  virtual TTaskResult ProgramBtnClick();
  virtual TTaskResult VerifyBtnClick();
  virtual TTaskResult BlankCheckBtnClick();
  virtual TTaskResult ReadStatusRegisterBtnClick();
  virtual TTaskResult ClearProtectionRegisterBtnClick();
  virtual TTaskResult WriteStatusRegisterBtnClick();
  virtual TTaskResult EraseBtnClick();

  // Range of the next operation (the panel's fields).
  int RangeStart() const;
  int RangeEnd() const;

  static constexpr std::uint8_t MaxBlock = 56;   // data bytes of one frame
  static constexpr std::uint8_t WriteChunk = 16; // bytes per programming block

protected:
  // Command words and the address a block sends for a buffer offset.
  virtual std::uint16_t ReadCommand() const { return 0x6002; }
  virtual std::uint16_t WriteCommand() const { return 0x6003; }
  // The write command of a block of `count` bytes (some parts write a lone byte differently).
  virtual std::uint16_t BlockWriteCommand(int count) const {
    static_cast<void>(count);
    return WriteCommand();
  }
  virtual std::uint32_t BlockAddress(int offset) const {
    return static_cast<std::uint32_t>(offset);
  }

  TTaskResult ReadAndCheck(const std::function<void(int, std::uint8_t)>& check);
  // Algorithm 1 parts are read once at the range's end before programming.
  TTaskResult ReadRangeEndFirst();
  // Writes the panel's range from the buffer in blocks of `chunk` bytes, with
  // progress and the user break; `align` may move a block's first address.
  // A failing block stops the loop (the link has counted it).
  TTaskResult WriteRange(std::uint8_t chunk, const std::function<int(int)>& align = {});

  // Sends one block request and checks the reply count against `asked`
  // (1..asked is valid); on success `done` is the count the module reports.
  TTaskResult SendBlockCommand(TFrame& request, TFrame& reply, std::uint8_t asked,
                               std::uint8_t& done);
  // The serial-memory connect frame: timings, organisation, address length,
  // byte 13 and byte 14, and the pin limits of the connection panel's preset;
  // the pin results are shown whatever the status.
  TTaskResult SendConnectFrame(std::uint16_t command, std::uint8_t byte13, std::uint8_t byte14);
  TFrame ConnectFrame(std::uint16_t command, std::uint8_t byte13, std::uint8_t byte14) const;
  // The frame of every operation: connect, work, power off, release.
  TTaskResult Connected(const std::function<TTaskResult()>& work);
  // Runs an operation through the task runner with this device's module.
  TTaskResult Run(TE2Operation operation, std::function<TTaskResult()> task, bool withRange = true);
  // True when frames and buffer are there and the range is sound; the buffer
  // is grown to cover the range. Otherwise a message and false.
  bool Prepare();
  void SetPinNames(const std::array<std::string, 9>& names);
  // Lets the user interface breathe between blocks.
  static void ProcessMessages();

  // Writes the bytes marked modified inside the range, block by block.
  TTaskResult ProgramModified();
  // The block that writes a marked byte: where it starts and how many bytes
  // it has (a 16-bit part writes the whole word).
  virtual int MarkedBlock(int offset, std::uint8_t& count) const;

  TFramedPage* FramedPage = nullptr;

private:
  void AttachFrames();
  // Works on `owner`'s buffer, range and panels again, while it still has
  // this device chosen; false when it has moved on to another.
  bool UsePage(TFramedPage* owner);
  void WireButtons();
};
