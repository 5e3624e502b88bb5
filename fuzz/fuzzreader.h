#pragma once

// Runs one text reader over the input twice: from memory, and from a stream
// read in chunks whose size the first byte chooses (so that line breaks land
// on chunk boundaries), and checks that both give the same buffer.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "editor/datafile.h"
#include "editor/textrecords.h"
#include "editor/xhexedit.h"

template <class FromMemory, class FromLines>
int FuzzReader(const uint8_t* data, size_t size, FromMemory fromMemory, FromLines fromLines) {
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 16;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  TXHexEdit a;
  TLoadResult ra = fromMemory(text, "fuzz", a);

  std::istringstream in(text);
  textrecords::TLineReader lines(in, chunk);
  TXHexEdit b;
  TLoadResult rb = fromLines(lines, "fuzz", b);

  if (ra.Status != rb.Status || ra.Message != rb.Message) std::abort();
  if (ra.Status == TLoadStatus::Loaded &&
      (a.DataSize() != b.DataSize() ||
       (a.DataSize() > 0 &&
        std::memcmp(a.Data(), b.Data(), static_cast<size_t>(a.DataSize())) != 0)))
    std::abort();
  return 0;
}
