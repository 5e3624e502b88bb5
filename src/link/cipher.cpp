#include "link/cipher.h"

namespace {

inline std::uint16_t Next(std::uint16_t s, std::uint8_t cipherByte, const TCipherParams& p) {
  return static_cast<std::uint16_t>(p.Add + p.Mul * static_cast<std::uint16_t>(s + cipherByte));
}

} // namespace

void EncipherInPlace(std::uint8_t* data, std::size_t size, const TCipherParams& p) {
  std::uint16_t s = p.Key;
  for (std::size_t i = 0; i < size; ++i) {
    data[i] = static_cast<std::uint8_t>(data[i] ^ (s >> 8));
    s = Next(s, data[i], p);
  }
}

void Decipher(const std::uint8_t* src, std::uint8_t* dst, std::size_t size,
              const TCipherParams& p) {
  std::uint16_t s = p.Key;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t c = src[i]; // src may alias dst
    dst[i] = static_cast<std::uint8_t>(c ^ (s >> 8));
    s = Next(s, c, p);
  }
}

void DecipherInPlace(std::uint8_t* data, std::size_t size, const TCipherParams& p) {
  Decipher(data, data, size, p);
}

std::string DecipherString(const std::string& text, const TCipherParams& p) {
  std::string out = text;
  DecipherStringInPlace(out, p);
  return out;
}

void DecipherStringInPlace(std::string& text, const TCipherParams& p) {
  DecipherInPlace(reinterpret_cast<std::uint8_t*>(text.data()), text.size(), p);
}
