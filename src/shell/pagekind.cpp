#include "shell/pagekind.h"

#include <algorithm>
#include <cctype>

std::string LowerExtension(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  auto name = slash == std::string::npos ? path : path.substr(slash + 1);
  auto dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  auto ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

TPageKind PageKindForExtension(const std::string& ext) {
  for (const char* e : {".ksc", ".kds", ".pas", ".cpp", ".vb", ".js"})
    if (ext == e) return TPageKind::Script;
  if (ext == ".txt" || ext == ".rtf") return TPageKind::Text;
  for (const char* e : {".jpg", ".bmp", ".ico", ".gif", ".png"})
    if (ext == e) return TPageKind::Image;
  return TPageKind::Programmer;
}

bool IsIgnoredExtension(const std::string& ext) {
  return ext == ".ltf" || ext == ".kvp";
}

TOpenDecision DecideOpen(const std::string& path, bool hasActive, TPageKind activeKind,
                         bool openFileInSamePage) {
  auto ext = LowerExtension(path);
  if (IsIgnoredExtension(ext)) return {TOpenStep::Ignore, TPageKind::Programmer};
  auto kind = PageKindForExtension(ext);
  if (kind == TPageKind::Programmer && hasActive && activeKind == TPageKind::Programmer &&
      openFileInSamePage)
    return {TOpenStep::ReuseActive, kind};
  return {TOpenStep::NewPage, kind};
}

const char* PageKindName(TPageKind kind) {
  switch (kind) {
  case TPageKind::Programmer:
    return "Programmer";
  case TPageKind::Text:
    return "Text";
  case TPageKind::Image:
    return "Image";
  case TPageKind::Script:
    return "Script";
  case TPageKind::Scope:
    return "Oscilloscope";
  }
  return "";
}
