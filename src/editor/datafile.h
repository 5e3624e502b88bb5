#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TXHexEdit;

// The data file formats a buffer is read from and written to.
enum TDataFormat : uint8_t { dfBinary, dfIntelHex, dfSRecord };

// By the lower-cased extension: ".hex" Intel HEX; ".s19", ".s28", ".s37",
// ".mot" S-records; anything else raw binary.
TDataFormat FormatFromExtension(const std::string& path);
const char* FormatName(TDataFormat format); // "binary", "Intel HEX", "S-record"

enum class TLoadStatus {
  Loaded,          // the buffer holds the file
  Invalid,         // a record was invalid (first character, type, checksum): try raw binary
  ConversionError, // a field was not hex or a line too short; Message says which
  TooLarge,        // the data reach beyond MaxDataFileSize; Message says so
  IoError          // the file could not be read; Message says why
};

struct TLoadResult {
  TLoadStatus Status = TLoadStatus::Loaded;
  std::string Message;
  TDataFormat Format = dfBinary; // the reader that produced the buffer
};

// Text readers, two passes over the lines: the first checks every record and
// finds the extent (the highest address written + 1), the second stores the
// bytes into NewData(name, extent - 1). The buffer always starts at address
// 0 and bytes no record covers keep what the storage held. Unless the result
// is Loaded, the editor is untouched. A UTF-8 byte-order mark is skipped;
// lines end at CR LF, LF or CR; empty lines are skipped; end records do not
// stop the reading.
TLoadResult LoadIntelHex(std::string_view text, const std::string& name, TXHexEdit& editor);
TLoadResult LoadSRecords(std::string_view text, const std::string& name, TXHexEdit& editor);
// Raw bytes from offset 0; caret to 0, FileName := name, Modified := false.
TLoadResult LoadBinary(std::string_view bytes, const std::string& name, TXHexEdit& editor);

// Reads a file with the reader its extension selects; a text file with an
// invalid record is read as raw binary instead.
TLoadResult LoadDataFile(const std::string& path, TXHexEdit& editor);

// Writers. Intel HEX: data records of bytesPerRecord bytes, never crossing a
// 64 KiB boundary, with extended linear address records (04) when the data
// pass 64 KiB, then the end record. S-records: S0 header, S1/S2/S3 data by
// the address width the size needs, then the matching S9/S8/S7. Lines end
// with CR LF.
std::string FormatIntelHex(const uint8_t* data, size_t size, int bytesPerRecord = 16);
std::string FormatSRecords(const uint8_t* data, size_t size, std::string_view header,
                           int bytesPerRecord = 16);

// Writes the bytes in the given format, replacing `path` safely (see
// WriteFileReplacing); false with a reason in `error`.
bool SaveDataFile(const std::string& path, const uint8_t* data, size_t size, TDataFormat format,
                  std::string& error);
