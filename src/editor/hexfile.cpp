#include "editor/datafile.h"
#include "editor/textrecords.h"

using namespace textrecords;

namespace {

// One Intel HEX line: ':' N(2) address(4) type(2) data(2N) ... checksum(last 2).
class TIntelHexParser {
public:
  void Reset() { Base = 0; }

  TRecStatus Parse(std::string_view line, TRecord& rec, std::string& message) {
    rec.IsData = false;
    if (line[0] != ':') return rsInvalid;
    uint32_t count, address, type, sum;
    if (!Field(line, 2, 2, count, message) || !Field(line, 4, 4, address, message) ||
        !Field(line, 8, 2, type, message))
      return rsError;
    if (type > 5) return rsInvalid;
    const uint32_t headerSum = count + (address >> 8) + (address & 0xFF) + type;
    const size_t n = count;
    sum = headerSum;
    if (10 + 2 * n <= line.size() + 1) {
      // Fast path: the whole data field is on the line.
      const char* p = line.data() + 9;
      int bad = 0;
      for (size_t i = 0; i < n; ++i) {
        int hi = Hex.Value[static_cast<uint8_t>(p[2 * i])];
        int lo = Hex.Value[static_cast<uint8_t>(p[2 * i + 1])];
        bad |= hi | lo;
        rec.Bytes[i] = static_cast<uint8_t>(hi << 4 | (lo & 15));
        sum += rec.Bytes[i];
      }
      if (bad >= 0) return Finish(line, rec, message, count, address, type, sum);
    }
    // Field by field, so that the first bad field is the one reported.
    sum = headerSum;
    for (size_t i = 0; i < n; ++i) {
      uint32_t b;
      if (!Field(line, 10 + 2 * i, 2, b, message)) return rsError;
      rec.Bytes[i] = static_cast<uint8_t>(b);
      sum += b;
    }
    return Finish(line, rec, message, count, address, type, sum);
  }

private:
  TRecStatus Finish(std::string_view line, TRecord& rec, std::string& message, uint32_t count,
                    uint32_t address, uint32_t type, uint32_t sum) {
    uint32_t checksum;
    if (!Checksum(line, checksum, message)) return rsError;
    if (((sum + checksum) & 0xFF) != 0) return rsInvalid;
    switch (type) {
    case 0:
      rec.IsData = true;
      rec.Start = Base + address;
      rec.Count = static_cast<int>(count);
      break;
    case 2:
    case 4: {
      uint32_t v;
      if (!Field(line, 10, 4, v, message)) return rsError;
      Base = type == 2 ? uint64_t{v} * 16 : uint64_t{v} * 65536;
      break;
    }
    default: // 01 end of file, 03 and 05 start addresses: no effect
      break;
    }
    return rsOk;
  }

  uint64_t Base = 0;
};

const char* const HexDigits = "0123456789ABCDEF";

char* PutByte(char* p, uint32_t b) {
  *p++ = HexDigits[(b >> 4) & 15];
  *p++ = HexDigits[b & 15];
  return p;
}

// One record, formatted in place and appended at once.
void PutRecord(std::string& out, uint32_t type, uint32_t address, const uint8_t* data, size_t n) {
  char line[2 * 255 + 16];
  char* p = line;
  uint32_t sum = static_cast<uint32_t>(n) + (address >> 8) + (address & 0xFF) + type;
  *p++ = ':';
  p = PutByte(p, static_cast<uint32_t>(n));
  p = PutByte(p, address >> 8);
  p = PutByte(p, address & 0xFF);
  p = PutByte(p, type);
  for (size_t i = 0; i < n; ++i) {
    p = PutByte(p, data[i]);
    sum += data[i];
  }
  p = PutByte(p, (0x100 - (sum & 0xFF)) & 0xFF);
  *p++ = '\r';
  *p++ = '\n';
  out.append(line, static_cast<size_t>(p - line));
}

} // namespace

TLoadResult textrecords::LoadIntelHexLines(TLineReader& lines, const std::string& name,
                                           TXHexEdit& editor) {
  TIntelHexParser parser;
  return LoadRecords(lines, name, editor, parser, dfIntelHex);
}

TLoadResult LoadIntelHex(std::string_view text, const std::string& name, TXHexEdit& editor) {
  TLineReader lines(text);
  return LoadIntelHexLines(lines, name, editor);
}

std::string FormatIntelHex(const uint8_t* data, size_t size, int bytesPerRecord) {
  const size_t per = static_cast<size_t>(std::clamp(bytesPerRecord, 1, 255));
  std::string out;
  out.reserve(size * 2 + (size / per + 2) * 13 + (size >> 16) * 17);
  uint32_t upper = 0;
  for (size_t at = 0; at < size;) {
    uint32_t high = static_cast<uint32_t>(at >> 16);
    if (high != upper) {
      uint8_t v[2] = {static_cast<uint8_t>(high >> 8), static_cast<uint8_t>(high)};
      PutRecord(out, 4, 0, v, 2);
      upper = high;
    }
    // Records never cross a 64 KiB boundary.
    size_t n = std::min({per, size - at, 0x10000 - (at & 0xFFFF)});
    PutRecord(out, 0, static_cast<uint32_t>(at & 0xFFFF), data + at, n);
    at += n;
  }
  PutRecord(out, 1, 0, nullptr, 0);
  return out;
}
