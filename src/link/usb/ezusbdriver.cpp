#include "link/usb/ezusbdriver.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "link/usb/ezioctl.h"
#include "shell/appservices.h"

namespace {

constexpr std::uint8_t DirIn = 0x80;
constexpr std::uint8_t ReqGetDescriptor = 6;
constexpr std::uint16_t DescDevice = 0x0100;
constexpr std::uint16_t DescConfiguration = 0x0200;
constexpr std::uint16_t DescString = 0x0300;
constexpr std::uint32_t DeviceDescriptorSize = 18;
constexpr std::uint32_t MaxStringDescriptor = 255;
constexpr std::uint32_t MaxControlLength = 0xFFFF;

bool BufferOk(const void* p, std::uint32_t size) {
  return size == 0 || p != nullptr;
}

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

TDrvStatus Result(TUsbStatus status, int& sysError) {
  switch (status) {
  case TUsbStatus::Ok:
    sysError = 0;
    return TDrvStatus::Ok;
  case TUsbStatus::Timeout:
    sysError = 0;
    return TDrvStatus::Timeout;
  case TUsbStatus::Stall:
    sysError = SysErrorPipe;
    break;
  case TUsbStatus::NoDevice:
    sysError = SysErrorNoDevice;
    break;
  case TUsbStatus::Access:
    sysError = SysErrorAccess;
    break;
  case TUsbStatus::Error:
    sysError = SysErrorIo;
    break;
  }
  return TDrvStatus::Failed;
}

TDrvStatus Invalid(int& sysError) {
  sysError = SysErrorInvalid;
  return TDrvStatus::Failed;
}

// "EZUSB-n" with n in plain decimal (no sign, no leading zeros); -1 otherwise.
int NameNumber(const std::string& name) {
  const std::string prefix = TEzUsbDriver::NamePrefix;
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  std::string digits = name.substr(prefix.size());
  if (digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) return -1;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

} // namespace

TEzUsbDriver::TEzUsbDriver(TUsbBackend& backend, std::vector<TUsbIdPair> ids)
    : Backend(backend), Ids(std::move(ids)) {
  Backend.OnChange = [this](bool arrival) {
    Refresh();
    if (OnDeviceChange) OnDeviceChange(arrival);
  };
  Refresh();
}

TEzUsbDriver::~TEzUsbDriver() {
  Backend.OnChange = nullptr;
}

void TEzUsbDriver::SetDeviceIds(std::vector<TUsbIdPair> ids) {
  Ids = std::move(ids);
  Refresh();
}

bool TEzUsbDriver::Listed(const TUsbDeviceId& id) const {
  return std::find(Ids.begin(), Ids.end(), TUsbIdPair{id.Vendor, id.Product}) != Ids.end();
}

void TEzUsbDriver::Refresh() {
  std::vector<TUsbDeviceId> present = Backend.Enumerate();
  std::erase_if(Attached, [&](const TAttached& a) {
    auto it = std::find_if(present.begin(), present.end(),
                           [&](const TUsbDeviceId& p) { return p.Key == a.Id.Key; });
    if (it == present.end()) {
      // Its open handles keep the record and fail their requests from now on.
      a.Device->Gone = true;
      return true;
    }
    return !Listed(*it);
  });
  for (const TUsbDeviceId& id : present) {
    if (!Listed(id)) continue;
    if (std::any_of(Attached.begin(), Attached.end(),
                    [&](const TAttached& a) { return a.Id.Key == id.Key; }))
      continue;
    std::set<int> used;
    for (const TAttached& a : Attached)
      used.insert(a.Number);
    int number = 0;
    while (used.count(number))
      ++number;
    auto device = std::make_shared<TDevice>();
    device->Key = id.Key;
    Attached.push_back({id, number, false, std::move(device)});
  }
}

std::vector<std::string> TEzUsbDriver::Names() {
  Refresh();
  std::vector<std::string> names;
  for (const TAttached& a : Attached)
    names.push_back(NamePrefix + std::to_string(a.Number));
  return names;
}

TEzUsbDriver::TAttached* TEzUsbDriver::FindByName(const std::string& name) {
  int number = NameNumber(name);
  if (number < 0) return nullptr;
  for (TAttached& a : Attached)
    if (a.Number == number) return &a;
  return nullptr;
}

bool TEzUsbDriver::Probe(const std::string& name) {
  Refresh();
  return FindByName(name) != nullptr;
}

void TEzUsbDriver::ReportNoAccess(TAttached& attached) {
  if (attached.AccessReported) return;
  attached.AccessReported = true;
  char id[16];
  std::snprintf(id, sizeof id, "%04X:%04X", attached.Id.Vendor, attached.Id.Product);
  Services().AddMessage(
      std::string("No permission to open the USB module ") + NamePrefix +
      std::to_string(attached.Number) + " (" + id +
      "). Install the udev rule packaging/udev/60-kvprog.rules: sudo cp "
      "packaging/udev/60-kvprog.rules /etc/udev/rules.d/ && sudo udevadm control --reload && "
      "sudo udevadm trigger, then reconnect the module.");
}

TUsbDriver::THandle TEzUsbDriver::Open(const std::string& name, int& sysError) {
  Refresh();
  TAttached* attached = FindByName(name);
  if (!attached) {
    sysError = SysErrorNotFound;
    return InvalidHandle;
  }
  std::shared_ptr<TDevice> device = attached->Device;
  if (!device->Port) {
    TUsbStatus status = TUsbStatus::Error;
    device->Port = Backend.Open(device->Key, status);
    if (!device->Port || status != TUsbStatus::Ok) {
      device->Port.reset();
      if (status == TUsbStatus::Access) ReportNoAccess(*attached);
      if (status == TUsbStatus::Ok) status = TUsbStatus::Error;
      Result(status, sysError);
      return InvalidHandle;
    }
  }
  ++device->OpenHandles;
  THandle handle = NextHandle++;
  Handles.emplace(handle, std::move(device));
  sysError = 0;
  return handle;
}

bool TEzUsbDriver::Close(THandle handle, int& sysError) {
  auto it = Handles.find(handle);
  if (it == Handles.end()) {
    sysError = SysErrorInvalid;
    return false;
  }
  std::shared_ptr<TDevice> device = std::move(it->second);
  Handles.erase(it);
  if (--device->OpenHandles == 0) device->Port.reset();
  sysError = 0;
  return true;
}

void TEzUsbDriver::PollEvents() {
  Backend.PollEvents();
}

TUsbStatus TEzUsbDriver::LoadConfigDescriptor(TDevice& device, std::uint32_t timeoutMs) {
  if (!device.ConfigDescriptor.empty()) return TUsbStatus::Ok;
  std::uint8_t head[9] = {};
  std::uint32_t got = 0;
  TUsbStatus status =
      device.Port->Control(DirIn, ReqGetDescriptor, DescConfiguration, 0, head, 9, timeoutMs, got);
  if (status != TUsbStatus::Ok) return status;
  if (got < 4) return TUsbStatus::Error;
  std::uint16_t total = Le16(head + 2);
  if (total < 9) return TUsbStatus::Error;
  std::vector<std::uint8_t> whole(total);
  status = device.Port->Control(DirIn, ReqGetDescriptor, DescConfiguration, 0, whole.data(), total,
                                timeoutMs, got);
  if (status != TUsbStatus::Ok) return status;
  whole.resize(std::min<std::uint32_t>(got, total));
  device.ConfigDescriptor = std::move(whole);
  return TUsbStatus::Ok;
}

bool TEzUsbDriver::PipeEndpoint(const TDevice& device, std::uint32_t pipe, std::uint8_t& address,
                                std::uint8_t& attributes) const {
  const std::vector<std::uint8_t>& d = device.ConfigDescriptor;
  bool inInterface = false;
  std::uint32_t index = 0;
  for (std::size_t pos = 0; pos + 2 <= d.size();) {
    std::uint8_t length = d[pos];
    std::uint8_t type = d[pos + 1];
    if (length < 2 || pos + length > d.size()) break;
    if (type == 4 && length >= 4) {
      inInterface = d[pos + 2] == device.Interface && d[pos + 3] == device.AlternateSetting;
    } else if (type == 5 && length >= 7 && inInterface) {
      if (index == pipe) {
        address = d[pos + 2];
        attributes = d[pos + 3];
        return true;
      }
      ++index;
    }
    pos += length;
  }
  return false;
}

TDrvStatus TEzUsbDriver::IoControl(THandle handle, std::uint32_t code, const std::uint8_t* in,
                                   std::uint32_t inSize, std::uint8_t* out, std::uint32_t outSize,
                                   std::uint32_t& returned, std::uint32_t timeoutMs,
                                   int& sysError) {
  returned = 0;
  auto it = Handles.find(handle);
  if (it == Handles.end() || !BufferOk(in, inSize) || !BufferOk(out, outSize))
    return Invalid(sysError);
  TDevice& device = *it->second;
  if (device.Gone || !device.Port) return Result(TUsbStatus::NoDevice, sysError);
  TUsbPort& port = *device.Port;
  std::uint32_t got = 0;
  TUsbStatus status = TUsbStatus::Error;

  switch (code) {
  case EzGetDeviceDescriptor:
    if (outSize < DeviceDescriptorSize) return Invalid(sysError);
    status = port.Control(DirIn, ReqGetDescriptor, DescDevice, 0, out, DeviceDescriptorSize,
                          timeoutMs, got);
    returned = got;
    // A device descriptor is always whole; a short one is a broken transfer.
    if (status == TUsbStatus::Ok && got < DeviceDescriptorSize) status = TUsbStatus::Error;
    return Result(status, sysError);

  case EzGetConfigDescriptor: {
    if (outSize == 0) return Invalid(sysError);
    std::uint16_t length = static_cast<std::uint16_t>(std::min(outSize, MaxControlLength));
    status =
        port.Control(DirIn, ReqGetDescriptor, DescConfiguration, 0, out, length, timeoutMs, got);
    returned = got;
    if (status == TUsbStatus::Ok && got >= 4 && got >= Le16(out + 2) && Le16(out + 2) >= 9)
      device.ConfigDescriptor.assign(out, out + Le16(out + 2));
    return Result(status, sysError);
  }

  case EzResetPipe:
    return Result(port.Reset(), sysError);

  case EzSetInterface:
    if (inSize < 2) return Invalid(sysError);
    status = port.SetInterface(in[0], in[1]);
    if (status == TUsbStatus::Ok) {
      device.Interface = in[0];
      device.AlternateSetting = in[1];
    }
    return Result(status, sysError);

  case EzGetStringDescriptor: {
    if (inSize < 3 || outSize == 0) return Invalid(sysError);
    std::uint16_t length = static_cast<std::uint16_t>(std::min(outSize, MaxStringDescriptor));
    status = port.Control(DirIn, ReqGetDescriptor, static_cast<std::uint16_t>(DescString | in[0]),
                          Le16(in + 1), out, length, timeoutMs, got);
    returned = got;
    return Result(status, sysError);
  }

  case EzBulkRead:
  case EzBulkWrite: {
    if (inSize < 4) return Invalid(sysError);
    status = LoadConfigDescriptor(device, timeoutMs);
    if (status != TUsbStatus::Ok) return Result(status, sysError);
    std::uint8_t address = 0, attributes = 0;
    if (!PipeEndpoint(device, Le32(in), address, attributes)) return Invalid(sysError);
    bool readPipe = code == EzBulkRead;
    bool endpointIn = (address & 0x80) != 0;
    std::uint8_t type = attributes & 3;
    if (readPipe != endpointIn || (type != 2 && type != 3)) return Invalid(sysError);
    status = port.Bulk(address, out, outSize, timeoutMs, got);
    returned = got;
    return Result(status, sysError);
  }

  case EzVendorRequest: {
    if (inSize < VendorRequestBlockSize || outSize > MaxControlLength) return Invalid(sysError);
    std::uint8_t direction = in[0], type = in[1], recipient = in[2];
    if (direction > 1 || type > 2 || recipient > 3) return Invalid(sysError);
    std::uint8_t requestType =
        static_cast<std::uint8_t>((direction ? DirIn : 0) | (type << 5) | recipient);
    status = port.Control(requestType, in[4], Le16(in + 6), Le16(in + 8), out,
                          static_cast<std::uint16_t>(outSize), timeoutMs, got);
    returned = got;
    return Result(status, sysError);
  }

  default:
    return Invalid(sysError);
  }
}
