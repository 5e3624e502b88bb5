#include "fuzzreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzReader(data, size, LoadIntelHex, textrecords::LoadIntelHexLines);
}
