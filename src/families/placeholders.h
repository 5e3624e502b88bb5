#pragma once

#include "devices/devbase.h"

// Family classes whose units are not written yet. Each keeps its real name and
// the protocol module its family sets, so that the registry already holds every
// catalogue entry; its operations fail with a clear message. A family's own
// unit replaces its line here and in familyclasses.cpp.
class TPlaceholderDevice : public TDevice {
public:
  TPlaceholderDevice(const TDevInfo& info, const char* className, TModule module);

  TTaskResult DeviceProgram() override { return NotAvailable(); }
  TTaskResult DeviceRead() override { return NotAvailable(); }
  TTaskResult DeviceVerify() override { return NotAvailable(); }
  TTaskResult DeviceBlankCheck() override { return NotAvailable(); }

  const char* ClassName;

private:
  TTaskResult NotAvailable();
};

#define KV_PLACEHOLDER_FAMILY(Name, ModuleValue)                                                   \
  class Name : public TPlaceholderDevice {                                                         \
  public:                                                                                          \
    explicit Name(const TDevInfo& info) : TPlaceholderDevice(info, #Name, ModuleValue) {}          \
  };

KV_PLACEHOLDER_FAMILY(TMC68HC05B, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC05X, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC705B, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC05E, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC05P, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC05H, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC05L, tmMotorola)
KV_PLACEHOLDER_FAMILY(TMC68HC11E, tmNone)
KV_PLACEHOLDER_FAMILY(TMC68HC11S, tmNone)
KV_PLACEHOLDER_FAMILY(TMC68HC11ea, tmNone)
KV_PLACEHOLDER_FAMILY(TMC68HC11K, tmNone)
KV_PLACEHOLDER_FAMILY(TMC68HC912, tmNone)
KV_PLACEHOLDER_FAMILY(TMC9S12, tmNone)
KV_PLACEHOLDER_FAMILY(TMC9S12X, tmNone)
KV_PLACEHOLDER_FAMILY(TMC68HC908, tmNone)
KV_PLACEHOLDER_FAMILY(TuPD780828, tmNone)
KV_PLACEHOLDER_FAMILY(TCR16MCS, tmNone)
KV_PLACEHOLDER_FAMILY(TAT90S23, tmNone)
KV_PLACEHOLDER_FAMILY(TAT89S8252, tmNone)
KV_PLACEHOLDER_FAMILY(TAT89S51, tmNone)
KV_PLACEHOLDER_FAMILY(TTMS370Cx5x, tmTMS)
KV_PLACEHOLDER_FAMILY(TTMS370Cx02, tmTMS2)
KV_PLACEHOLDER_FAMILY(TTMS374C003, tmTMS2)
KV_PLACEHOLDER_FAMILY(TPIC16F84, tmPIC)
KV_PLACEHOLDER_FAMILY(TPIC12F509, tmPIC)
KV_PLACEHOLDER_FAMILY(TST6240, tmST)
