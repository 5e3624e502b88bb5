#pragma once

#include <memory>

class TDeviceList;

// Gives the registry every family class by its class code.
void RegisterFamilyClasses(TDeviceList& list);

// The program's registry: the family classes and the built-in catalogue,
// every row passed to AddDevInfo in catalogue order.
std::unique_ptr<TDeviceList> CreateDeviceList();
