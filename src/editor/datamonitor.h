#pragma once

#include <array>
#include <cstdint>
#include <string>

class TXHexEdit;

// The programmer page's data monitor: the bytes at the caret read as a number
// of 8, 16, 32 or 64 bits in either byte order.
enum TMonitorLength : uint8_t { mlBits8, mlBits16, mlBits32, mlBits64 };
enum TByteOrder : uint8_t { boIntel, boMotorola }; // Intel: least significant byte first

using TMonitorBytes = std::array<uint8_t, 8>;

// The 8 bytes at offset .. offset+7; a byte at or beyond DataSize counts as 0.
TMonitorBytes MonitorBytes(const TXHexEdit& editor, int32_t offset);

// "%u  %d" (8 and 16 bits), "%u  %d  %f" (32 bits, the float of the low
// dword), "%u  %d  " and the double's exponent form (64 bits).
std::string MonitorText(const TMonitorBytes& bytes, TMonitorLength length, TByteOrder order);
std::string MonitorText(const TXHexEdit& editor, int32_t offset, TMonitorLength length,
                        TByteOrder order);

// A double in 23 characters: sign position, one digit, ".", 14 digits, "E",
// the exponent's sign and four digits (" 1.00000000000000E+0000"). A quiet
// NaN reads "Nan", the infinities "+Inf" and "-Inf", right-aligned; a
// signalling NaN, which cannot be loaded without a floating-point error, "NAN".
std::string DoubleExponentText(uint64_t bits);

// The monitor bar's two buttons: 8 -> 16 -> 32 -> 64 -> 8 bits, Intel <-> Motorola.
TMonitorLength NextMonitorLength(TMonitorLength length);
TByteOrder NextByteOrder(TByteOrder order);
const char* MonitorLengthCaption(TMonitorLength length); // "8 bits" ...
const char* ByteOrderCaption(TByteOrder order);          // "Intel", "Motorola"
