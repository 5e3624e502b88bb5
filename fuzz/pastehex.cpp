// The paste-hex tokenizer, the find patterns and the private clipboard format,
// pasted into a small buffer with a selection the input chooses.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/findreplace.h"
#include "editor/pastehex.h"
#include "editor/xhexedit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::vector<uint8_t> bytes;
  ParsePasteHex(text, bytes);
  std::string pattern;
  ParseFindBarHex(text, pattern);
  ParseDialogHex(text, pattern);

  TXHexEdit e;
  e.NewData("fuzz", 7);
  e.SetSelection(data[0] & 1, static_cast<int8_t>(data[1]) % 12, static_cast<int8_t>(data[0]) % 12);
  e.SetCaretOffset(data[1] % 9);
  e.PasteHex(text);
  e.Undo();

  TClipboardData clip;
  clip.HasHexText = true;
  clip.HexText.assign(data + 2, data + size);
  e.PasteFromClipboard(clip);
  e.Undo();
  e.Redo();
  return 0;
}
