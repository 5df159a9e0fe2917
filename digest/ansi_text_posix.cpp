// POSIX has no ANSI code page; the locale's character set (LC_CTYPE, set by
// the program at start-up) stands in for it. The plain C locale means ASCII,
// which cannot hold most text, so UTF-8 is used there instead, as current
// language runtimes do. A character the set cannot hold becomes one "?".

#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

#include <bit>
#include <cerrno>
#include <string>

#include "ansi_text.h"
#include "numbered_error.h"

namespace basMD5 {
namespace {

constexpr char16_t kReplacement = u'?';

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::vector<std::uint8_t>& out, char32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<std::uint8_t>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<std::uint8_t>(0xC0 | code_point >> 6));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<std::uint8_t>(0xE0 | code_point >> 12));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point >> 6 & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<std::uint8_t>(0xF0 | code_point >> 18));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point >> 12 & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point >> 6 & 0x3F)));
    out.push_back(static_cast<std::uint8_t>(0x80 | (code_point & 0x3F)));
  }
}

// UTF-8 written directly: it is the common case and needs no converter. A
// lone surrogate, which UTF-8 cannot carry, becomes "?".
std::vector<std::uint8_t> ToUtf8(std::u16string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() &&
        IsLowSurrogate(text[i + 1])) {
      const char32_t high = unit - 0xD800u;
      const char32_t low = text[++i] - 0xDC00u;
      AppendUtf8(out, 0x10000 + (high << 10 | low));
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      out.push_back(static_cast<std::uint8_t>(kReplacement));
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

[[noreturn]] void RaiseConversion(const char* codeset) {
  throw NumberedError(
      kErrConversion,
      std::string("Cannot convert text to the character set ") + codeset);
}

// An iconv descriptor from the host's UTF-16 to codeset, closed on every way
// out.
class Converter {
 public:
  explicit Converter(const char* codeset)
      : codeset_(codeset),
        cd_(iconv_open(codeset, std::endian::native == std::endian::little
                                    ? "UTF-16LE"
                                    : "UTF-16BE")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) RaiseConversion(codeset_);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts text into out, one "?" for each character that the set cannot
  // hold, then ends any shift state.
  void Convert(std::u16string_view text, std::vector<std::uint8_t>& out) {
    std::size_t done = 0;
    while (done < text.size()) {
      done += Run(text.substr(done), out);
      if (done < text.size()) done += ReplaceOne(text.substr(done), out);
    }
    Call(nullptr, nullptr, out);
  }

 private:
  // Converts as much of text as iconv accepts; returns the units consumed.
  std::size_t Run(std::u16string_view text, std::vector<std::uint8_t>& out) {
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t in_left = text.size() * sizeof(char16_t);
    const int error = Call(&in, &in_left, out);
    if (error != 0 && error != EILSEQ && error != EINVAL) {
      RaiseConversion(codeset_);
    }
    return text.size() - in_left / sizeof(char16_t);
  }

  // Writes "?" for the character at the start of text, which iconv refused,
  // and returns its length in units: a whole surrogate pair, or one unit.
  std::size_t ReplaceOne(std::u16string_view text,
                         std::vector<std::uint8_t>& out) {
    if (Run(std::u16string_view(&kReplacement, 1), out) != 1) {
      RaiseConversion(codeset_);
    }
    const bool pair =
        text.size() >= 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]);
    return pair ? 2 : 1;
  }

  // One iconv call that grows out as needed; returns 0 or the errno that
  // stopped it.
  int Call(char** in, std::size_t* in_left, std::vector<std::uint8_t>& out) {
    for (;;) {
      const std::size_t used = out.size();
      out.resize(used + 64 + (in_left != nullptr ? *in_left * 2 : 0));
      char* dest = reinterpret_cast<char*>(out.data() + used);
      std::size_t dest_left = out.size() - used;
      const std::size_t result = iconv(cd_, in, in_left, &dest, &dest_left);
      const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
      out.resize(out.size() - dest_left);
      if (error != E2BIG) return error;
    }
  }

  const char* codeset_;
  iconv_t cd_;
};

bool IsUtf8OrAscii(const char* codeset) {
  return strcasecmp(codeset, "UTF-8") == 0 ||
         strcasecmp(codeset, "ANSI_X3.4-1968") == 0 ||
         strcasecmp(codeset, "ASCII") == 0 ||
         strcasecmp(codeset, "US-ASCII") == 0;
}

}  // namespace

std::vector<std::uint8_t> TextToAnsiBytes(std::u16string_view text) {
  const char* codeset = nl_langinfo(CODESET);
  if (IsUtf8OrAscii(codeset)) return ToUtf8(text);
  std::vector<std::uint8_t> out;
  Converter(codeset).Convert(text, out);
  return out;
}

}  // namespace basMD5
