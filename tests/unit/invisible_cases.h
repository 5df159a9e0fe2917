#pragma once
// The sentences that name what a text holds and a reader cannot see, in
// English and German: one table for the Linux tests (gettext's catalogues)
// and the Windows ones (the program's string tables, under Wine), each
// with its platform's composition.

#include <string>
#include <vector>

namespace invisible_cases {

enum class Language { kEnglish, kGerman };

struct Case {
  Language language;
  std::u16string text;
  std::string sentence;
};

inline std::vector<Case> Cases() {
  using enum Language;
  const std::u16string zero_width_inside = std::u16string(128 * 1024, u'a') +
                                           u'\u200B' +
                                           std::u16string(128 * 1024 - 1, u'a');
  return {
      {kEnglish, u"abc def", ""},
      {kEnglish, u"\u0915\u093F", ""},  // a vowel sign with no composite
      {kEnglish, u"abc\ndef \t x\u200By",
       "Characters you may not see, all hashed: 1 line break (U+000A); "
       "1 tab (U+0009); 1 zero-width space (U+200B)."},
      {kEnglish, u"abc\n",
       "Characters you may not see, all hashed: 1 line break (U+000A) at "
       "the end."},
      {kEnglish, u"a\r\r\n",
       "Characters you may not see, all hashed: 1 line break (U+000D); "
       "1 line break (CR LF, U+000D U+000A) at the end."},
      {kEnglish, u"a\r\nb\rc\r\n",
       "Characters you may not see, all hashed: 1 line break (U+000D); "
       "2 line breaks (CR LF, U+000D U+000A), the last at the end."},
      {kEnglish, u"  abc ",
       "Characters you may not see, all hashed: 2 spaces (U+0020) at the "
       "start; 1 space (U+0020) at the end."},
      {kEnglish, u"   ",
       "Characters you may not see, all hashed: 3 spaces (U+0020) at the "
       "start."},
      {kEnglish, u"a\u00A0b\u00A0c\u3000",
       "Characters you may not see, all hashed: 2 no-break spaces "
       "(U+00A0); 1 space of another width (U+3000)."},
      {kEnglish, u"\uFEFFab\u00AD\u202E\u2060\u0007\u0085",
       "Characters you may not see, all hashed: 1 line break (U+0085) at "
       "the end; 1 control character (U+0007); 1 zero-width character "
       "(U+2060); 1 byte order mark (U+FEFF); 1 soft hyphen (U+00AD); "
       "1 text direction control (U+202E)."},
      {kEnglish, u"Cafe\u0301 x\u0301 \u0915\u093F",
       "Characters you may not see, all hashed: 1 combining mark "
       "(U+0301) apart from its letter."},
      {kEnglish, u"\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0C",
       "Characters you may not see, all hashed: 1 control character "
       "(U+0001); 1 control character (U+0002); 1 control character "
       "(U+0003); 1 control character (U+0004); 1 control character "
       "(U+0005); 1 control character (U+0006); 1 control character "
       "(U+0007); 1 control character (U+0008); and 3 more."},
      {kEnglish, zero_width_inside,
       "Characters you may not see, all hashed: 1 zero-width space "
       "(U+200B)."},
      {kGerman, u"abc\ndef \t x\u200By",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "1 Zeilenumbruch (U+000A); 1 Tabulator (U+0009); 1 Leerzeichen "
       "ohne Breite (U+200B)."},
      {kGerman, u"x\r\ny\r\n  ",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "2 Zeilenumbrüche (CR LF, U+000D U+000A); 2 Leerzeichen (U+0020) "
       "am Ende."},
      {kGerman, u"\n\nab\n\u00A0\u00A0",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "3 Zeilenumbrüche (U+000A); 2 geschützte Leerzeichen (U+00A0)."},
      {kGerman, u"a\n\n",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "2 Zeilenumbrüche (U+000A), der letzte am Ende."},
      {kGerman, u"Cafe\u0301 und Ame\u0301lie",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "2 kombinierende Zeichen (U+0301) getrennt von ihren Buchstaben."},
      // What makes two digests of "the same" text differ, and what is
      // only spelling: the counts are those of the characters in the text.
      {kEnglish, u"\u0928\u093C \u095B",  // a nukta apart, and one within
       "Characters you may not see, all hashed: 1 combining mark (U+093C) "
       "apart from its letter."},
      {kEnglish, u"e\u0301e\u0301 \u0344",  // U+0344 splits, joins none
       "Characters you may not see, all hashed: 2 combining marks (U+0301) "
       "apart from their letters."},
      {kEnglish, u"a\u0301\u0301 \u0915\u0301",
       "Characters you may not see, all hashed: 1 combining mark (U+0301) "
       "apart from its letter."},
      {kEnglish,
       u"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D"
       u"\U0001F466 \U0001F469\U0001F3FD\u200D\U0001F4BB",
       ""},  // families and professions of emoji
      {kEnglish, u"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645", ""},
      {kEnglish, u"\u0915\u094D\u200D\u0937 \u0915\u094D\u200C\u0937", ""},
      {kEnglish, u"ab\u200Dcd \U0001F468\u200D \u200C\u0645",
       "Characters you may not see, all hashed: 1 zero-width character "
       "(U+200C); 2 zero-width characters (U+200D)."},
      {kEnglish,  // plain text of many scripts, with their joiners
       u"Grüße Привет Γειά שָׁלוֹם مرحبا می\u200Cخواهم नमस्ते क्\u200Dष "
       u"কো สวัสดี 你好 こんにちは がぎ 안녕하세요 \U0001F44D\U0001F3FD",
       ""},
      {kEnglish, u"\u2764\uFE0F \u2764",
       "Characters you may not see, all hashed: 1 variation selector "
       "(U+FE0F)."},
      {kEnglish,
       u"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074"
       u"\U000E007F",
       "Characters you may not see, all hashed: 6 tag characters "
       "(U+E0000\u2013U+E007F)."},
      {kEnglish, u"\u3164",
       "Characters you may not see, all hashed: 1 Hangul filler (U+3164)."},
      {kEnglish, u"\u1112\u1161\u11AB\u1100\u116E\u11A8\u110B\u1165",
       "Characters you may not see, all hashed: 5 Hangul jamo "
       "(U+1100\u2013U+11FF) apart from their syllables."},
      {kEnglish, u"\u206A\U000E0100\u180E\u2065\uFFF9",
       "Characters you may not see, all hashed: 1 zero-width character "
       "(U+180E); 1 zero-width character (U+2065); 1 zero-width character "
       "(U+206A); 1 zero-width character (U+FFF9); 1 variation selector "
       "(U+E0100)."},
      {kGerman, u"\u0928\u093C \u095B",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "1 kombinierendes Zeichen (U+093C) getrennt von seinem Buchstaben."},
      {kGerman, u"e\u0301e\u0301 \u0344",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "2 kombinierende Zeichen (U+0301) getrennt von ihren Buchstaben."},
      {kGerman,
       u"\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D"
       u"\U0001F466",
       ""},
      {kGerman, u"\u0645\u06CC\u200C\u062E\u0648\u0627\u0647\u0645", ""},
      {kGerman, u"\u2764\uFE0F",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "1 Variantenselektor (U+FE0F)."},
      {kGerman,
       u"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074"
       u"\U000E007F",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "6 Tag-Zeichen (U+E0000\u2013U+E007F)."},
      {kGerman, u"\u3164",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "1 Hangul-Füllzeichen (U+3164)."},
      {kGerman, u"\u1112\u1161\u11AB\u1100\u116E\u11A8\u110B\u1165",
       "Zeichen, die Sie womöglich nicht sehen, alle mitgehasht: "
       "5 Hangul-Jamo (U+1100\u2013U+11FF) getrennt von ihren Silben."},
  };
}

}  // namespace invisible_cases
