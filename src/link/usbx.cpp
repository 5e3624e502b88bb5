#include "link/usbx.h"

#include <algorithm>
#include <cstring>

#include "link/basecmds.h"
#include "link/debugwnd.h"
#include "link/usb/ezioctl.h"

namespace {

constexpr int DeviceDescriptorTimeout = 6000;
constexpr std::uint32_t DownloadChunk = 4096;

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

std::string UsbErrorText(int code) {
  switch (code) {
  case UsbErrSuccess:
    return "Success";
  case UsbErrTimeout:
    return "Timeout";
  case UsbErrNotOpened:
    return "Device must be opened first";
  case UsbErrPortPin:
    return "Incorrect Port or Pin";
  case UsbErrConfiguration:
    return "Invalid ConfigurationValue";
  case UsbErrInterface:
    return "Invalid InterfaceNumber";
  case UsbErrAlternateSetting:
    return "Invalid AlternateSetting";
  case UsbErrEndpoint:
    return "Invalid Endpoint";
  case UsbErrEndpointType:
    return "Invalid Endpoint Type";
  default:
    return "Error " + std::to_string(code);
  }
}

// ---- connection list ----

TUsbConList& UsbConList() {
  static TUsbConList list;
  return list;
}

std::vector<TUsbX*>& UsbXList() {
  static std::vector<TUsbX*> list;
  return list;
}

TUsbCon* TUsbConList::Find(const std::string& name) {
  for (auto& c : Items)
    if (c->Name == name) return c.get();
  return nullptr;
}

void TUsbConList::RefreshConnections() {
  for (int n = 0; n < 128; ++n) {
    const std::string name = "EZUSB-" + std::to_string(n);
    const bool present = UsbDriver().Probe(name);
    auto it =
        std::find_if(Items.begin(), Items.end(), [&](const auto& c) { return c->Name == name; });
    if (!present && it != Items.end()) {
      // Copy: closing may run callbacks that look at the list.
      const auto transports = UsbXList();
      for (TUsbX* x : transports)
        if (x->Opened() && x->DeviceName() == name) x->Close();
      it = std::find_if(Items.begin(), Items.end(), [&](const auto& c) { return c->Name == name; });
      if (it != Items.end()) Items.erase(it);
      DebugWin().Log(name + ": Disconnected");
    } else if (present && it == Items.end()) {
      auto con = std::make_unique<TUsbCon>();
      con->Name = name;
      Items.push_back(std::move(con));
      DebugWin().Log(name + ": Connected");
    }
  }
}

// ---- selection and descriptor walk ----

struct TUsbX::TSelection {
  std::uint8_t ConfigurationValue, NumInterfaces, AlternateSettingCount, bMaxPower, bmAttributes,
      iConfiguration;
  std::uint8_t PipeCounter, InterfaceNumber, AlternateSetting, bNumEndpoints, bInterfaceSubClass,
      bInterfaceProtocol, iInterface;
  TPipeInfo Pipes[PipeCount];
};

TUsbX::TSelection TUsbX::CurrentSelection() const {
  TSelection s{ConfigurationValue,
               NumInterfaces,
               AlternateSettingCount,
               bMaxPower,
               bmAttributes,
               iConfiguration,
               PipeCounter,
               InterfaceNumber,
               AlternateSetting,
               bNumEndpoints,
               bInterfaceSubClass,
               bInterfaceProtocol,
               iInterface,
               {}};
  std::copy(std::begin(Pipes), std::end(Pipes), s.Pipes);
  return s;
}

void TUsbX::StoreSelection(const TSelection& s) {
  ConfigurationValue = s.ConfigurationValue;
  NumInterfaces = s.NumInterfaces;
  AlternateSettingCount = s.AlternateSettingCount;
  bMaxPower = s.bMaxPower;
  bmAttributes = s.bmAttributes;
  iConfiguration = s.iConfiguration;
  PipeCounter = s.PipeCounter;
  InterfaceNumber = s.InterfaceNumber;
  AlternateSetting = s.AlternateSetting;
  bNumEndpoints = s.bNumEndpoints;
  bInterfaceSubClass = s.bInterfaceSubClass;
  bInterfaceProtocol = s.bInterfaceProtocol;
  iInterface = s.iInterface;
  std::copy(std::begin(s.Pipes), std::end(s.Pipes), Pipes);
}

bool TUsbX::WalkDescriptor(TSelection& s) const {
  const std::uint8_t* d = ConfigDescriptor.data();
  const std::size_t size = ConfigDescriptor.size();
  bool inConfiguration = false, inInterface = false, found = false;
  std::size_t pos = 0;
  // Each descriptor is read only when all of its bytes are there.
  while (size - pos >= 2) {
    const std::uint8_t len = d[pos], type = d[pos + 1];
    if (len == 0 || len > size - pos) break;
    const std::uint8_t* p = d + pos;
    if (type == 2 && len == 9) {
      if (p[5] == s.ConfigurationValue) {
        s.NumInterfaces = p[4];
        s.AlternateSettingCount = 0;
        s.bMaxPower = p[8];
        s.bmAttributes = p[7];
        s.iConfiguration = p[6];
        inConfiguration = true;
      } else {
        inConfiguration = false;
      }
      inInterface = false;
    } else if (type == 4 && len == 9) {
      inInterface = false;
      if (inConfiguration && p[2] == s.InterfaceNumber) {
        ++s.AlternateSettingCount;
        if (p[3] == s.AlternateSetting) {
          s.PipeCounter = 0;
          s.bNumEndpoints = p[4];
          s.bInterfaceSubClass = p[6];
          s.bInterfaceProtocol = p[7];
          s.iInterface = p[8];
          for (auto& pipe : s.Pipes)
            pipe = TPipeInfo{};
          inInterface = true;
          found = true;
        }
      }
    } else if (type == 5 && len == 7 && inInterface) {
      const std::uint8_t address = p[2] & 0x8F;
      int index = -1;
      switch (address) {
      case 0x81:
        index = piEP1In;
        break;
      case 0x01:
        index = piEP1Out;
        break;
      default:
        switch (address & 0x0F) {
        case 2:
          index = piEP2;
          break;
        case 4:
          index = piEP4;
          break;
        case 6:
          index = piEP6;
          break;
        case 8:
          index = piEP8;
          break;
        }
      }
      if (index >= 0) {
        TPipeInfo& pipe = s.Pipes[index];
        pipe.Present = true;
        pipe.PipeNumber = s.PipeCounter++;
        pipe.Type = p[3] & 3;
        pipe.Out = (address & 0x80) == 0;
        pipe.MaxPacketSize = static_cast<std::uint16_t>(p[4] | (p[5] << 8));
        pipe.Interval = p[6];
      }
    }
    pos += len;
  }
  return found;
}

// Why a walk found no wanted interface: the first selection value out of range.
void TUsbX::WalkError(const TSelection& s) {
  if (s.ConfigurationValue > ConfigurationCount)
    DoError(UsbErrConfiguration);
  else if (s.InterfaceNumber >= s.NumInterfaces)
    DoError(UsbErrInterface);
  else
    DoError(UsbErrAlternateSetting);
}

// ---- transport ----

TUsbX::TUsbX() {
  UsbXList().push_back(this);
}

TUsbX::~TUsbX() {
  if (IsOpened) {
    int sysError = 0;
    UsbDriver().Close(Handle, sysError);
    if (TUsbCon* con = UsbConList().Find(Name); con && con->OpenCount > 0) --con->OpenCount;
  }
  auto& list = UsbXList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

int TUsbX::LastError() {
  const int code = LastErrorCode;
  LastErrorCode = 0;
  return code;
}

int TUsbX::DevCount() const {
  return UsbConList().Count();
}
bool TUsbX::DebugWindowEnable() const {
  return DebugWin().Visible;
}
void TUsbX::SetDebugWindowEnable(bool enable) {
  DebugWin().Visible = enable;
}

void TUsbX::DoError(int code) {
  LastErrorCode = code;
  if (ShowError && code != 0) DebugWin().Log(Name + ": " + UsbErrorText(code));
  if (OnError) OnError(this, Name, code);
}

void TUsbX::DoLastError(int sysError) {
  DoError(sysError);
}

bool TUsbX::Open(std::int16_t index) {
  if (index < 0) {
    if (IsOpened) Close();
    return false;
  }
  auto& list = UsbConList();
  return OpenDevice(index < list.Count() ? list[index].Name : std::string());
}

bool TUsbX::OpenDevice(const std::string& deviceName) {
  if (IsOpened) Close();
  TUsbCon* con = UsbConList().Find(deviceName);
  if (!con) return false;
  int sysError = 0;
  const TUsbDriver::THandle h = UsbDriver().Open(deviceName, sysError);
  if (h == TUsbDriver::InvalidHandle) {
    DoLastError(sysError);
    return false;
  }
  IsOpened = true;
  Handle = h;
  Name = deviceName;
  ++con->OpenCount;
  DebugWin().Log(Name + ": Opened");

  std::uint8_t dd[18] = {};
  std::uint32_t returned = 0;
  if (!IoControl(EzGetDeviceDescriptor, nullptr, 0, dd, sizeof dd, returned,
                 DeviceDescriptorTimeout))
    return false;
  if (returned < sizeof dd) {
    DoError(SysErrorIo);
    return false;
  }
  bDeviceClass = dd[4];
  bDeviceSubClass = dd[5];
  bDeviceProtocol = dd[6];
  bMaxPacketSize0 = dd[7];
  idVendor = static_cast<std::uint16_t>(dd[8] | (dd[9] << 8));
  idProduct = static_cast<std::uint16_t>(dd[10] | (dd[11] << 8));
  Manufacturer = GetStringDescriptor(dd[14], 0);
  Product = GetStringDescriptor(dd[15], 0);
  SerialNumberString = GetStringDescriptor(dd[16], 0);
  ConfigurationCount = dd[17];

  ConfigurationValue = 1;
  InterfaceNumber = 0;
  AlternateSetting = 0;

  std::uint8_t head[9] = {};
  if (!IoControl(EzGetConfigDescriptor, nullptr, 0, head, sizeof head, returned, Timeout))
    return false;
  if (returned < 4) {
    DoError(SysErrorIo);
    return false;
  }
  const std::uint16_t total = static_cast<std::uint16_t>(head[2] | (head[3] << 8));
  ConfigDescriptor.assign(total, 0);
  if (!IoControl(EzGetConfigDescriptor, nullptr, 0, ConfigDescriptor.data(), total, returned,
                 Timeout))
    return false;
  ConfigDescriptor.resize(std::min<std::size_t>(returned, total));

  TSelection s = CurrentSelection();
  s.NumInterfaces = s.AlternateSettingCount = 0;
  const bool ok = WalkDescriptor(s);
  StoreSelection(s);
  if (!ok) WalkError(s);
  return ok;
}

bool TUsbX::Close() {
  if (!IsOpened) {
    DoError(UsbErrNotOpened);
    return false;
  }
  DebugWin().Log(Name + ": Closed");
  int sysError = 0;
  const bool ok = UsbDriver().Close(Handle, sysError);
  if (ok) {
    if (TUsbCon* con = UsbConList().Find(Name); con && con->OpenCount > 0) --con->OpenCount;
  } else {
    DoLastError(sysError);
  }
  Name.clear();
  Handle = TUsbDriver::InvalidHandle;
  IsOpened = false;
  return ok;
}

bool TUsbX::IoControl(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                      std::uint32_t outSize, std::uint32_t& returned, int timeout) {
  returned = 0;
  if (!IsOpened) {
    DoError(UsbErrNotOpened);
    return false;
  }
  int sysError = 0;
  const TDrvStatus status = UsbDriver().IoControl(
      Handle, code, static_cast<const std::uint8_t*>(in), inSize, static_cast<std::uint8_t*>(out),
      outSize, returned, static_cast<std::uint32_t>(std::max(timeout, 0)), sysError);
  switch (status) {
  case TDrvStatus::Ok:
    return true;
  case TDrvStatus::Timeout:
    returned = 0;
    DoError(UsbErrTimeout);
    return false;
  case TDrvStatus::Failed:
    break;
  }
  returned = 0;
  // A reset records nothing but a time-out.
  if (code != EzResetPipe) DoLastError(sysError ? sysError : SysErrorIo);
  return false;
}

std::string TUsbX::GetStringDescriptor(std::uint8_t index, std::uint16_t languageId) {
  if (index == 0) return {};
  const std::uint8_t in[3] = {index, static_cast<std::uint8_t>(languageId),
                              static_cast<std::uint8_t>(languageId >> 8)};
  std::uint8_t head[4] = {};
  std::uint32_t returned = 0;
  if (!IoControl(EzGetStringDescriptor, in, sizeof in, head, sizeof head, returned, Timeout) ||
      returned < 1)
    return {};
  const std::uint8_t length = head[0];
  if (length < 2) return {};
  std::vector<std::uint8_t> buf(length);
  if (!IoControl(EzGetStringDescriptor, in, sizeof in, buf.data(), length, returned, Timeout))
    return {};
  std::string text;
  // Only the bytes actually returned count.
  const std::size_t end = std::min<std::size_t>(length, returned);
  for (std::size_t i = 2; i < end; i += 2)
    text.push_back(static_cast<char>(buf[i]));
  return text;
}

bool TUsbX::SetInterface(std::uint8_t interfaceNumber, std::uint8_t alternateSetting) {
  if (!IsOpened) {
    DoError(UsbErrNotOpened);
    return false;
  }
  TSelection s = CurrentSelection();
  s.InterfaceNumber = interfaceNumber;
  s.AlternateSetting = alternateSetting;
  if (!WalkDescriptor(s)) {
    WalkError(s);
    return false;
  }
  const std::uint8_t in[2] = {interfaceNumber, alternateSetting};
  std::uint32_t returned = 0;
  if (!IoControl(EzSetInterface, in, sizeof in, nullptr, 0, returned, Timeout)) return false;
  StoreSelection(s);
  return true;
}

namespace {

void VendorBlock(std::uint8_t* b, bool in, std::uint8_t request, std::uint16_t value,
                 std::uint16_t index) {
  b[0] = in ? 1 : 0;
  b[1] = 2;
  b[2] = 0;
  b[3] = 0;
  b[4] = request;
  b[5] = 0;
  b[6] = static_cast<std::uint8_t>(value);
  b[7] = static_cast<std::uint8_t>(value >> 8);
  b[8] = static_cast<std::uint8_t>(index);
  b[9] = static_cast<std::uint8_t>(index >> 8);
}

} // namespace

bool TUsbX::VendorRequestIn(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                            void* buffer, std::uint16_t length) {
  std::uint8_t block[VendorRequestBlockSize];
  VendorBlock(block, true, request, value, index);
  std::uint32_t returned = 0;
  return IoControl(EzVendorRequest, block, sizeof block, buffer, length, returned, Timeout);
}

bool TUsbX::VendorRequestOut(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                             const void* buffer, std::uint16_t length) {
  std::uint8_t block[VendorRequestBlockSize];
  VendorBlock(block, false, request, value, index);
  std::uint32_t returned = 0;
  // The driver takes the data to send in its output buffer; it only reads it.
  return IoControl(EzVendorRequest, block, sizeof block, const_cast<void*>(buffer), length,
                   returned, Timeout);
}

bool TUsbX::ResetDevice() {
  std::uint32_t returned = 0;
  return IoControl(EzResetPipe, nullptr, 0, nullptr, 0, returned, Timeout);
}

bool TUsbX::HoldCPU() {
  const std::uint8_t one = 1;
  return VendorRequestOut(VrFirmwareLoad, CpuControlRegister, 0, &one, 1);
}

bool TUsbX::RunCPU() {
  const std::uint8_t zero = 0;
  return VendorRequestOut(VrFirmwareLoad, CpuControlRegister, 0, &zero, 1);
}

bool TUsbX::DownloadFirmware(const std::uint8_t* data, std::uint16_t size, std::uint32_t address) {
  if (!HoldCPU()) return false;
  for (std::uint32_t offset = 0; offset < size; offset += DownloadChunk) {
    const auto chunk =
        static_cast<std::uint16_t>(std::min<std::uint32_t>(DownloadChunk, size - offset));
    if (!VendorRequestOut(VrFirmwareLoad, static_cast<std::uint16_t>(address + offset), 0,
                          data + offset, chunk))
      return false;
  }
  const bool run = RunCPU();
  const bool reset = ResetDevice();
  return run && reset;
}

bool TUsbX::ReadPipe(std::uint8_t pipe, void* buffer, std::uint32_t length,
                     std::uint32_t& returned) {
  std::uint8_t in[4];
  Put32(in, pipe);
  return IoControl(EzBulkRead, in, sizeof in, buffer, length, returned, Timeout);
}

bool TUsbX::WritePipe(std::uint8_t pipe, const void* buffer, std::uint32_t length,
                      std::uint32_t& returned) {
  std::uint8_t in[4];
  Put32(in, pipe);
  return IoControl(EzBulkWrite, in, sizeof in, const_cast<void*>(buffer), length, returned,
                   Timeout);
}

// The pipe a transfer goes through, checked as the command endpoints need it.
const TPipeInfo* TUsbX::CommandPipe(int index) {
  if (!IsOpened) {
    DoError(UsbErrNotOpened);
    return nullptr;
  }
  const TPipeInfo& p = Pipes[index];
  if (!p.Present) {
    DoError(UsbErrEndpoint);
    return nullptr;
  }
  if (p.Type != 2 && p.Type != 3) {
    DoError(UsbErrEndpointType);
    return nullptr;
  }
  return &p;
}

bool TUsbX::ReadEP1(void* buffer, std::uint32_t length, std::uint32_t& returned) {
  returned = 0;
  const TPipeInfo* p = CommandPipe(piEP1In);
  return p && ReadPipe(p->PipeNumber, buffer, length, returned);
}

bool TUsbX::WriteEP1(const void* buffer, std::uint32_t length, std::uint32_t& returned) {
  returned = 0;
  const TPipeInfo* p = CommandPipe(piEP1Out);
  return p && WritePipe(p->PipeNumber, buffer, length, returned);
}

bool TUsbX::TransferEP2(void* buffer, std::uint32_t length, std::uint32_t& returned) {
  returned = 0;
  if (!IsOpened) {
    DoError(UsbErrNotOpened);
    return false;
  }
  const TPipeInfo& p = Pipes[piEP2];
  if (!p.Present) {
    DoError(UsbErrEndpoint);
    return false;
  }
  switch (p.Type) {
  case 2:
  case 3:
    return p.Out ? WritePipe(p.PipeNumber, buffer, length, returned)
                 : ReadPipe(p.PipeNumber, buffer, length, returned);
  case 1:
    return false;
  default:
    DoError(UsbErrEndpointType);
    return false;
  }
}
