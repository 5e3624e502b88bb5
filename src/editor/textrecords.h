#pragma once

// Shared by the Intel HEX and S-record readers: line splitting, hex fields
// and the two-pass load. Not part of the editor's public interface.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/binfile.h"
#include "editor/datafile.h"
#include "editor/delphifmt.h"
#include "editor/xhexedit.h"

namespace textrecords {

enum TRecStatus { rsOk, rsInvalid, rsError };

struct TRecord {
  bool IsData = false;
  uint64_t Start = 0;
  int Count = 0;
  uint8_t Bytes[256];
};

struct THexTable {
  int8_t Value[256];
  constexpr THexTable() : Value() {
    for (int i = 0; i < 256; ++i)
      Value[i] = -1;
    for (int i = 0; i < 10; ++i)
      Value['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i) {
      Value['A' + i] = static_cast<int8_t>(10 + i);
      Value['a' + i] = static_cast<int8_t>(10 + i);
    }
  }
};
inline constexpr THexTable Hex{};

// A numeric field of `len` characters at 1-based position pos. A field cut
// short by the end of the line is read as far as it goes; an empty or non-hex
// one is a conversion error with the field's text prefixed by "$".
inline bool Field(std::string_view line, size_t pos, size_t len, uint32_t& value,
                  std::string& message) {
  size_t at = pos - 1;
  if (at + len <= line.size()) {
    uint32_t v = 0;
    bool ok = true;
    for (size_t i = 0; i < len; ++i) {
      int d = Hex.Value[static_cast<uint8_t>(line[at + i])];
      ok &= d >= 0;
      v = v << 4 | static_cast<uint32_t>(d & 15);
    }
    if (ok) {
      value = v;
      return true;
    }
  }
  std::string_view text = at < line.size() ? line.substr(at, len) : std::string_view();
  uint32_t v = 0;
  bool ok = !text.empty();
  for (char c : text) {
    int d = Hex.Value[static_cast<uint8_t>(c)];
    ok &= d >= 0;
    v = v << 4 | static_cast<uint32_t>(d & 15);
  }
  if (ok) {
    value = v;
    return true;
  }
  message = Format("'%s' is not a valid integer value", {"$" + std::string(text)});
  return false;
}

// The checksum: the last two characters of the line, wherever they are.
inline bool Checksum(std::string_view line, uint32_t& value, std::string& message) {
  size_t pos = line.size() >= 2 ? line.size() - 1 : 1;
  return Field(line, pos, 2, value, message);
}

// The lines of a text, from memory or read from a file in chunks (so that a
// large file is never held whole). Lines end at CR LF, LF or CR; a UTF-8
// byte-order mark at the start is skipped. Rewind() starts over.
class TLineReader {
public:
  explicit TLineReader(std::string_view text);
  explicit TLineReader(std::istream& file, size_t chunkSize = size_t{1} << 20);

  bool Next(std::string_view& line);
  bool Rewind(); // false when the file cannot be read again
  bool Failed() const { return ReadError; }

private:
  size_t Find(char c, size_t& cached, size_t& scanned);
  bool Refill();
  void SkipMark();

  std::istream* File = nullptr;
  std::vector<char> Owned;
  const char* Buf = nullptr;
  size_t Begin = 0, End = 0;
  bool Eof = true;
  bool ReadError = false;
  size_t LfAt = 0, LfScanned = 0, CrAt = 0, CrScanned = 0;
  static constexpr size_t None = static_cast<size_t>(-1);
};

// Pass 1 over every line, then NewData and pass 2. Parser: Reset() before each
// pass, Parse(line, record, message) -> TRecStatus.
template <class Parser>
TLoadResult LoadRecords(TLineReader& lines, const std::string& name, TXHexEdit& editor,
                        Parser& parser, TDataFormat format) {
  TLoadResult result;
  result.Format = format;
  TRecord rec;
  uint64_t extent = 0;
  TRecStatus status = rsOk;
  std::string_view line;
  parser.Reset();
  while (status == rsOk && lines.Next(line)) {
    if (line.empty()) continue;
    status = parser.Parse(line, rec, result.Message);
    if (status == rsOk && rec.IsData)
      extent = std::max(extent, rec.Start + static_cast<uint64_t>(rec.Count));
  }
  if (lines.Failed()) {
    result.Status = TLoadStatus::IoError;
    result.Message = "Cannot read '" + name + "'";
    return result;
  }
  if (status == rsInvalid) {
    result.Status = TLoadStatus::Invalid;
    return result;
  }
  if (status == rsError) {
    result.Status = TLoadStatus::ConversionError;
    return result;
  }
  if (extent > static_cast<uint64_t>(MaxDataFileSize)) {
    result.Status = TLoadStatus::TooLarge;
    result.Message = Format(
        "The data of '%s' end at %xh, beyond the %u bytes a buffer may hold",
        {name, static_cast<unsigned long long>(extent), static_cast<long long>(MaxDataFileSize)});
    return result;
  }
  if (!lines.Rewind()) {
    result.Status = TLoadStatus::IoError;
    result.Message = "Cannot read '" + name + "'";
    return result;
  }
  editor.NewData(name, static_cast<int32_t>(extent) - 1);
  uint8_t* data = editor.Data();
  parser.Reset();
  while (lines.Next(line)) {
    if (line.empty()) continue;
    // Pass 1 accepted every line; a file changed in between stops here.
    if (parser.Parse(line, rec, result.Message) != rsOk) break;
    if (rec.IsData && rec.Count > 0 && rec.Start + static_cast<uint64_t>(rec.Count) <= extent)
      std::memcpy(data + rec.Start, rec.Bytes, static_cast<size_t>(rec.Count));
  }
  result.Status = TLoadStatus::Loaded;
  return result;
}

TLoadResult LoadIntelHexLines(TLineReader& lines, const std::string& name, TXHexEdit& editor);
TLoadResult LoadSRecordLines(TLineReader& lines, const std::string& name, TXHexEdit& editor);

} // namespace textrecords
