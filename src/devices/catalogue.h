#pragma once

#include <vector>

#include "devices/devinfo.h"

// The built-in device table, in the order the registry loads it: groups, the
// back entry, devices, and rows of classes this program does not provide.
const std::vector<TDevInfo>& BuiltInCatalogue();
