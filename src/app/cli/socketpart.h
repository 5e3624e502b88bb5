#pragma once

#include "devices/devinfo.h"
#include "sim/virtualsocket.h"

// The virtual socket's view of a device description: the part to insert.
inline TSocketPartSpec SocketSpecOf(const TDevInfo& info) {
  TSocketPartSpec partDesc;
  partDesc.ClassCode = ClassCode(info);
  partDesc.Name = info.Name;
  partDesc.Capacity = info.e2cap;
  partDesc.Org = info.e2org;
  partDesc.AddressBits = info.e2len;
  partDesc.Pin7 = info.Pin7;
  partDesc.Slave = info.I2CSlave;
  partDesc.WriteUs = info.e2Tw;
  return partDesc;
}
