#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

// A path of this test process's own under the temporary folder: CTest runs
// tests in parallel processes, and other builds may run beside them.
inline std::filesystem::path TestTempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("kv-" + std::to_string(::getpid()) + "-" + name);
}
