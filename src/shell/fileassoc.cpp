#include "shell/fileassoc.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

const std::vector<TFileType>& AssociableFileTypes() {
  static const std::vector<TFileType> types = {
      {"bin", "application/x-kvprog-binary", "Binary data file"},
      {"hex", "application/x-kvprog-ihex", "Intel Hex data file"},
      {"s19", "application/x-kvprog-srec", "Motorola S-record data file"},
      {"kds", "application/x-kvprog-devscript", "Korvane device script"},
  };
  return types;
}

const TFileType* FindFileType(const std::string& ext) {
  for (const auto& t : AssociableFileTypes())
    if (t.Ext == ext) return &t;
  return nullptr;
}

std::optional<std::string> DesktopExecArgument(const std::string& arg) {
  // Quoting rules of the Exec key, then the general escaping of string values.
  std::string quoted = "\"";
  for (char c : arg) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return std::nullopt;
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string escaped;
  for (char c : quoted) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string XdgDataHome(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return xdgDataHome;
  return std::string(home ? home : "") + "/.local/share";
}

std::string DesktopEntryText(const std::string& execArgument, const std::string& iconName) {
  std::string mime;
  for (const auto& t : AssociableFileTypes())
    mime += t.MimeType + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Korvane Device Programmer\n"
         "Comment=Read, program and verify serial memories and microcontrollers\n"
         "Exec=" +
         execArgument +
         " %f\n"
         "Icon=" +
         iconName +
         "\n"
         "Terminal=false\n"
         "Categories=Development;Electronics;\n"
         "MimeType=" +
         mime + "\n";
}

std::string MimeInfoText(const std::vector<const TFileType*>& types) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const TFileType* t : types)
    xml += "  <mime-type type=\"" + t->MimeType + "\">\n    <comment>" + t->Comment +
           "</comment>\n    <glob pattern=\"*." + t->Ext + "\"/>\n  </mime-type>\n";
  xml += "</mime-info>\n";
  return xml;
}

TAssociationPlan PlanFileAssociation(const std::vector<std::string>& exts,
                                     const std::string& programPath, const std::string& dataHome) {
  TAssociationPlan plan;
  if (dataHome.empty() || dataHome[0] != '/') {
    plan.Error = "No home folder to register the file types in";
    return plan;
  }
  auto exec = DesktopExecArgument(programPath);
  if (!exec) {
    plan.Error = "The program's path cannot be registered: " + programPath;
    return plan;
  }
  std::vector<const TFileType*> types;
  for (const auto& ext : exts) {
    const TFileType* t = FindFileType(ext);
    if (!t) {
      plan.Error = "Unknown file type: " + ext;
      return plan;
    }
    types.push_back(t);
  }
  if (types.empty()) return plan;

  const std::string desktopId = "kvprog.desktop";
  plan.Files.emplace_back(dataHome + "/applications/" + desktopId,
                          DesktopEntryText(*exec, "kvprog"));
  // One file per type, so registering "hex" later keeps an earlier "bin".
  for (const TFileType* t : types)
    plan.Files.emplace_back(dataHome + "/mime/packages/kvprog-" + t->Ext + ".xml",
                            MimeInfoText({t}));
  plan.Commands.push_back({"update-mime-database", dataHome + "/mime"});
  plan.Commands.push_back({"update-desktop-database", dataHome + "/applications"});
  std::vector<std::string> setDefault{"xdg-mime", "default", desktopId};
  for (const TFileType* t : types)
    setDefault.push_back(t->MimeType);
  plan.Commands.push_back(setDefault);
  return plan;
}

bool WriteFileReplacing(const std::string& path, const std::string& content, std::string& error) {
  std::error_code ec;
  fs::path target(path);
  fs::create_directories(target.parent_path(), ec);
  if (ec) {
    error = "Cannot create " + target.parent_path().string() + ": " + ec.message();
    return false;
  }
  fs::path temp = target;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << content;
    out.flush();
    if (!out) {
      error = "Cannot write " + temp.string();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    error = "Cannot replace " + path + ": " + ec.message();
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

std::vector<std::pair<std::string, std::string>> RegistryAssociation(const std::string& ext,
                                                                     const std::string& exe) {
  const std::string type = ext + "file";
  // The program's path is quoted: a path with blanks would otherwise run a
  // different program or fail to open.
  return {{"." + ext, type},
          {type, ""},
          {type + "\\DefaultIcon", "\"" + exe + "\",0"},
          {type + "\\shell\\open\\command", "\"" + exe + "\" \"%1\""}};
}
