#include "platform/ini_text.h"

#include "base/cp1251.h"
#include "platform/text.h"

namespace platform {

namespace {

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeMark[] = "\xFF\xFE";
constexpr char kUtf16BeMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* mark) { return bytes.rfind(mark, 0) == 0; }

bool HasByteOrderMark(const std::string& bytes) {
  return StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark);
}

bool IsProfileSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' || c == 0x1A;
}

bool IsUtf16(Encoding encoding) { return encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be; }

// UTF-16 code units to wide text; on systems with a 32-bit wchar_t a
// surrogate pair becomes one character.
std::wstring WideFromUnits(const std::u16string& units) {
  std::wstring out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t unit = units[i];
    bool pair = sizeof(wchar_t) == 4 && unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() &&
                units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
    if (pair) {
      out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
    } else {
      out += static_cast<wchar_t>(unit);
    }
  }
  return out;
}

std::u16string UnitsFromWide(const std::wstring& text) {
  std::u16string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    char32_t code = static_cast<char32_t>(c);
    if (code > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}

void AppendUtf16(std::string& out, const std::wstring& text, bool little_endian) {
  for (char16_t unit : UnitsFromWide(text)) {
    char low = static_cast<char>(unit & 0xFF);
    char high = static_cast<char>(unit >> 8);
    out += little_endian ? std::string{low, high} : std::string{high, low};
  }
}

// The file's bytes cut into lines at every CR and every LF, one line decoded
// at a time, so a large file costs its bytes and one line.
class LineReader {
 public:
  explicit LineReader(const std::string& bytes) : bytes_(bytes) {
    if (StartsWith(bytes, kUtf16LeMark)) {
      encoding_ = Encoding::kUtf16Le;
      pos_ = 2;
    } else if (StartsWith(bytes, kUtf16BeMark)) {
      encoding_ = Encoding::kUtf16Be;
      pos_ = 2;
    } else if (StartsWith(bytes, kUtf8Mark)) {
      encoding_ = Encoding::kUtf8;
      pos_ = 3;
    }
    // A UTF-16 file of an odd length ends in half a unit, which is not read.
    end_ = IsUtf16(encoding_) ? pos_ + (bytes.size() - pos_) / 2 * 2 : bytes.size();
  }

  Encoding encoding() const { return encoding_; }

  bool Next(std::wstring* line) {
    if (pos_ >= end_) return false;
    size_t stop = pos_;
    while (stop < end_ && Unit(stop) != u'\r' && Unit(stop) != u'\n') stop += UnitSize();
    *line = Decode(pos_, stop);
    pos_ = stop < end_ ? stop + UnitSize() : end_;
    return true;
  }

 private:
  size_t UnitSize() const { return IsUtf16(encoding_) ? 2 : 1; }

  char16_t Unit(size_t pos) const {
    auto byte = [this](size_t at) { return static_cast<unsigned char>(bytes_[at]); };
    switch (encoding_) {
      case Encoding::kUtf16Le: return static_cast<char16_t>(byte(pos) | byte(pos + 1) << 8);
      case Encoding::kUtf16Be: return static_cast<char16_t>(byte(pos) << 8 | byte(pos + 1));
      default: return byte(pos);
    }
  }

  std::wstring Decode(size_t from, size_t to) const {
    switch (encoding_) {
      case Encoding::kAnsi: return AnsiToWide(bytes_.substr(from, to - from));
      case Encoding::kUtf8: return Utf8ToWide(bytes_.substr(from, to - from));
      default: {
        std::u16string units;
        for (size_t at = from; at < to; at += 2) units += Unit(at);
        return WideFromUnits(units);
      }
    }
  }

  const std::string& bytes_;
  Encoding encoding_ = Encoding::kAnsi;
  size_t pos_ = 0;
  size_t end_ = 0;
};

// Lines written back in the file's own encoding, each ending in CR LF.
class LineWriter {
 public:
  explicit LineWriter(Encoding encoding) : encoding_(encoding) {
    switch (encoding) {
      case Encoding::kUtf8: out_ = kUtf8Mark; break;
      case Encoding::kUtf16Le: out_ = kUtf16LeMark; break;
      case Encoding::kUtf16Be: out_ = kUtf16BeMark; break;
      case Encoding::kAnsi: break;
    }
  }

  void Line(const std::wstring& text) {
    std::wstring line = text + L"\r\n";
    switch (encoding_) {
      case Encoding::kAnsi: out_ += WideToAnsi(line); break;
      case Encoding::kUtf8: out_ += WideToUtf8(line); break;
      default: AppendUtf16(out_, line, encoding_ == Encoding::kUtf16Le);
    }
  }

  std::string Take() { return std::move(out_); }

 private:
  Encoding encoding_;
  std::string out_;
};

// The part of a text before its first NUL: the profile functions keep names
// and values as C strings.
std::wstring CutAtNul(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

std::wstring TrimmedSpan(const std::wstring& text, size_t from, size_t to) {
  while (from < to && IsProfileSpace(text[from])) ++from;
  while (to > from && IsProfileSpace(text[to - 1])) --to;
  return text.substr(from, to - from);
}

// A section or key name asked for: white space on both sides does not count.
std::wstring QueryName(const std::wstring& text) {
  std::wstring name = CutAtNul(text);
  return TrimmedSpan(name, 0, name.size());
}

// A name or value as a write stores it: white space in front is dropped, white
// space behind is kept (until the next write reads it back).
std::wstring StoredText(const std::wstring& text) {
  std::wstring stored = CutAtNul(text);
  size_t first = 0;
  while (first < stored.size() && IsProfileSpace(stored[first])) ++first;
  return stored.substr(first);
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

struct Entry {
  enum class Kind { kNone, kSection, kKey } kind = Kind::kNone;
  std::wstring name;
  bool has_value = false;
  std::wstring value;
  bool nameless = false;  // a key line that starts with "=": not even a NUL before it
};

Entry ParseLine(const std::wstring& raw) {
  Entry entry;
  std::wstring line = TrimmedSpan(raw, 0, raw.size());
  if (line.empty()) return entry;
  size_t close = line.rfind(L']');
  if (line[0] == L'[' && close != std::wstring::npos && close > 0) {
    entry.kind = Entry::Kind::kSection;
    entry.name = CutAtNul(TrimmedSpan(line, 1, close));
    return entry;
  }
  entry.kind = Entry::Kind::kKey;
  size_t equals = line.find(L'=');
  std::wstring name = TrimmedSpan(line, 0, equals == std::wstring::npos ? line.size() : equals);
  entry.nameless = name.empty();
  entry.name = CutAtNul(name);
  if (equals != std::wstring::npos) {
    entry.has_value = true;
    entry.value = CutAtNul(TrimmedSpan(line, equals + 1, line.size()));
  }
  return entry;
}

// The sections and keys of a file in order, as the profile functions keep
// them. A "=value" line right after a key whose name is empty is dropped, as
// Windows drops it.
class EntryReader {
 public:
  explicit EntryReader(const std::string& bytes) : lines_(bytes) {}

  Encoding encoding() const { return lines_.encoding(); }

  bool Next(Entry* entry) {
    std::wstring line;
    while (lines_.Next(&line)) {
      *entry = ParseLine(line);
      if (entry->kind == Entry::Kind::kSection) {
        after_key_ = false;
        return true;
      }
      if (entry->kind != Entry::Kind::kKey) continue;
      if (entry->nameless && after_key_ && previous_name_empty_) continue;
      after_key_ = true;
      previous_name_empty_ = entry->name.empty();
      return true;
    }
    return false;
  }

 private:
  LineReader lines_;
  bool after_key_ = false;
  bool previous_name_empty_ = false;
};

// What a buffer of buffer_chars characters receives of a value: one pair of
// equal quotes around it stripped, cut to leave room for the NUL. Windows
// takes the closing quote off the copied text, so a quoted value cut by the
// buffer loses its last copied character instead.
std::wstring CopyEntry(const std::wstring& value, size_t buffer_chars) {
  std::wstring text = value;
  bool quoted = text.size() > 1 && (text[0] == L'"' || text[0] == L'\'') && text.back() == text[0];
  if (quoted) text.erase(0, 1);
  size_t length = text.size();
  if (text.size() > buffer_chars - 1) text.resize(buffer_chars - 1);
  if (quoted && buffer_chars >= length && !text.empty()) text.pop_back();
  return text;
}

bool IsCyrillicLetter(wchar_t c) { return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451; }

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// True when the text has a word of two or more Cyrillic letters with no Latin
// letter touching it. Read as code page 1252 such a word is nothing but
// accented letters ("Ìàðøðóò"), which Western languages do not write, while
// their own words in code page 1251 decode to Cyrillic letters mixed with
// Latin ones ("Größe" gives "GrцЯe").
bool HasCyrillicWord(const std::wstring& text) {
  size_t run = 0;
  bool latin_before = false;
  for (size_t i = 0; i <= text.size(); ++i) {
    wchar_t c = i < text.size() ? text[i] : L' ';
    if (IsCyrillicLetter(c)) {
      ++run;
      continue;
    }
    if (run >= 2 && !latin_before && !IsAsciiLetter(c)) return true;
    run = 0;
    latin_before = IsAsciiLetter(c);
  }
  return false;
}

// A file from a Russian system that the ANSI code page reads otherwise.
bool MisreadRussianFile(const std::string& bytes) {
  if (HasByteOrderMark(bytes)) return false;
  std::wstring russian = base::cp1251::Decode(bytes);
  return russian != AnsiToWide(bytes) && HasCyrillicWord(russian);
}

std::string Utf16LeFile(const std::wstring& text) {
  std::string out = kUtf16LeMark;
  AppendUtf16(out, text, true);
  return out;
}

}  // namespace

std::string IniReadable(const std::string& file_bytes) {
  return MisreadRussianFile(file_bytes) ? Utf16LeFile(base::cp1251::Decode(file_bytes)) : file_bytes;
}

std::string IniLosslessFor(const std::string& file_bytes, const std::wstring& value) {
  std::string readable = IniReadable(file_bytes);
  if (HasByteOrderMark(readable) || AnsiHolds(value)) return readable;
  return Utf16LeFile(AnsiToWide(readable));
}

std::wstring IniRead(const std::string& file_bytes, const std::wstring& section, const std::wstring& key,
                     size_t buffer_chars) {
  if (buffer_chars == 0) return std::wstring();
  std::wstring wanted_section = QueryName(section);
  std::wstring wanted_key = QueryName(key);
  // The lines before the first section header form the section without a name.
  bool inside = wanted_section.empty();
  EntryReader entries(file_bytes);
  Entry entry;
  while (entries.Next(&entry)) {
    if (entry.kind == Entry::Kind::kSection) {
      if (inside) return std::wstring();  // only the first section of the name counts
      inside = SameName(entry.name, wanted_section);
      continue;
    }
    if (inside && SameName(entry.name, wanted_key)) {
      return entry.has_value ? CopyEntry(entry.value, buffer_chars) : std::wstring();
    }
  }
  return std::wstring();
}

bool IniWrite(const std::string& file_bytes, const std::wstring& section, const std::wstring& key,
              const std::wstring& value, std::string* new_bytes) {
  std::wstring wanted_section = QueryName(section);
  std::wstring wanted_key = QueryName(key);
  std::wstring new_value = StoredText(value);
  enum class State { kBefore, kInside, kDone };
  State state = wanted_section.empty() ? State::kInside : State::kBefore;

  EntryReader entries(file_bytes);
  LineWriter out(entries.encoding());
  auto add_key = [&] {
    out.Line(StoredText(key) + L"=" + new_value);
    state = State::kDone;
  };
  Entry entry;
  while (entries.Next(&entry)) {
    if (entry.kind == Entry::Kind::kSection) {
      if (state == State::kInside) add_key();
      if (state == State::kBefore && SameName(entry.name, wanted_section)) state = State::kInside;
      if (!entry.name.empty()) out.Line(L"[" + entry.name + L"]");
      continue;
    }
    if (state == State::kInside && SameName(entry.name, wanted_key)) {
      if (entry.has_value && entry.value == new_value) return false;
      entry.has_value = true;
      entry.value = new_value;
      state = State::kDone;
    }
    out.Line(entry.has_value ? entry.name + L"=" + entry.value : entry.name);
  }
  if (state == State::kInside) add_key();
  if (state == State::kBefore) {
    out.Line(L"[" + StoredText(section) + L"]");
    add_key();
  }
  *new_bytes = out.Take();
  return true;
}

}  // namespace platform
