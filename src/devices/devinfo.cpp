#include "devices/devinfo.h"

std::string ClassCode(const TDevInfo& info) {
  const std::string& source = info.DevClass.empty() ? info.ID : info.DevClass;
  return source.substr(0, 4);
}
