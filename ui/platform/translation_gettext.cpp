// The user's language on Linux: glibc's gettext, with the catalogues that
// msgfmt compiled from po/. The language follows LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG as in every program, read at each lookup from the
// environment rather than from the process's locale, which Qt sets only
// once it has started.

#include <libintl.h>
#include <locale.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "translation.h"

namespace ui {
namespace {

constexpr char kDomain[] = "text-to-md5";

// TEXTDOMAINDIR where it is set (as for gettext's shell scripts: the build
// tree's catalogues), else the share/locale folder beside the program's bin
// folder wherever the program was installed.
std::string CatalogueFolder() {
  const char* named = std::getenv("TEXTDOMAINDIR");
  if (named != nullptr && *named != '\0') return named;
  std::error_code failure;
  const std::filesystem::path program =
      std::filesystem::read_symlink("/proc/self/exe", failure);
  return (program.parent_path() / TTM_LOCALEDIR_FROM_BINDIR)
      .lexically_normal()
      .string();
}

void BindCataloguesOnce() {
  static const bool bound = [] {
    bindtextdomain(kDomain, CatalogueFolder().c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    return true;
  }();
  static_cast<void>(bound);
}

// The user's message locale, in use by this thread while the object lives.
class UserMessagesLocale {
 public:
  UserMessagesLocale()
      : user_(newlocale(LC_MESSAGES_MASK, "", locale_t{})),
        previous_(user_ != locale_t{} ? uselocale(user_) : locale_t{}) {}
  ~UserMessagesLocale() {
    if (user_ == locale_t{}) return;
    uselocale(previous_);
    freelocale(user_);
  }
  UserMessagesLocale(const UserMessagesLocale&) = delete;
  UserMessagesLocale& operator=(const UserMessagesLocale&) = delete;

  // Not where the locale is not installed: gettext gives English there.
  bool Loaded() const { return user_ != locale_t{}; }

 private:
  locale_t user_;
  locale_t previous_;
};

// lookup's answer in the user's message locale, else english.
template <typename Lookup>
std::string InUserLanguage(const char* english, Lookup lookup) {
  BindCataloguesOnce();
  const UserMessagesLocale user;
  return user.Loaded() ? lookup() : english;
}

}  // namespace

// gettext's answer for the empty text is the catalogue's header, which an
// error with an empty text would show.
std::string Translated(const char* english) {
  if (*english == '\0') return english;
  return InUserLanguage(english,
                        [english] { return dgettext(kDomain, english); });
}

std::string TranslatedPlural(const char* singular, const char* plural,
                             std::size_t count) {
  return InUserLanguage(count == 1 ? singular : plural, [&] {
    return dngettext(kDomain, singular, plural,
                     static_cast<unsigned long>(count));
  });
}

}  // namespace ui
