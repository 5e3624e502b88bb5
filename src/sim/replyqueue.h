#pragma once

#include <array>
#include <cstdint>

// The replies waiting in endpoint 0x81: a small fixed ring, so that a frame
// costs no allocation. A full queue makes the firmware refuse further frames.
class TReplyQueue {
public:
  static constexpr int Capacity = 4;
  static constexpr int FrameSize = 64;

  struct TReply {
    std::array<std::uint8_t, FrameSize> Data;
    std::uint8_t Length;
  };

  bool Empty() const { return Count == 0; }
  bool Full() const { return Count == Capacity; }
  int Size() const { return Count; }
  void Clear() { Head = Count = 0; }

  // The slot of a new reply at the back; the caller fills it. Only when not full.
  TReply& Push() {
    TReply& r = Items[(Head + Count) % Capacity];
    ++Count;
    return r;
  }
  const TReply& Front() const { return Items[Head]; }
  void Pop() {
    Head = (Head + 1) % Capacity;
    --Count;
  }

private:
  std::array<TReply, Capacity> Items{};
  int Head = 0;
  int Count = 0;
};
