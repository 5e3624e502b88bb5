#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/aboutlist.h"
#include "shell/fileassoc.h"

namespace {

TEST(FileAssociation, ExecArgumentIsQuotedAndEscaped) {
  struct Case {
    const char* Path;
    std::optional<std::string> Exec;
  } cases[] = {
      {"/usr/bin/kvprog", R"("/usr/bin/kvprog")"},
      {"/opt/My Tools/kvprog", R"("/opt/My Tools/kvprog")"},
      {"/o/a\"b", R"("/o/a\\"b")"},
      {"/o/$HOME`x`", R"("/o/\\$HOME\\`x\\`")"},
      {"/o/back\\slash", R"("/o/back\\\\slash")"},
      {"/o/100%", R"("/o/100%%")"},
      {"/o/new\nline", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DesktopExecArgument(c.Path), c.Exec) << c.Path;
}

TEST(FileAssociation, DataHome) {
  EXPECT_EQ(XdgDataHome("/x/data", "/home/u"), "/x/data");
  EXPECT_EQ(XdgDataHome("relative", "/home/u"), "/home/u/.local/share");
  EXPECT_EQ(XdgDataHome(nullptr, "/home/u"), "/home/u/.local/share");
}

TEST(FileAssociation, PlanWritesEntryAndOneXmlPerType) {
  auto plan = PlanFileAssociation({"hex", "kds"}, "/opt/k v/kvprog", "/home/u/.local/share");
  ASSERT_TRUE(plan.Error.empty());
  ASSERT_EQ(plan.Files.size(), 3u);
  EXPECT_EQ(plan.Files[0].first, "/home/u/.local/share/applications/kvprog.desktop");
  EXPECT_NE(plan.Files[0].second.find("Exec=\"/opt/k v/kvprog\" %f\n"), std::string::npos);
  EXPECT_NE(plan.Files[0].second.find("MimeType=application/x-kvprog-binary;"), std::string::npos);
  EXPECT_EQ(plan.Files[1].first, "/home/u/.local/share/mime/packages/kvprog-hex.xml");
  EXPECT_NE(plan.Files[1].second.find("<glob pattern=\"*.hex\"/>"), std::string::npos);
  EXPECT_EQ(plan.Files[2].second.find("*.hex"), std::string::npos);
  ASSERT_EQ(plan.Commands.size(), 3u);
  EXPECT_EQ(plan.Commands[2], (std::vector<std::string>{"xdg-mime", "default", "kvprog.desktop",
                                                        "application/x-kvprog-ihex",
                                                        "application/x-kvprog-devscript"}));
}

TEST(FileAssociation, BadInputPlansNothing) {
  struct Case {
    std::vector<std::string> Exts;
    const char* Program;
    const char* DataHome;
  } cases[] = {
      {{"hex", "exe"}, "/usr/bin/kvprog", "/home/u/.local/share"},
      {{"hex"}, "/usr/bin/kv\x01prog", "/home/u/.local/share"},
      {{"hex"}, "/usr/bin/kvprog", "relative/share"},
  };
  for (const auto& c : cases) {
    auto plan = PlanFileAssociation(c.Exts, c.Program, c.DataHome);
    EXPECT_FALSE(plan.Error.empty()) << c.Program;
    EXPECT_TRUE(plan.Files.empty());
    EXPECT_TRUE(plan.Commands.empty());
  }
  EXPECT_TRUE(PlanFileAssociation({}, "/usr/bin/kvprog", "/h").Files.empty());
}

TEST(FileAssociation, RegistryCommandQuotesTheProgram) {
  auto keys = RegistryAssociation("hex", "C:\\Program Files\\Korvane\\kvprog.exe");
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0], (std::pair<std::string, std::string>{".hex", "hexfile"}));
  EXPECT_EQ(keys[2].second, "\"C:\\Program Files\\Korvane\\kvprog.exe\",0");
  EXPECT_EQ(keys[3].first, "hexfile\\shell\\open\\command");
  EXPECT_EQ(keys[3].second, "\"C:\\Program Files\\Korvane\\kvprog.exe\" \"%1\"");
}

TEST(FileAssociation, WriteReplacesWholeFilesAndReportsFailure) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("kvassoc-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  std::string error;
  fs::path file = dir / "a" / "b.xml";
  ASSERT_TRUE(WriteFileReplacing(file.string(), "first", error)) << error;
  ASSERT_TRUE(WriteFileReplacing(file.string(), "2", error)) << error;
  std::ifstream in(file);
  std::string content((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(content, "2");
  EXPECT_FALSE(fs::exists(file.string() + ".tmp"));

  // A file where a folder should be: a message, nothing written.
  EXPECT_FALSE(WriteFileReplacing((file / "c.xml").string(), "x", error));
  EXPECT_FALSE(error.empty());
  fs::remove_all(dir);
}

TEST(AboutComponents, NameEqualsDescriptionLines) {
  TAboutComponents list;
  list.Add("Engine", "first");
  list.Add("Other", "a=b");
  list.Add("Engine", "second");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Engine=second", "Other=a=b"}));
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"Engine", "Other"}));
  EXPECT_EQ(list.Description("Other"), "a=b");
  EXPECT_EQ(list.Description("Eng"), "");
}

} // namespace

namespace {

std::string ReadPackagingFile(const std::string& name) {
  std::ifstream in(std::string(KV_TEST_DATA) + "/../../packaging/" + name);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The installed entry and MIME types must name the same types the Options
// dialog registers, or an installed program and a per-user one disagree.
TEST(Packaging, InstalledFilesNameTheAssociableTypes) {
  std::string desktop = ReadPackagingFile("kvprog.desktop");
  std::string xml = ReadPackagingFile("kvprog-mime.xml");
  ASSERT_FALSE(desktop.empty());
  std::vector<const TFileType*> all;
  for (const auto& t : AssociableFileTypes())
    all.push_back(&t);
  EXPECT_EQ(xml, MimeInfoText(all));
  EXPECT_EQ(desktop, DesktopEntryText("kvprog", "kvprog"));
}

} // namespace
