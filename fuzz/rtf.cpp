// The RTF reader on arbitrary bytes, and the writer's output read back: after
// one pass through the writer a document must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/checkforupdate.h"
#include "shell/rtfreader.h"
#include "shell/rtfwriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  TRichDocument first = TRtfReader::Read(text);
  TRichDocument second = TRtfReader::Read(TRtfWriter::Write(first));
  TRichDocument third = TRtfReader::Read(TRtfWriter::Write(second));
  if (!(second == third)) std::abort();
  // The update file's parser sees the same bytes.
  TUpdateCheck check(TFileInfo{"kvsp", {1, 1, 0, 0}, "", "https://x.example/u.txt"});
  check.Start();
  check.Finish(true, text);
  return 0;
}
