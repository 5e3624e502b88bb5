#pragma once

#include <cstdint>
#include <string_view>

// Skip-table (Horspool) search over raw memory. Without exactCase the pattern
// and the buffer's bytes 41h..5Ah are compared as lower-case letters.
// Forward: the first candidate starts at from + 1 and a match's last byte must
// lie at or before limit. Backward: candidates start at from - 1 and go down
// to limit. Windows that would run past `size` are never compared.
// Returns the match's start, or -1 (also for an empty pattern).
int64_t SearchBytes(const uint8_t* data, int64_t size, std::string_view pattern, bool exactCase,
                    int64_t limit, int64_t from, bool forward);
