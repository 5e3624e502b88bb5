#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// major, minor, release, build
using TVersion = std::array<std::uint32_t, 4>;

// One version description: the running program's, or a product entry of the
// update file.
struct TFileInfo {
  std::string Key = "kvsp";
  TVersion Version{0, 0, 0, 0};
  std::string Date;
  std::string Url; // the update file's address, or an entry's download address
};

// The text from just after the first opening tag to just before the first
// closing tag that follows it; empty when either is missing.
std::string TextBetween(const std::string& text, const std::string& openTag,
                        const std::string& closeTag);
// Exactly four decimal numbers separated by "."; surrounding blanks allowed.
std::optional<TVersion> ParseVersion(const std::string& text);
// Compared in order, major first: 1.2.0.0 is newer than 1.1.5.0, not older.
bool IsNewer(const TVersion& candidate, const TVersion& running);
// "v1.1.0.0, Release Date: <date>"
std::string VersionLine(const TFileInfo& info);
// Only http:// and https:// addresses with a host are ever opened or fetched.
bool IsWebAddress(const std::string& url);

// The check's steps and the lines of its window. The GUI fetches the file
// between Start and Finish, and opens NewVersion.Url only after the user agrees.
class TUpdateCheck {
public:
  enum TOutcome { ucNone, ucFailed, ucNoInformation, ucUpToDate, ucNewVersion };

  explicit TUpdateCheck(TFileInfo running) : Running(std::move(running)) {}

  // Clears the lines and says it connects; false (after a failure line) when
  // the configured address is not a web address, so nothing is fetched.
  bool Start();
  // The outcome of the GET: the body when it succeeded.
  TOutcome Finish(bool fetched, const std::string& body);

  const TFileInfo& Program() const { return Running; }
  const std::vector<std::string>& Lines() const { return Text; }
  const TFileInfo& NewVersion() const { return Server; }
  TOutcome Outcome() const { return Result; }

private:
  TOutcome Fail();
  TFileInfo Running;
  TFileInfo Server;
  std::vector<std::string> Text;
  TOutcome Result = ucNone;
};
