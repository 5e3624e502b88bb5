#include "editor/binfile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A name beside `path` that no other save of this process uses.
fs::path SiblingTemp(const fs::path& path, const char* tag) {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::string name = "." + path.filename().string() + "." + tag + std::to_string(stamp % 1000000) +
                     "-" + std::to_string(counter++);
  return path.parent_path() / name;
}

bool WriteAll(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  if (size) out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  return !out.fail();
}

} // namespace

bool ReadWholeFile(const std::string& path, TFileContents& contents, std::string& error,
                   bool* tooLarge) {
  if (tooLarge) *tooLarge = false;
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = "'" + path + "' is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "Cannot open '" + path + "'";
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff length = in.tellg();
  if (length < 0) {
    error = "Cannot read '" + path + "'";
    return false;
  }
  if (length > MaxDataFileSize) {
    if (tooLarge) *tooLarge = true;
    error = "'" + path + "' is larger than the " + std::to_string(MaxDataFileSize) +
            " bytes a buffer may hold";
    return false;
  }
  contents.Size = static_cast<size_t>(length);
  contents.Bytes.reset(new char[contents.Size + 1]);
  in.seekg(0);
  if (length > 0) in.read(contents.Bytes.get(), length);
  if (!in) {
    error = "Cannot read '" + path + "'";
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::string BackupPathFor(const std::string& path, const std::string& ext) {
  return fs::path(path).replace_extension("." + ext).string();
}

bool WriteFileReplacing(const std::string& path, const void* data, size_t size,
                        const std::string& backupPath, std::string& error) {
  std::error_code ec;
  const fs::path target(path);
  const fs::path temp = SiblingTemp(target, "tmp");
  if (!WriteAll(temp, data, size)) {
    fs::remove(temp, ec);
    error = "Cannot write '" + path + "'";
    return false;
  }
  bool sameFile = backupPath.empty() || fs::path(backupPath) == target ||
                  (fs::exists(backupPath, ec) && fs::equivalent(backupPath, target, ec));
  if (!sameFile && fs::exists(target, ec)) {
    // Copy to a temporary name, then rename over the old backup, so the old
    // backup survives any failure until the new one is complete.
    const fs::path backupTemp = SiblingTemp(fs::path(backupPath), "bak");
    fs::create_hard_link(target, backupTemp, ec);
    if (ec) {
      ec.clear();
      fs::copy_file(target, backupTemp, fs::copy_options::overwrite_existing, ec);
    }
    if (!ec) fs::rename(backupTemp, backupPath, ec);
    if (ec) {
      fs::remove(backupTemp, ec);
      fs::remove(temp, ec);
      error = "Cannot make the backup '" + backupPath + "'";
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    error = "Cannot write '" + path + "'";
    return false;
  }
  return true;
}
