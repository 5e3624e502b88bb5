#include "editor/datafile.h"
#include "editor/textrecords.h"

using namespace textrecords;

namespace {

// Address bytes of each record type; 0 = a type that is not accepted.
// S6 is the 24-bit record count that tools write when a file holds more than
// 65535 data records; like S5 it changes nothing.
constexpr int AddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

// One S-record line: 'S' type(1) C(2) address(2..4 bytes) data ... checksum(last 2).
class TSRecordParser {
public:
  void Reset() {}

  TRecStatus Parse(std::string_view line, TRecord& rec, std::string& message) {
    rec.IsData = false;
    if (line[0] != 'S' || line.size() < 2) return rsInvalid;
    if (line[1] < '0' || line[1] > '9') return rsInvalid;
    const int type = line[1] - '0';
    const int addressBytes = AddressBytes[type];
    if (addressBytes == 0) return rsInvalid;
    uint32_t count;
    if (!Field(line, 3, 2, count, message)) return rsError;
    uint32_t sum = count + 1;
    uint64_t address = 0;
    for (int i = 0; i < addressBytes; ++i) {
      uint32_t b;
      if (!Field(line, 5 + 2 * static_cast<size_t>(i), 2, b, message)) return rsError;
      address = address << 8 | b;
      sum += b;
    }
    const int n = static_cast<int>(count) - addressBytes - 1;
    if (n < 0) return rsInvalid; // the count cannot even cover the address and checksum
    const size_t first = 5 + 2 * static_cast<size_t>(addressBytes);
    for (int i = 0; i < n; ++i) {
      const size_t at = first - 1 + 2 * static_cast<size_t>(i);
      int hi = at + 1 < line.size() ? Hex.Value[static_cast<uint8_t>(line[at])] : -1;
      int lo = at + 1 < line.size() ? Hex.Value[static_cast<uint8_t>(line[at + 1])] : -1;
      uint32_t b;
      if ((hi | lo) >= 0) {
        b = static_cast<uint32_t>(hi << 4 | lo);
      } else if (!Field(line, at + 1, 2, b, message)) {
        return rsError;
      }
      rec.Bytes[i] = static_cast<uint8_t>(b);
      sum += b;
    }
    uint32_t checksum;
    if (!Checksum(line, checksum, message)) return rsError;
    if (((sum + checksum) & 0xFF) != 0) return rsInvalid;
    if (type >= 1 && type <= 3) {
      rec.IsData = true;
      rec.Start = address;
      rec.Count = n;
    }
    return rsOk;
  }
};

const char* const HexDigits = "0123456789ABCDEF";

char* PutByte(char* p, uint32_t b) {
  *p++ = HexDigits[(b >> 4) & 15];
  *p++ = HexDigits[b & 15];
  return p;
}

// One record, formatted in place and appended at once.
void PutRecord(std::string& out, int type, int addressBytes, uint32_t address, const uint8_t* data,
               size_t n) {
  char line[2 * 255 + 16];
  char* p = line;
  const uint32_t count = static_cast<uint32_t>(addressBytes + n + 1);
  uint32_t sum = count;
  *p++ = 'S';
  *p++ = static_cast<char>('0' + type);
  p = PutByte(p, count);
  for (int i = addressBytes - 1; i >= 0; --i) {
    uint32_t b = (address >> (8 * i)) & 0xFF;
    p = PutByte(p, b);
    sum += b;
  }
  for (size_t i = 0; i < n; ++i) {
    p = PutByte(p, data[i]);
    sum += data[i];
  }
  p = PutByte(p, ~sum & 0xFF);
  *p++ = '\r';
  *p++ = '\n';
  out.append(line, static_cast<size_t>(p - line));
}

} // namespace

TLoadResult textrecords::LoadSRecordLines(TLineReader& lines, const std::string& name,
                                          TXHexEdit& editor) {
  TSRecordParser parser;
  return LoadRecords(lines, name, editor, parser, dfSRecord);
}

TLoadResult LoadSRecords(std::string_view text, const std::string& name, TXHexEdit& editor) {
  TLineReader lines(text);
  return LoadSRecordLines(lines, name, editor);
}

std::string FormatSRecords(const uint8_t* data, size_t size, std::string_view header,
                           int bytesPerRecord) {
  const size_t per = static_cast<size_t>(std::clamp(bytesPerRecord, 1, 250));
  const int dataType = size <= 0x10000 ? 1 : size <= 0x1000000 ? 2 : 3;
  const int addressBytes = dataType + 1;
  std::string out;
  out.reserve(size * 2 + (size / per + 3) * (12 + 2 * addressBytes));
  header = header.substr(0, 64);
  PutRecord(out, 0, 2, 0, reinterpret_cast<const uint8_t*>(header.data()), header.size());
  for (size_t at = 0; at < size; at += per)
    PutRecord(out, dataType, addressBytes, static_cast<uint32_t>(at), data + at,
              std::min(per, size - at));
  PutRecord(out, 10 - dataType, addressBytes, 0, nullptr, 0);
  return out;
}
