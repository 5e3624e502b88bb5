#pragma once

#include <functional>
#include <string>
#include <vector>

class TUsbDriver;

// The hidden debug log and the owner of the process-wide USB notifications.
// A GUI view may show its lines; nothing else reads them.
class TDebugWin {
public:
  void Log(const std::string& line);
  const std::vector<std::string>& Lines() const { return LogLines; }
  void Clear() { LogLines.clear(); }

  bool Visible = false;

  // Called by the driver for the arrival or removal of any USB device:
  // re-probes the device names, then raises OnUSBArrival or OnUSBRemove.
  void DeviceChange(bool arrival);
  // Routes a driver's arrival and removal notifications here.
  void ListenTo(TUsbDriver& driver);

  std::function<void(void* sender)> OnUSBArrival;
  std::function<void(void* sender)> OnUSBRemove;
  std::function<void(const std::string& line)> OnLine; // a view appends the line

private:
  std::vector<std::string> LogLines;
};

TDebugWin& DebugWin();
