#include "sim/runningfirmware.h"

#include "link/fwheader.h"

namespace {

// The body of our images starts with the command groups they answer.
void AddGroups(const std::uint8_t* body, std::uint32_t bodyLength, std::bitset<256>& groups) {
  if (bodyLength == 0) return;
  const std::uint32_t n = body[0];
  for (std::uint32_t i = 0; i < n && 1 + i < bodyLength; ++i)
    groups.set(body[1 + i]);
}

} // namespace

TRunningFirmware TRunningFirmware::Inspect(const std::uint8_t* ram, std::size_t size) {
  TRunningFirmware fw;
  fw.Kind = TFirmwareKind::Garbage;
  const auto base = ReadImageHeader(ram, size);
  if (!base) return fw;
  if (base->Kind == TImageKind::BootUpdater) {
    fw.Kind = TFirmwareKind::BootUpdater;
    fw.Version = base->Version;
    fw.Module = tmKVBoot;
    return fw;
  }
  if (base->Kind != TImageKind::Base) return fw;
  fw.Kind = TFirmwareKind::Base;
  fw.Version = base->Version;
  AddGroups(ram + ImageHeaderSize, base->BodyLength, fw.Groups);

  if (size <= ProtocolModuleOffset) return fw;
  const std::uint8_t* at = ram + ProtocolModuleOffset;
  const auto module = ReadImageHeader(at, size - ProtocolModuleOffset);
  if (module && module->Kind == TImageKind::Protocol && module->Module != tmNone &&
      module->Module != tmKVBoot) {
    fw.Module = module->Module;
    AddGroups(at + ImageHeaderSize, module->BodyLength, fw.Groups);
  }
  return fw;
}
