#pragma once

#include <cstdint>

// Command words of the base firmware, understood whatever module is loaded.
constexpr std::uint16_t CmdReleasePins = 0x0000;
constexpr std::uint16_t CmdPowerOn = 0x0001;
constexpr std::uint16_t CmdPowerOff = 0x0002;
constexpr std::uint16_t CmdCheckPins = 0x0004;
constexpr std::uint16_t CmdSetPins = 0x0006;
constexpr std::uint16_t CmdReadPinLevels = 0x0008;
constexpr std::uint16_t CmdSetWaitTime = 0x3004;
constexpr std::uint16_t CmdStartSerialLink = 0x3005;
constexpr std::uint16_t CmdStartSerialLinkAlt = 0x3006;
constexpr std::uint16_t CmdSetBitRate = 0x3007;
constexpr std::uint16_t CmdIdentify = 0x4002;

// Vendor requests answered by the controller and the boot updater.
constexpr std::uint8_t VrFirmwareLoad = 0xA0; // write internal RAM at wValue
constexpr std::uint8_t VrBootEeprom = 0xBC;   // boot EEPROM byte access
constexpr std::uint16_t CpuControlRegister = 0xE600;
constexpr std::uint16_t ModuleDataArea = 0xE000;
constexpr std::uint16_t BootEepromIndex = 0x71C4;

// Pin check / result block: entry i at 32 + 4i, pins P1 P2 P3 P4 P6 P7 P8 P9.
constexpr std::size_t PinBlockOffset = 32;
constexpr std::uint16_t PinLimitNoStopFlag = 0x8000;
