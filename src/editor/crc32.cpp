#include "editor/crc32.h"

#include <array>

#include "editor/delphifmt.h"

namespace {

// Table[0] is the standard byte table; Table[k] advances a byte k more
// positions, so eight bytes are folded in per step.
struct TCrcTables {
  std::array<std::array<uint32_t, 256>, 8> Table{};
  constexpr TCrcTables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      Table[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
      for (size_t t = 1; t < 8; ++t)
        Table[t][i] = Table[0][Table[t - 1][i] & 0xFF] ^ (Table[t - 1][i] >> 8);
  }
};
constexpr TCrcTables Crc{};

} // namespace

void UpdateCrc32(const uint8_t* data, size_t length, uint32_t& crc) {
  const auto& t = Crc.Table;
  uint32_t c = crc;
  while (length >= 8) {
    uint32_t lo = c ^ (uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
                       uint32_t{data[3]} << 24);
    c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
        t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
    data += 8;
    length -= 8;
  }
  while (length--)
    c = t[0][(c ^ *data++) & 0xFF] ^ (c >> 8);
  crc = c;
}

std::string Crc32Text(uint32_t crc) {
  return Format("%8.8xh", {static_cast<long long>(crc)});
}
