#include "families/placeholders.h"

#include "shell/appservices.h"

TPlaceholderDevice::TPlaceholderDevice(const TDevInfo& info, const char* className, TModule module)
    : TDevice(info), ClassName(className) {
  Module = module;
}

TTaskResult TPlaceholderDevice::NotAvailable() {
  Services().AddMessage(Name + ": the " + ClassName + " device family is not available yet");
  Services().AddError();
  return trDevError;
}
