#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/usb/usbdriver.h"

// Transport error codes; any other code is a system error ("Error n").
constexpr int UsbErrSuccess = 0;
constexpr int UsbErrTimeout = 1000;
constexpr int UsbErrNotOpened = 1001;
constexpr int UsbErrPortPin = 1002;
constexpr int UsbErrConfiguration = 1003;
constexpr int UsbErrInterface = 1004;
constexpr int UsbErrAlternateSetting = 1005;
constexpr int UsbErrEndpoint = 1006;
constexpr int UsbErrEndpointType = 1007;

std::string UsbErrorText(int code);

// One present device object.
struct TUsbCon {
  std::string Name;
  int OpenCount = 0;
};

// The device objects present, in order of first appearance.
class TUsbConList {
public:
  void RefreshConnections();
  int Count() const { return static_cast<int>(Items.size()); }
  TUsbCon& operator[](int i) { return *Items[i]; }
  TUsbCon* Find(const std::string& name);
  void Clear() { Items.clear(); }

private:
  std::vector<std::unique_ptr<TUsbCon>> Items;
};

TUsbConList& UsbConList();

struct TPipeInfo {
  std::uint8_t PipeNumber = 0;
  bool Present = false;
  std::uint8_t Type = 0; // 0 control, 1 isochronous, 2 bulk, 3 interrupt
  bool Out = false;
  std::uint16_t MaxPacketSize = 0;
  std::uint8_t Interval = 0;
};

enum TPipeIndex { piEP1In, piEP1Out, piEP2, piEP4, piEP6, piEP8, PipeCount };

class TUsbX;
// Every live transport (the transport closes those on a vanished device).
std::vector<TUsbX*>& UsbXList();

// USB transport over the EZ-USB driver contract.
class TUsbX {
public:
  TUsbX();
  virtual ~TUsbX();
  TUsbX(const TUsbX&) = delete;
  TUsbX& operator=(const TUsbX&) = delete;

  bool Open(std::int16_t index);
  bool OpenDevice(const std::string& name);
  bool Close();

  std::string GetStringDescriptor(std::uint8_t index, std::uint16_t languageId);
  bool SetInterface(std::uint8_t interfaceNumber, std::uint8_t alternateSetting);
  bool VendorRequestIn(std::uint8_t request, std::uint16_t value, std::uint16_t index, void* buffer,
                       std::uint16_t length);
  bool VendorRequestOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                        const void* buffer, std::uint16_t length);
  bool ResetDevice();
  bool HoldCPU();
  bool RunCPU();
  bool DownloadFirmware(const std::uint8_t* data, std::uint16_t size, std::uint32_t address);

  bool ReadPipe(std::uint8_t pipe, void* buffer, std::uint32_t length, std::uint32_t& returned);
  bool WritePipe(std::uint8_t pipe, const void* buffer, std::uint32_t length,
                 std::uint32_t& returned);
  bool ReadEP1(void* buffer, std::uint32_t length, std::uint32_t& returned);
  bool WriteEP1(const void* buffer, std::uint32_t length, std::uint32_t& returned);
  bool TransferEP2(void* buffer, std::uint32_t length, std::uint32_t& returned);

  bool IoControl(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& returned, int timeout);

  void DoError(int code);
  void DoLastError(int sysError);

  // Read-and-reset, as the property reads.
  int LastError();
  int PeekLastError() const { return LastErrorCode; }

  bool Opened() const { return IsOpened; }
  const std::string& DeviceName() const { return Name; }
  int DevCount() const;
  bool DebugWindowEnable() const;
  void SetDebugWindowEnable(bool enable);

  int Timeout = 5000;
  bool ShowError = true;
  std::function<void(TUsbX* sender, const std::string& device, int error)> OnError;

  // Device descriptor
  std::uint8_t bDeviceClass = 0, bDeviceSubClass = 0, bDeviceProtocol = 0, bMaxPacketSize0 = 0;
  std::uint16_t idVendor = 0, idProduct = 0;
  std::string Manufacturer, Product, SerialNumberString;
  int ConfigurationCount = 0;

  // Configuration selection
  std::uint8_t ConfigurationValue = 1;
  std::uint8_t NumInterfaces = 0;
  std::uint8_t AlternateSettingCount = 0;
  std::uint8_t bMaxPower = 0, bmAttributes = 0, iConfiguration = 0;

  // Interface selection
  std::uint8_t PipeCounter = 0;
  std::uint8_t InterfaceNumber = 0;
  std::uint8_t AlternateSetting = 0;
  std::uint8_t bNumEndpoints = 0, bInterfaceSubClass = 0, bInterfaceProtocol = 0, iInterface = 0;

  std::vector<std::uint8_t> ConfigDescriptor;
  TPipeInfo Pipes[PipeCount];

protected:
  void SetLastErrorQuietly(int code) { LastErrorCode = code; }

private:
  struct TSelection; // configuration and interface selection with the pipe records
  bool WalkDescriptor(TSelection& sel) const;
  const TPipeInfo* CommandPipe(int index);
  void WalkError(const TSelection& sel);
  void StoreSelection(const TSelection& sel);
  TSelection CurrentSelection() const;

  bool IsOpened = false;
  TUsbDriver::THandle Handle = TUsbDriver::InvalidHandle;
  std::string Name;
  int LastErrorCode = 0;
};
