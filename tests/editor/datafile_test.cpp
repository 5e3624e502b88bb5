#include <gtest/gtest.h>

#include "support/tempdir.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "editor/binfile.h"
#include "editor/datafile.h"
#include "editor/delphifmt.h"
#include "editor/xhexedit.h"
#include "support/recorderservices.h"

namespace fs = std::filesystem;

namespace {

using TBytes = std::vector<uint8_t>;

const std::string Fixtures = std::string(KV_TEST_DATA) + "/editor/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string Contents(const TXHexEdit& e) {
  return std::string(reinterpret_cast<const char*>(e.Data()), static_cast<size_t>(e.DataSize()));
}

// A fresh directory per test.
std::string TempDir(const std::string& name) {
  fs::path dir = TestTempPath("datafile_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string() + "/";
}

// A record with a correct checksum: Intel HEX (':') or S-record ('S').
std::string HexRecord(int type, int address, const TBytes& data) {
  int sum = static_cast<int>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  std::string s = Format(":%2.2x%4.4x%2.2x", {static_cast<int>(data.size()), address, type});
  for (uint8_t b : data) {
    s += Format("%2.2x", {b});
    sum += b;
  }
  return s + Format("%2.2x", {(0x100 - (sum & 0xFF)) & 0xFF}) + "\n";
}

std::string SRecord(int type, int addressBytes, uint32_t address, const TBytes& data) {
  int count = addressBytes + static_cast<int>(data.size()) + 1;
  int sum = count;
  std::string s = Format("S%d%2.2x", {type, count});
  for (int i = addressBytes - 1; i >= 0; --i) {
    int b = static_cast<int>((address >> (8 * i)) & 0xFF);
    s += Format("%2.2x", {b});
    sum += b;
  }
  for (uint8_t b : data) {
    s += Format("%2.2x", {b});
    sum += b;
  }
  return s + Format("%2.2x", {~sum & 0xFF}) + "\n";
}

// ---------------------------------------------------------------- files made by the real tools

TEST(DataFiles, ReadWhatObjcopyAndSrecCatWrite) {
  struct {
    const char* File;
    uint32_t Base; // the lowest address in the file
    TDataFormat Format;
  } const cases[] = {
      {"objcopy.hex", 0, dfIntelHex},  {"objcopy_offset.hex", 0xFFC0, dfIntelHex},
      {"objcopy.s37", 0, dfSRecord},   {"objcopy_offset.s28", 0x1FF80, dfSRecord},
      {"srec_cat.hex", 0, dfIntelHex}, {"srec_cat_offset.hex", 0x2FFF0, dfIntelHex},
      {"srec_cat.s19", 0, dfSRecord},  {"srec_cat_offset.mot", 0x123456, dfSRecord},
  };
  const std::string image = ReadFile(Fixtures + "image.bin");
  ASSERT_EQ(image.size(), 600u);
  for (const auto& c : cases) {
    const std::string path = Fixtures + c.File;
    const std::string expected = ReadFile(path + ".bin"); // the tool's own binary output
    ASSERT_EQ(expected, image) << c.File;
    TXHexEdit e;
    TLoadResult r = LoadDataFile(path, e);
    ASSERT_EQ(r.Status, TLoadStatus::Loaded) << c.File << ": " << r.Message;
    EXPECT_EQ(r.Format, c.Format) << c.File;
    ASSERT_EQ(e.DataSize(), static_cast<int32_t>(c.Base + expected.size())) << c.File;
    EXPECT_EQ(Contents(e).substr(c.Base), expected) << c.File;
    EXPECT_EQ(Contents(e).find_first_not_of('\0'), c.Base) << c.File << ": buffer starts at 0";
    EXPECT_EQ(e.FileName(), path);
    EXPECT_FALSE(e.Modified());
  }
  for (const char* file : {"objcopy.hex", "objcopy.s37"}) {
    TXHexEdit e;
    ASSERT_EQ(LoadDataFile(Fixtures + file, e).Status, TLoadStatus::Loaded);
    EXPECT_EQ(Contents(e), ReadFile(Fixtures + file + ".objcopy.bin")) << file;
  }
}

// ---------------------------------------------------------------- variants

enum TOutcome { Same, Raw, ConvError, Large, Custom };

struct TVariant {
  const char* Name;
  const char* Fixture;
  std::function<std::string(std::string)> Change;
  TOutcome Outcome;
  std::string Message = {};                      // ConvError: the message
  std::function<void(std::string&)> Expect = {}; // Custom: the image the change implies
};

std::string EveryLine(std::string text, const std::function<std::string(std::string)>& f) {
  std::string out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    out += f(line) + "\n";
  return out;
}

std::string InsertAfterLine(std::string text, int line, const std::string& what) {
  size_t at = 0;
  for (int i = 0; i < line; ++i)
    at = text.find('\n', at) + 1;
  return text.substr(0, at) + what + text.substr(at);
}

TEST(DataFiles, Variants) {
  const std::string image = ReadFile(Fixtures + "image.bin");
  const std::string cap =
      HexRecord(4, 0, {0x10, 0x00}) + HexRecord(0, 0, {1}); // 10000000h: 256 MiB
  const TVariant variants[] = {
      {"lower-case hex", "srec_cat.hex",
       [](std::string t) {
         for (auto& c : t)
           c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         return t;
       },
       Same},
      {"lower-case S-records", "objcopy.s37",
       [](std::string t) {
         return EveryLine(t, [](std::string l) {
           for (size_t i = 1; i < l.size(); ++i)
             l[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(l[i])));
           return l;
         });
       },
       Same},
      {"CRLF (srec_cat writes LF)", "srec_cat.hex",
       [](std::string t) { return EveryLine(t, [](std::string l) { return l + "\r"; }); }, Same},
      {"LF (objcopy writes CRLF)", "objcopy.s37",
       [](std::string t) {
         std::erase(t, '\r');
         return t;
       },
       Same},
      {"CR only", "srec_cat.s19",
       [](std::string t) {
         for (auto& c : t)
           if (c == '\n') c = '\r';
         return t;
       },
       Same},
      {"UTF-8 BOM", "objcopy.s37", [](std::string t) { return "\xEF\xBB\xBF" + t; }, Same},
      {"empty lines", "srec_cat.hex",
       [](std::string t) { return InsertAfterLine(InsertAfterLine(t, 3, "\n"), 1, "\r\n"); }, Same},
      {"no final line break", "objcopy.hex",
       [](std::string t) { return t.substr(0, t.size() - 1); }, Same},
      {"bad checksum", "objcopy.hex",
       [](std::string t) {
         size_t eol = t.find('\n', t.find('\n') + 1);
         t[eol - 1] = t[eol - 1] == '0' ? '1' : '0';
         return t;
       },
       Raw},
      {"bad S-record checksum", "srec_cat.s19",
       [](std::string t) {
         size_t eol = t.find('\n', t.find('\n') + 1);
         t[eol - 1] = t[eol - 1] == '0' ? '1' : '0';
         return t;
       },
       Raw},
      {"record type above 05", "objcopy.hex", [](std::string t) { return HexRecord(6, 0, {}) + t; },
       Raw},
      {"S4 record", "srec_cat.s19", [](std::string t) { return t + SRecord(4, 2, 0, {}); }, Raw},
      {"S-record type not a digit", "srec_cat.s19",
       [](std::string t) { return t + "SX030000FC\n"; }, Raw},
      {"count shorter than the address", "srec_cat.s19",
       [](std::string t) { return t + "S2030000FC\n"; }, Raw},
      {"first character", "objcopy.hex", [](std::string t) { return t + " :00000001FF\n"; }, Raw},
      {"trailing blank", "objcopy.hex",
       [](std::string t) {
         const size_t eol = t.find_first_of("\r\n");
         return t.substr(0, eol) + " " + t.substr(eol);
       },
       ConvError, "'$8 ' is not a valid integer value"},
      {"line too short", "objcopy.hex", [](std::string t) { return ":01\n" + t; }, ConvError,
       "'$' is not a valid integer value"},
      {"data field not hex", "srec_cat.s19", [](std::string t) { return t + "S1050000zz00FA\n"; },
       ConvError, "'$zz' is not a valid integer value"},
      {"S5 and S6 record counts", "objcopy.s37",
       [](std::string t) { return t + SRecord(5, 2, 38, {}) + SRecord(6, 3, 38, {}); }, Same},
      {"data after the end record", "objcopy.hex",
       [](std::string t) { return t + HexRecord(0, 600, {0xAB}); }, Custom, "",
       [](std::string& img) { img += '\xAB'; }},
      {"overlapping records: the later wins", "srec_cat.hex",
       [](std::string t) {
         return t + HexRecord(0, 1, {0xAA, 0xBB});
       },
       Custom, "",
       [](std::string& img) {
         img[1] = '\xAA';
         img[2] = '\xBB';
       }},
      {"S1 after S3 keeps its own address", "objcopy.s37",
       [](std::string t) { return t + SRecord(3, 4, 0x10, {0x5B}) + SRecord(1, 2, 3, {0xCD}); },
       Custom, "", [](std::string& img) { img[3] = '\xCD'; }},
      {"extent over the cap", "objcopy.hex", [cap](std::string t) { return t + cap; }, Large},
  };
  const std::string dir = TempDir("variants");
  for (const auto& v : variants) {
    const std::string original = ReadFile(Fixtures + v.Fixture);
    const std::string text = v.Change(original);
    const std::string path = dir + "variant" + fs::path(v.Fixture).extension().string();
    WriteFile(path, text);
    TXHexEdit e;
    e.NewData("previous", 2);
    std::memcpy(e.Data(), "old", 3);
    TLoadResult r = LoadDataFile(path, e);
    switch (v.Outcome) {
    case Same:
    case Custom: {
      std::string expected = image;
      if (v.Expect) v.Expect(expected);
      ASSERT_EQ(r.Status, TLoadStatus::Loaded) << v.Name << ": " << r.Message;
      EXPECT_NE(r.Format, dfBinary) << v.Name;
      EXPECT_EQ(Contents(e), expected) << v.Name;
      break;
    }
    case Raw:
      ASSERT_EQ(r.Status, TLoadStatus::Loaded) << v.Name;
      EXPECT_EQ(r.Format, dfBinary) << v.Name;
      EXPECT_EQ(Contents(e), text) << v.Name << ": the text itself";
      break;
    case ConvError:
    case Large:
      EXPECT_EQ(r.Status, v.Outcome == Large ? TLoadStatus::TooLarge : TLoadStatus::ConversionError)
          << v.Name;
      if (v.Outcome == ConvError) {
        EXPECT_EQ(r.Message, v.Message) << v.Name;
      }
      EXPECT_FALSE(r.Message.empty()) << v.Name;
      EXPECT_EQ(Contents(e), "old") << v.Name << ": nothing of the file is stored";
      EXPECT_EQ(e.FileName(), "previous") << v.Name;
      EXPECT_LE(e.Capacity(), 1 << 20) << v.Name << ": nothing allocated";
      break;
    }
  }
}

TEST(DataFiles, RecordsWithoutData) {
  struct {
    const char* Name;
    std::string Text;
    bool Hex;
    std::string Expected;
  } const cases[] = {
      {"end record only", ":00000001FF\n", true, ""},
      {"start linear address", ":0400000500000000F7\n", true, ""},
      {"S7 end record", "S70500000000FA\n", false, ""},
      {"linear base 1", ":020000040001F9\n:0100000055AA\n", true,
       std::string(0x10000, '\0') + "\x55"},
      {"segment base 1000h", ":020000021000EC\n:0100000055AA\n", true,
       std::string(0x10000, '\0') + "\x55"},
      {"the base survives the end record", ":020000040001F9\n:00000001FF\n:0100000055AA\n", true,
       std::string(0x10000, '\0') + "\x55"},
  };
  for (const auto& c : cases) {
    TXHexEdit e;
    TLoadResult r = c.Hex ? LoadIntelHex(c.Text, "x", e) : LoadSRecords(c.Text, "x", e);
    ASSERT_EQ(r.Status, TLoadStatus::Loaded) << c.Name << ": " << r.Message;
    EXPECT_EQ(Contents(e), c.Expected) << c.Name;
  }
}

TEST(DataFiles, DataBehindAHighLinearAddressStartAtOffsetZero) {
  TXHexEdit e;
  const std::string text = HexRecord(4, 0, {0x08, 0x00}) + HexRecord(0, 0, {1, 2});
  ASSERT_EQ(LoadIntelHex(text, "x", e).Status, TLoadStatus::Loaded);
  EXPECT_EQ(e.DataSize(), 0x08000002);
  EXPECT_EQ(e.GetByte(0x08000001), 2);
}

TEST(DataFiles, ExtentsBeyond32BitsAreRefused) {
  TXHexEdit e;
  const std::string text = SRecord(3, 4, 0xFFFFFFFF, {1, 2, 3});
  TLoadResult r = LoadSRecords(text, "x", e);
  EXPECT_EQ(r.Status, TLoadStatus::TooLarge);
  EXPECT_EQ(e.DataSize(), 0);
}

TEST(DataFiles, ExtensionChoosesTheReader) {
  struct {
    const char* Path;
    TDataFormat Format;
  } const cases[] = {{"a.hex", dfIntelHex}, {"A.HEX", dfIntelHex},   {"a.s19", dfSRecord},
                     {"a.S28", dfSRecord},  {"a.s37", dfSRecord},    {"dir.hex/a.mot", dfSRecord},
                     {"a.bin", dfBinary},   {"a.hex.bin", dfBinary}, {"noext", dfBinary}};
  for (const auto& c : cases)
    EXPECT_EQ(FormatFromExtension(c.Path), c.Format) << c.Path;
}

TEST(DataFiles, MissingFileIsAnIoError) {
  TXHexEdit e;
  e.NewData("keep", 0);
  TLoadResult r = LoadDataFile(Fixtures + "no-such-file.hex", e);
  EXPECT_EQ(r.Status, TLoadStatus::IoError);
  EXPECT_FALSE(r.Message.empty());
  EXPECT_EQ(e.FileName(), "keep");
  EXPECT_FALSE(e.LoadFromFile(Fixtures + "no-such-file.bin"));
  EXPECT_FALSE(e.LoadFromFile(Fixtures));
}

TEST(DataFiles, RawBinaryLoadDropsTheRecords) {
  // A HEX file loaded as raw binary (as a dropped file is) shows its text.
  TXHexEdit e;
  ASSERT_TRUE(e.LoadFromFile(Fixtures + "objcopy.hex"));
  EXPECT_EQ(Contents(e), ReadFile(Fixtures + "objcopy.hex"));
  EXPECT_EQ(e.CaretOffset(), 0);
  EXPECT_FALSE(e.Modified());
}

// ---------------------------------------------------------------- writers

TEST(DataFiles, WritersRoundTrip) {
  const size_t sizes[] = {0, 1, 16, 17, 0xFFFF, 0x10000, 0x10001, 0x2345F, 0x1000001};
  TBytes data(0x1000001);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  for (size_t size : sizes) {
    const std::string hex = FormatIntelHex(data.data(), size);
    const std::string srec = FormatSRecords(data.data(), size, "name.s19");
    const std::string expected(reinterpret_cast<const char*>(data.data()), size);
    TXHexEdit e;
    ASSERT_EQ(LoadIntelHex(hex, "x", e).Status, TLoadStatus::Loaded) << size;
    EXPECT_TRUE(Contents(e) == expected) << "Intel HEX, " << size << " bytes";
    ASSERT_EQ(LoadSRecords(srec, "x", e).Status, TLoadStatus::Loaded) << size;
    EXPECT_TRUE(Contents(e) == expected) << "S-records, " << size << " bytes";
    const char* dataType = size <= 0x10000 ? "\nS1" : size <= 0x1000000 ? "\nS2" : "\nS3";
    const char* endType = size <= 0x10000 ? "\nS9" : size <= 0x1000000 ? "\nS8" : "\nS7";
    EXPECT_EQ(srec.rfind("S0", 0), 0u) << size;
    if (size) {
      EXPECT_NE(srec.find(dataType), std::string::npos) << size;
    }
    EXPECT_NE(srec.find(endType), std::string::npos) << size;
    EXPECT_EQ(hex.substr(hex.size() - 13), ":00000001FF\r\n") << size;
    EXPECT_EQ(hex.find(":02000004") != std::string::npos, size > 0x10000) << size;
  }
}

TEST(DataFiles, SrecCatReadsWhatWeWrite) {
  if (std::system("srec_cat --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no srec_cat";
  const std::string dir = TempDir("srec_cat");
  TBytes data(0x18000);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<uint8_t>(i * 13 + 5);
  struct {
    const char* File;
    const char* ToolFormat;
  } const cases[] = {{"ours.hex", "-intel"}, {"ours.s28", "-motorola"}};
  for (const auto& c : cases) {
    std::string error;
    ASSERT_TRUE(
        SaveDataFile(dir + c.File, data.data(), data.size(), FormatFromExtension(c.File), error))
        << error;
    const std::string cmd =
        "srec_cat " + dir + c.File + " " + c.ToolFormat + " -o " + dir + c.File + ".bin -binary";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    EXPECT_TRUE(ReadFile(dir + c.File + ".bin") ==
                std::string(reinterpret_cast<const char*>(data.data()), data.size()))
        << c.File;
  }
}

// ---------------------------------------------------------------- saving

struct TSaveFixture : ::testing::Test {
  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  std::string Dir = TempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());

  static void Put(TXHexEdit& e, const std::string& name, std::string_view bytes) {
    e.NewData(name, static_cast<int32_t>(bytes.size()) - 1);
    std::memcpy(e.Data(), bytes.data(), bytes.size());
  }
  size_t FilesIn() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
  }
};

TEST_F(TSaveFixture, SaveKeepsThePreviousFileAsBackup) {
  WriteFile(Dir + "doc.bin", "first");
  WriteFile(Dir + "doc.bak", "older");
  TXHexEdit e;
  Put(e, Dir + "doc.bin", "second");
  e.SetModified(true);
  ASSERT_TRUE(e.SaveToFile());
  EXPECT_EQ(ReadFile(Dir + "doc.bin"), "second");
  EXPECT_EQ(ReadFile(Dir + "doc.bak"), "first");
  EXPECT_FALSE(e.Modified());
  EXPECT_EQ(FilesIn(), 2u) << "no temporary file left behind";
  e.BackupFile = false;
  Put(e, Dir + "doc.bin", "third");
  ASSERT_TRUE(e.SaveToFile());
  EXPECT_EQ(ReadFile(Dir + "doc.bak"), "first");
  EXPECT_TRUE(Rec.Boxes.empty());
}

TEST_F(TSaveFixture, ADocumentNamedLikeItsBackupIsNotDeleted) {
  WriteFile(Dir + "doc.bak", "old");
  TXHexEdit e;
  Put(e, Dir + "doc.bak", "new");
  ASSERT_TRUE(e.SaveToFile());
  EXPECT_EQ(ReadFile(Dir + "doc.bak"), "new");
  EXPECT_EQ(FilesIn(), 1u);
}

TEST_F(TSaveFixture, AFailedSaveChangesNothing) {
  WriteFile(Dir + "doc.bin", "content");
  WriteFile(Dir + "doc.bak", "backup");
  struct {
    const char* Name;
    std::string FileName;
    std::function<void()> Break;
  } const cases[] = {
      {"folder of the file is gone", Dir + "gone/doc.bin", [] {}},
      {"backup cannot be replaced", Dir + "doc.bin",
       [&] {
         fs::remove(Dir + "doc.bak");
         fs::create_directory(Dir + "doc.bak");
         WriteFile(Dir + "doc.bak/inside", "x");
       }},
  };
  for (const auto& c : cases) {
    c.Break();
    Rec.Reset();
    TXHexEdit e;
    Put(e, c.FileName, "changed");
    e.SetModified(true);
    e.PasteHex("41"); // one step in the history
    EXPECT_FALSE(e.SaveToFile()) << c.Name;
    EXPECT_EQ(Rec.Boxes, (std::vector<std::string>{"Warning|I/O Error"})) << c.Name;
    EXPECT_TRUE(e.Modified()) << c.Name;
    EXPECT_TRUE(e.CanUndo()) << c.Name;
    EXPECT_EQ(e.FileName(), c.FileName) << c.Name;
    EXPECT_EQ(ReadFile(Dir + "doc.bin"), "content") << c.Name;
  }
  EXPECT_EQ(FilesIn(), 2u) << "no temporary file left behind";
}

TEST_F(TSaveFixture, SaveAsAsksBeforeOverwriting) {
  WriteFile(Dir + "other.hex", "keep");
  TXHexEdit e;
  Put(e, Dir + "doc.bin", "raw bytes");
  Rec.Answers = {TAnswer::No, TAnswer::Yes};
  EXPECT_FALSE(e.SaveToFile(Dir + "other.hex"));
  EXPECT_EQ(ReadFile(Dir + "other.hex"), "keep");
  EXPECT_TRUE(e.SaveToFile(Dir + "other.hex"));
  EXPECT_EQ(ReadFile(Dir + "other.hex"), "raw bytes") << "raw bytes whatever the extension";
  EXPECT_EQ(e.FileName(), Dir + "other.hex");
  EXPECT_FALSE(fs::exists(Dir + "other.bak")) << "Save As makes no backup";
  EXPECT_EQ(Rec.Boxes, (std::vector<std::string>{"Warning|File Exists. Overwrite?",
                                                 "Warning|File Exists. Overwrite?"}));
  TXHexEdit reopened; // an unparsable .hex falls back to the raw reader
  ASSERT_EQ(LoadDataFile(Dir + "other.hex", reopened).Status, TLoadStatus::Loaded);
  EXPECT_EQ(Contents(reopened), "raw bytes");
}

TEST_F(TSaveFixture, QuerySave) {
  struct {
    const char* Name;
    std::string FileName;
    bool Modified;
    std::vector<TAnswer> Answers;
    std::string DialogAnswer;
    bool Result;
    bool Saved;
  } const cases[] = {
      {"unmodified: no question", "doc.bin", false, {}, "", true, false},
      {"No", "doc.bin", true, {TAnswer::No}, "", true, false},
      {"Cancel", "doc.bin", true, {TAnswer::Cancel}, "", false, false},
      {"Yes saves under the name", "doc.bin", true, {TAnswer::Yes}, "", true, true},
      {"Yes, Untitled, a name chosen", "Untitled", true, {TAnswer::Yes}, "doc.bin", true, true},
      {"Yes, Untitled, dialog cancelled keeps the document",
       "Untitled",
       true,
       {TAnswer::Yes},
       "",
       false,
       false},
      {"Yes but the save fails keeps the document",
       "gone/doc.bin",
       true,
       {TAnswer::Yes},
       "",
       false,
       false},
  };
  for (const auto& c : cases) {
    fs::remove(Dir + "doc.bin");
    Rec.Reset();
    Rec.Answers.assign(c.Answers.begin(), c.Answers.end());
    TXHexEdit e;
    Put(e, c.FileName == "Untitled" ? c.FileName : Dir + c.FileName, "data");
    e.SetModified(c.Modified);
    e.OnSaveDialog = [&] { return c.DialogAnswer.empty() ? "" : Dir + c.DialogAnswer; };
    const std::string question = "Warning|Save changes to " + e.FileName() + "?";
    EXPECT_EQ(e.QuerySave(), c.Result) << c.Name;
    EXPECT_EQ(fs::exists(Dir + "doc.bin"), c.Saved) << c.Name;
    if (c.Modified) {
      EXPECT_EQ(Rec.Boxes.at(0), question) << c.Name;
    }
  }
}

} // namespace
