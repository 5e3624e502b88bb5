#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/basecmds.h"
#include "link/errcodes.h"

// Finding and initialising the programmer module at start and on arrival,
// the removal and transport-error lines, and the boot EEPROM rewrite.

// Firmware versions below this are old.
constexpr std::uint32_t MinFirmwareVersion = 0x10000000;

// The link's process-wide objects in their order (debug window, device list
// with a first refresh, the link) and the handlers the main window installs.
void StartLink();
// The reverse of StartLink when a program ends: closes the module, drops the
// handlers, empties the connection list and returns to the driver with no devices.
void StopLink();
void InstallConnectionHandlers();

// Opens the first acceptable module; false leaves the link closed or on a
// module that is not to be used.
bool FindModule();
// FindModule then InitModule, as at program start; the search's result.
bool StartUpSearch();
bool UpdateBootEEPROM();
TTaskResult WriteBootEEPROM();

// The main window's handlers.
void USBArrival();
void USBRemove();
void LinkError(const std::string& deviceName, int code);
std::string LinkErrorLine(const std::string& deviceName, int code);

// A firmware version descriptor as an integer (decimal, or hexadecimal with
// "$" or "0x"); nothing when it is not one.
std::optional<std::uint32_t> ParseFirmwareVersion(const std::string& text);
