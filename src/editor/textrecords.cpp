#include "editor/textrecords.h"

namespace textrecords {

TLineReader::TLineReader(std::string_view text)
    : Buf(text.data()), End(text.size()), LfAt(None), CrAt(None) {
  SkipMark();
}

TLineReader::TLineReader(std::istream& file, size_t chunkSize)
    : File(&file), Owned(std::max<size_t>(chunkSize, 1)), Eof(false), LfAt(None), CrAt(None) {
  Buf = Owned.data();
  Refill();
  SkipMark();
}

void TLineReader::SkipMark() {
  while (End - Begin < 3 && !Eof && Refill()) {
  }
  if (End - Begin >= 3 && std::memcmp(Buf + Begin, "\xEF\xBB\xBF", 3) == 0) Begin += 3;
}

bool TLineReader::Rewind() {
  LfAt = CrAt = None;
  LfScanned = CrScanned = 0;
  Begin = 0;
  if (File) {
    File->clear();
    File->seekg(0);
    End = 0;
    Eof = false;
    if (!*File) {
      ReadError = true;
      return false;
    }
    Refill();
  }
  SkipMark();
  return !ReadError;
}

// The next c at or after Begin, remembering where it was (or how far it was
// not) so that no byte is searched twice.
size_t TLineReader::Find(char c, size_t& cached, size_t& scanned) {
  if (cached != None && cached >= Begin) return cached;
  const size_t from = std::max(scanned, Begin);
  const void* hit = from < End ? std::memchr(Buf + from, c, End - from) : nullptr;
  if (hit) {
    cached = static_cast<size_t>(static_cast<const char*>(hit) - Buf);
    return cached;
  }
  cached = None;
  scanned = End;
  return None;
}

bool TLineReader::Refill() {
  if (!File || Eof) return false;
  // Keep the unfinished line at the front; grow when it fills the buffer.
  if (Begin > 0) {
    std::memmove(Owned.data(), Owned.data() + Begin, End - Begin);
    End -= Begin;
    if (LfAt != None) LfAt -= Begin;
    if (CrAt != None) CrAt -= Begin;
    LfScanned = LfScanned > Begin ? LfScanned - Begin : 0;
    CrScanned = CrScanned > Begin ? CrScanned - Begin : 0;
    Begin = 0;
  }
  if (End == Owned.size()) Owned.resize(Owned.size() * 2 + 1);
  Buf = Owned.data();
  File->read(Owned.data() + End, static_cast<std::streamsize>(Owned.size() - End));
  const auto got = static_cast<size_t>(File->gcount());
  End += got;
  if (File->bad()) ReadError = true;
  if (got == 0 || File->eof() || ReadError) Eof = true;
  return got > 0;
}

bool TLineReader::Next(std::string_view& line) {
  for (;;) {
    const size_t lf = Find('\n', LfAt, LfScanned);
    const size_t cr = Find('\r', CrAt, CrScanned);
    const size_t q = std::min(lf, cr);
    if (q != None) {
      // A CR at the end of the chunk may be the first half of CR LF.
      if (Buf[q] == '\r' && q + 1 == End && !Eof) {
        Refill();
        continue;
      }
      line = std::string_view(Buf + Begin, q - Begin);
      Begin = q + 1;
      if (Buf[q] == '\r' && Begin < End && Buf[Begin] == '\n') ++Begin;
      return true;
    }
    if (Eof) {
      if (Begin >= End) return false;
      line = std::string_view(Buf + Begin, End - Begin);
      Begin = End;
      return true;
    }
    Refill();
  }
}

} // namespace textrecords
