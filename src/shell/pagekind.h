#pragma once

#include <string>

// The kinds of page the tab area holds, and which kind opens a file.
enum class TPageKind { Programmer, Text, Image, Script, Scope };

constexpr int PageKindCount = 5;

// What opening a file does, decided from its extension and the active page.
enum class TOpenStep {
  Ignore,      // ".ltf", ".kvp": nothing opens, nothing is said
  NewPage,     // a new page of Kind
  ReuseActive, // the active programmer page opens it
};

struct TOpenDecision {
  TOpenStep Step = TOpenStep::Ignore;
  TPageKind Kind = TPageKind::Programmer;
};

// The extension of a path with its dot, lower-cased ("" when none). A dot in a
// folder name is not an extension.
std::string LowerExtension(const std::string& path);

// The page kind named for an extension; Programmer for any extension not listed.
TPageKind PageKindForExtension(const std::string& lowerExtension);
bool IsIgnoredExtension(const std::string& lowerExtension);

// hasActive/activeKind describe the page on the active tab.
TOpenDecision DecideOpen(const std::string& path, bool hasActive, TPageKind activeKind,
                         bool openFileInSamePage);

// The New command's caption for a kind ("&Programmer" ...) and a plain name.
const char* PageKindName(TPageKind kind);
