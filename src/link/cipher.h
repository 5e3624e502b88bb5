#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Byte stream cipher of the module images: 16-bit state S, multiplier M and
// increment A; each output byte is the input XOR the high byte of S, and S is
// fed with the enciphered byte, so both directions share one loop.
struct TCipherParams {
  std::uint16_t Key;
  std::uint16_t Mul;
  std::uint16_t Add;
};

// Our own parameters; every image of the program is enciphered with them.
constexpr TCipherParams ImageCipher{0x4B56, 0x6C4D, 0x2F1B};

void EncipherInPlace(std::uint8_t* data, std::size_t size, const TCipherParams& p = ImageCipher);
void DecipherInPlace(std::uint8_t* data, std::size_t size, const TCipherParams& p = ImageCipher);
void Decipher(const std::uint8_t* src, std::uint8_t* dst, std::size_t size,
              const TCipherParams& p = ImageCipher);
std::string DecipherString(const std::string& text, const TCipherParams& p = ImageCipher);
void DecipherStringInPlace(std::string& text, const TCipherParams& p = ImageCipher);
