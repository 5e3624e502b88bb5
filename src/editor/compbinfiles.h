#pragma once

#include <cstdint>
#include <functional>

class TXHexEdit;
class TModifiedList;

// One side of a comparison: a buffer and, when its "Color Differences" box is
// checked, the marks list that receives the differing offsets.
struct TCompareSide {
  TXHexEdit* Buffer = nullptr;
  TModifiedList* Marks = nullptr; // nullptr: do not mark
};

// Compares the two buffers byte by byte up to the shorter one's size. Writes
// "Comparing Files: a; b", one "[ %6.6x ]:    %2.2x     %2.2x" line per
// difference when showDifferences, and "Differences: n" to the message panel.
// Each marks list given is cleared first and receives every differing
// offset; both buffers are redrawn at the end. progress(position) is called
// after each byte (maximum n - 1).
// Returns the number of differences.
int64_t CompareBuffers(const TCompareSide& first, const TCompareSide& second, bool showDifferences,
                       const std::function<void(int32_t)>& progress = {});
