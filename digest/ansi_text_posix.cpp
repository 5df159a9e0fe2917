// POSIX has no ANSI code page; the character set of the user's locale stands
// in for it. That is the locale the environment names (LC_ALL, LC_CTYPE,
// LANG), not the process's current LC_CTYPE: a toolkit may switch that at
// start-up (Qt 6.8 turns a non-UTF-8 one into UTF-8), and which bytes are
// hashed must not depend on it. The plain C locale means ASCII, which cannot
// hold most text, so UTF-8 is used there instead, as current language
// runtimes do. A character the set cannot hold becomes one "?".

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <bit>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "ansi_text.h"
#include "numbered_error.h"
#include "utf16.h"
#include "utf8.h"

namespace basMD5 {
namespace {

constexpr char16_t kReplacement = u'?';

// iconv gets the text in windows of at most this many units. A refused
// character costs work in proportion to the input handed over with it (glibc
// converts through an intermediate step and redoes it up to the refusal), so
// the windows are small: at 64 units 256 Ki refused characters take about
// 20 ms, at 4096 about 460 ms, and one call per 64 units still costs little
// on text that converts cleanly.
constexpr std::size_t kWindowUnits = 64;

// Output room beyond one byte per unit at the start: enough for a shift
// sequence at the end of a single-byte text.
constexpr std::size_t kSpareBytes = 16;

[[noreturn]] void RaiseConversion(const char* codeset) {
  throw NumberedError(kErrConversion,
                      "Cannot convert text to the character set {1}",
                      {codeset});
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

  // text in codeset, one "?" for each character that the set cannot hold,
  // any shift state ended. Linear in the text's length.
  std::vector<std::uint8_t> Convert(std::u16string_view text) {
    out_.assign(text.size() + kSpareBytes, 0);
    while (!text.empty()) {
      const std::size_t size = WindowSize(text);
      ConvertWindow(text.substr(0, size));
      text.remove_prefix(size);
    }
    Call(nullptr, nullptr);
    out_.resize(used_);
    return std::move(out_);
  }

  // The characters replaced by "?" so far.
  std::size_t replaced() const { return replaced_; }

 private:
  // The length of the next window of text: a surrogate pair is never split,
  // so that iconv sees each character whole.
  static std::size_t WindowSize(std::u16string_view text) {
    if (text.size() <= kWindowUnits) return text.size();
    return IsHighSurrogate(text[kWindowUnits - 1]) ? kWindowUnits - 1
                                                   : kWindowUnits;
  }

  // Converts window, putting "?" for each character that iconv refuses (a
  // lone surrogate included) and carrying on after it.
  void ConvertWindow(std::u16string_view window) {
    while (!window.empty()) {
      window.remove_prefix(Run(window));
      if (!window.empty()) window.remove_prefix(ReplaceOne(window));
    }
  }

  // Converts as much of text as iconv accepts; returns the units consumed.
  std::size_t Run(std::u16string_view text) {
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
    std::size_t in_left = text.size() * sizeof(char16_t);
    const int error = Call(&in, &in_left);
    if (error != 0 && error != EILSEQ && error != EINVAL) {
      RaiseConversion(codeset_);
    }
    return text.size() - in_left / sizeof(char16_t);
  }

  // Writes "?" for the character at the start of text, which iconv refused,
  // and returns its length in units: a whole surrogate pair, or one unit.
  // The "?" goes through iconv too, so that a stateful set shifts back first.
  std::size_t ReplaceOne(std::u16string_view text) {
    if (Run(std::u16string_view(&kReplacement, 1)) != 1) {
      RaiseConversion(codeset_);
    }
    ++replaced_;
    return FirstCharacterUnits(text);
  }

  // One iconv call into the free end of out_, which doubles whenever it is
  // full, so that the output is copied O(1) times per byte; returns 0 or the
  // errno that stopped the call.
  int Call(char** in, std::size_t* in_left) {
    for (;;) {
      char* dest = reinterpret_cast<char*>(out_.data() + used_);
      std::size_t dest_left = out_.size() - used_;
      const std::size_t result = iconv(cd_, in, in_left, &dest, &dest_left);
      const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
      used_ = out_.size() - dest_left;
      if (error != E2BIG) return error;
      out_.resize(2 * out_.size());  // never 0: kSpareBytes at the least
    }
  }

  const char* codeset_;
  iconv_t cd_;
  std::vector<std::uint8_t> out_;  // bytes written, then free room
  std::size_t used_ = 0;
  std::size_t replaced_ = 0;
};

// The LC_CTYPE part of the locale that the environment names, freed on every
// way out. Loaded afresh for each text rather than kept: it costs
// microseconds, against milliseconds for digesting a long text, and stays
// right if the environment changes.
class UserCtype {
 public:
  UserCtype() : locale_(newlocale(LC_CTYPE_MASK, "", locale_t{})) {}
  ~UserCtype() {
    if (locale_ != locale_t{}) freelocale(locale_);
  }
  UserCtype(const UserCtype&) = delete;
  UserCtype& operator=(const UserCtype&) = delete;

  // Its character set. A locale that is named but cannot be loaded (not
  // installed) makes setlocale fail and leaves the process in the C locale,
  // whose character set is ASCII.
  const char* Codeset() const {
    return locale_ != locale_t{} ? nl_langinfo_l(CODESET, locale_)
                                 : "ANSI_X3.4-1968";
  }

 private:
  locale_t locale_;
};

bool IsUtf8OrAscii(const char* codeset) {
  return strcasecmp(codeset, "UTF-8") == 0 ||
         strcasecmp(codeset, "ANSI_X3.4-1968") == 0 ||
         strcasecmp(codeset, "ASCII") == 0 ||
         strcasecmp(codeset, "US-ASCII") == 0;
}

}  // namespace

AnsiConversion ConvertToAnsi(std::u16string_view text) {
  const UserCtype user;
  const char* codeset = user.Codeset();
  AnsiConversion result;
  if (IsUtf8OrAscii(codeset)) {
    result.charset = "UTF-8";
    result.stands_in_for_ascii = strcasecmp(codeset, "UTF-8") != 0;
    // UTF-8 cannot carry a lone surrogate; like any character the set
    // lacks, it is hashed as "?".
    result.bytes = TextToUtf8(text, kReplacement, result.replaced);
  } else {
    result.charset = codeset;
    if (text.empty()) return result;  // nothing for the converter to do
    Converter converter(codeset);
    result.bytes = converter.Convert(text);
    result.replaced = converter.replaced();
  }
  return result;
}

std::vector<std::uint8_t> TextToAnsiBytes(std::u16string_view text) {
  return ConvertToAnsi(text).bytes;
}

}  // namespace basMD5
