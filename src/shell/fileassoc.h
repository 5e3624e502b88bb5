#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// File associations for "bin", "hex", "s19" and "kds": on Linux a .desktop
// entry and shared-mime-info XML in the user's XDG data folder, then the
// desktop databases refreshed; on Windows the per-user classes keys.
struct TFileType {
  std::string Ext;      // "hex"
  std::string MimeType; // "application/x-kvprog-hex"
  std::string Comment;
};

const std::vector<TFileType>& AssociableFileTypes();
const TFileType* FindFileType(const std::string& ext);

// One argument of a desktop entry's Exec line, quoted and escaped so that
// blanks, quotes, "$", "%" and backslashes in the path reach the program as
// they are. None for text that cannot be written there (line breaks, control
// characters).
std::optional<std::string> DesktopExecArgument(const std::string& arg);

// The user's data folder: $XDG_DATA_HOME when absolute, else $HOME/.local/share.
std::string XdgDataHome(const char* xdgDataHome, const char* home);

std::string DesktopEntryText(const std::string& execArgument, const std::string& iconName);
std::string MimeInfoText(const std::vector<const TFileType*>& types);

// Everything registering takes: files to write and programs to run after.
struct TAssociationPlan {
  std::vector<std::pair<std::string, std::string>> Files; // path, content
  std::vector<std::vector<std::string>> Commands;         // argv; failures are not fatal
  std::string Error;                                      // non-empty: do nothing
};

// The Linux plan for the checked extensions and the program's own path.
TAssociationPlan PlanFileAssociation(const std::vector<std::string>& exts,
                                     const std::string& programPath, const std::string& dataHome);

// Writes through a temporary file and a rename, creating the folders; false
// with a message when it could not.
bool WriteFileReplacing(const std::string& path, const std::string& content, std::string& error);

// The Windows keys under the user's classes root: key, default value.
std::vector<std::pair<std::string, std::string>> RegistryAssociation(const std::string& ext,
                                                                     const std::string& exe);
