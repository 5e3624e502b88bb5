#include "shell/checkforupdate.h"

#include <algorithm>
#include <cctype>

static std::string Trim(const std::string& s) {
  auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  auto b = std::find_if_not(s.begin(), s.end(), blank);
  auto e = std::find_if_not(s.rbegin(), s.rend(), blank).base();
  return b < e ? std::string(b, e) : std::string();
}

static std::string Lower(std::string s) {
  for (auto& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string TextBetween(const std::string& text, const std::string& openTag,
                        const std::string& closeTag) {
  auto open = text.find(openTag);
  if (open == std::string::npos) return {};
  auto start = open + openTag.size();
  // A closing tag before the opening one does not end this entry.
  auto close = text.find(closeTag, start);
  if (close == std::string::npos) return {};
  return text.substr(start, close - start);
}

std::optional<TVersion> ParseVersion(const std::string& text) {
  std::string t = Trim(text);
  TVersion v{};
  std::size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= t.size() || t[pos] != '.') return std::nullopt;
      ++pos;
    }
    std::size_t start = pos;
    std::uint64_t n = 0;
    while (pos < t.size() && std::isdigit(static_cast<unsigned char>(t[pos]))) {
      n = n * 10 + static_cast<unsigned>(t[pos++] - '0');
      if (n > 0xFFFFFFFFULL) return std::nullopt;
    }
    if (pos == start) return std::nullopt;
    v[i] = static_cast<std::uint32_t>(n);
  }
  if (pos != t.size()) return std::nullopt;
  return v;
}

bool IsNewer(const TVersion& candidate, const TVersion& running) {
  return std::lexicographical_compare(running.begin(), running.end(), candidate.begin(),
                                      candidate.end());
}

std::string VersionLine(const TFileInfo& info) {
  const auto& v = info.Version;
  return "v" + std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) +
         "." + std::to_string(v[3]) + ", Release Date: " + info.Date;
}

bool IsWebAddress(const std::string& url) {
  std::string lower = Lower(url);
  std::size_t rest;
  if (lower.rfind("http://", 0) == 0)
    rest = 7;
  else if (lower.rfind("https://", 0) == 0)
    rest = 8;
  else
    return false;
  if (rest >= url.size() || url[rest] == '/') return false; // no host
  // Blanks and control characters have no place in an address we hand on.
  return std::none_of(url.begin(), url.end(), [](unsigned char c) { return c <= ' ' || c == 127; });
}

bool TUpdateCheck::Start() {
  Text.clear();
  Server = TFileInfo();
  Result = ucNone;
  Text.push_back("Connecting to update server...");
  if (!IsWebAddress(Running.Url)) {
    Fail();
    return false;
  }
  return true;
}

TUpdateCheck::TOutcome TUpdateCheck::Fail() {
  if (Text.empty()) Text.emplace_back();
  Text.back() += " Failed";
  Text.push_back("Try again later");
  return Result = ucFailed;
}

TUpdateCheck::TOutcome TUpdateCheck::Finish(bool fetched, const std::string& body) {
  if (!fetched) return Fail();
  Text.back() += " OK";
  Text.push_back("Current Version:");
  Text.push_back(VersionLine(Running));

  std::string key = Lower(Running.Key);
  std::string entry = TextBetween(body, "[" + key + "]", "[/" + key + "]");
  std::string verText = TextBetween(entry, "<ver>", "</ver>");
  // An entry without a version has nothing to compare.
  if (entry.empty() || Trim(verText).empty()) {
    Text.push_back("Can't Find Update Information");
    return Result = ucNoInformation;
  }
  auto version = ParseVersion(verText);
  if (!version) return Fail();
  Server.Key = Running.Key;
  Server.Version = *version;
  Server.Date = Trim(TextBetween(entry, "<date>", "</date>"));
  Server.Url = Trim(TextBetween(entry, "<url>", "</url>"));

  if (IsNewer(Server.Version, Running.Version)) {
    Text.push_back("New Version:");
    Text.push_back(VersionLine(Server));
    return Result = ucNewVersion;
  }
  Text.push_back("Your Korvane Device Programmer software is up to date");
  return Result = ucUpToDate;
}
