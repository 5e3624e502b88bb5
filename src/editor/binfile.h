#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Largest buffer a file may produce. Extents are computed in 64 bits and a
// file beyond this is refused before anything is allocated for it.
inline constexpr int64_t MaxDataFileSize = int64_t{256} << 20;

// A whole file in memory (not zero-filled first: files can be large).
struct TFileContents {
  std::unique_ptr<char[]> Bytes;
  size_t Size = 0;
  std::string_view View() const { return {Bytes.get(), Size}; }
};

// Reads the whole file; false with a reason in `error`. Files larger than
// MaxDataFileSize are refused (and *tooLarge set) before anything is read.
bool ReadWholeFile(const std::string& path, TFileContents& contents, std::string& error,
                   bool* tooLarge = nullptr);

bool FileExists(const std::string& path);

// `path` with its extension replaced by "." + ext ("x.bin" -> "x.bak").
std::string BackupPathFor(const std::string& path, const std::string& ext);

// Writes `size` bytes as the new content of `path` without ever leaving it
// half-written: the bytes go to a temporary file beside it, which is renamed
// over `path` once complete. With a backupPath (and an existing `path`), the
// old content becomes the backup first; a backup path naming the file itself
// is ignored. On failure nothing is changed: the old file and any old backup
// stay as they were.
bool WriteFileReplacing(const std::string& path, const void* data, size_t size,
                        const std::string& backupPath, std::string& error);
