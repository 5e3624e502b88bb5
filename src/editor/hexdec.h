#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How the hex/decimal converter reads a value, in the order the type button
// cycles through them.
enum THexDecType : uint8_t {
  hdUnsigned,
  hdSigned8,
  hdSigned16,
  hdSigned32,
  hdSigned64,
  hdFloat32,
  hdFloat64
};

// The text a conversion puts in the other edit; Beep asks the window to beep.
struct THexDecResult {
  std::string Text;
  bool Beep = false;
};

// The converter's logic: the window keeps the current value (a double) and
// shows the results in its two edits.
class THexDecConverter {
public:
  THexDecType Type = hdUnsigned;
  double Value = 0; // the current value; entering either edit resets it to 0

  void CycleType(); // Unsigned -> ... -> 64 bits Float -> Unsigned
  const char* TypeCaption() const;
  static const char* TypeCaption(THexDecType type);

  // The hex edit changed: its text read as "$" + text, a 64-bit integer.
  THexDecResult HexToDec(std::string_view hexText);
  // The decimal edit changed: its text read as a floating-point number.
  THexDecResult DecToHex(std::string_view decText);
};
