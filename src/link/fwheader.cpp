#include "link/fwheader.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<std::uint32_t, 256> CrcTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}
constexpr auto Table = CrcTable();

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

std::uint32_t ImageCrc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i)
    c = Table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void WriteImageHeader(const TImageHeader& h, std::uint8_t* dst) {
  std::memcpy(dst, ImageMagic, 4);
  dst[4] = static_cast<std::uint8_t>(h.Kind);
  dst[5] = h.Module;
  dst[6] = dst[7] = 0;
  Put32(dst + 8, h.Version);
  Put32(dst + 12, h.BodyLength);
  Put32(dst + 16, h.Crc);
}

std::optional<TImageHeader> ReadImageHeader(const std::uint8_t* data, std::size_t available) {
  if (available < ImageHeaderSize || std::memcmp(data, ImageMagic, 4) != 0) return std::nullopt;
  if (data[4] > static_cast<std::uint8_t>(TImageKind::BootEeprom) || data[5] >= ModuleCount)
    return std::nullopt;
  TImageHeader h{static_cast<TImageKind>(data[4]), static_cast<TModule>(data[5]), Get32(data + 8),
                 Get32(data + 12), Get32(data + 16)};
  if (h.BodyLength > available - ImageHeaderSize) return std::nullopt;
  if (ImageCrc32(data + ImageHeaderSize, h.BodyLength) != h.Crc) return std::nullopt;
  return h;
}
