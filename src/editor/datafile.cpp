#include "editor/datafile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "editor/binfile.h"
#include "editor/textrecords.h"
#include "editor/xhexedit.h"

TDataFormat FormatFromExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".hex") return dfIntelHex;
  if (ext == ".s19" || ext == ".s28" || ext == ".s37" || ext == ".mot") return dfSRecord;
  return dfBinary;
}

const char* FormatName(TDataFormat format) {
  switch (format) {
  case dfIntelHex:
    return "Intel HEX";
  case dfSRecord:
    return "S-record";
  case dfBinary:
    break;
  }
  return "binary";
}

TLoadResult LoadBinary(std::string_view bytes, const std::string& name, TXHexEdit& editor) {
  TLoadResult result;
  if (bytes.size() > static_cast<size_t>(MaxDataFileSize)) {
    result.Status = TLoadStatus::TooLarge;
    result.Message = "'" + name + "' is larger than the " + std::to_string(MaxDataFileSize) +
                     " bytes a buffer may hold";
    return result;
  }
  editor.NewData(name, static_cast<int32_t>(bytes.size()) - 1);
  if (!bytes.empty()) std::memcpy(editor.Data(), bytes.data(), bytes.size());
  editor.RefreshView();
  return result;
}

TLoadResult LoadDataFile(const std::string& path, TXHexEdit& editor) {
  TLoadResult result;
  const TDataFormat format = FormatFromExtension(path);
  if (format != dfBinary) {
    // Text files are read in chunks, twice, never whole.
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
    if (!in) {
      result.Status = TLoadStatus::IoError;
      result.Message = "Cannot open '" + path + "'";
      return result;
    }
    textrecords::TLineReader lines(in);
    result = format == dfIntelHex ? textrecords::LoadIntelHexLines(lines, path, editor)
                                  : textrecords::LoadSRecordLines(lines, path, editor);
    if (result.Status != TLoadStatus::Invalid) return result;
  }
  TFileContents file;
  bool tooLarge = false;
  if (!ReadWholeFile(path, file, result.Message, &tooLarge)) {
    result.Status = tooLarge ? TLoadStatus::TooLarge : TLoadStatus::IoError;
    return result;
  }
  return LoadBinary(file.View(), path, editor);
}

bool SaveDataFile(const std::string& path, const uint8_t* data, size_t size, TDataFormat format,
                  std::string& error) {
  std::string text;
  switch (format) {
  case dfIntelHex:
    text = FormatIntelHex(data, size);
    break;
  case dfSRecord:
    text = FormatSRecords(data, size, std::filesystem::path(path).filename().string());
    break;
  case dfBinary:
    return WriteFileReplacing(path, data, size, "", error);
  }
  return WriteFileReplacing(path, text.data(), text.size(), "", error);
}
