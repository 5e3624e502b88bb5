#pragma once
#include <string>

namespace kv::script {

// The host object behind the script class Exception and its descendants.
struct TExceptionObject {
  std::string Message;
};

} // namespace kv::script
