// The window in a session of each language that CTest runs this program in:
// Wine takes the user's UI language and the ANSI code page from LANG
// (de_DE.UTF-8 gives German and code page 1252, ja_JP.UTF-8 Japanese and
// 932, ru_RU.UTF-8 Russian and 1251, ar_EG.UTF-8 Arabic and 1256).

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "control_ids.h"
#include "dpi.h"
#include "form_layout.h"
#include "frmQuorlex.h"
#include "main_window.h"
#include "resource.h"
#include "thread_windows.h"

namespace {

// A pasted text with characters the session's code page has and lacks, and
// what the window makes of it. The digests are those of the bytes that
// Python's codec for the code page writes, "?" for each missing character.
struct Session {
  std::wstring_view ui_language;  // as Windows names it
  std::wstring_view pasted;
  std::wstring_view digest;
  std::wstring_view explanation;
  bool mirrored;
};

// German: the single-line box keeps the first line only, and the
// explanation names what the eye takes for a space. Hong Kong reads
// Taiwan's Traditional Chinese; Portugal gets English, not Brazil's
// Portuguese.
constexpr Session kSessions[] = {
    {L"de-DE", L"Tee,\u00A0Чай\r\nzweite Zeile",
     L"F0015B6CCB5A6268F5B4886BC29AA0F9",
     L"MD5 von 8 Bytes: der Text in Codepage 1252 (Windows-1252), der "
     L"ANSI-Codepage des Systems.\n3 Zeichen sind nicht in dieser Codepage "
     L"und wurden wie bei der Umwandlung des Systems ersetzt, durch ein "
     L"ähnliches Zeichen oder „?“.\nZeichen, die Sie womöglich nicht sehen, "
     L"alle mitgehasht: 1 geschütztes Leerzeichen (U+00A0).\nMD5 des Textes "
     L"in UTF-8, den die meisten anderen Programme und Webseiten berechnen: "
     L"39EB9956D41AC3D84818DC1BF892710D",
     false},
    {L"ja-JP", L"日本語とعربي", L"DA372342C5B53A535208E73B00D29075",
     L"12 バイトの MD5: コード ページ 932 (Shift_JIS、システムの "
     L"ANSI コード ページ)で表したテキスト。\n"
     L"4 個の文字はこのコード ページにないため、システムの変換と同じく、"
     L"似た文字または「?」に置き換えました。\n"
     L"UTF-8 でのテキストの MD5 (ほかのほとんどのツールや Web "
     L"ページが計算する値): 05D4022630D053DD0A94F88413F865A8",
     false},
    {L"ru-RU", L"Чай и 茶", L"5FFC4316AA7D5C71FCDCCBBDFAD8F583",
     L"MD5 от 7 байтов: текст в кодовой странице 1251 (Windows-1251), "
     L"системной кодовой странице ANSI.\n"
     L"1 символ отсутствует в этой кодовой странице и заменён "
     L"так же, как при системном преобразовании: похожим символом "
     L"или «?».\n"
     L"MD5 текста в UTF-8, как его вычисляет большинство других "
     L"программ и веб-страниц: 804D71EB3EC3504E42312D8EDE296881",
     false},
    {L"ar-EG", L"شاي و 茶", L"5B87FEA99CED466623AB2ACF4C95031E",
     L"ملخص MD5 لـ7 بايتات: النص محوّلًا إلى صفحة الترميز 1256 "
     L"(Windows-1256)، صفحة ترميز ANSI للنظام.\n"
     L"1 حرف ليس في صفحة الترميز هذه، وقد استُبدل كما يفعل "
     L"تحويل النظام، بحرف مشابه أو «?».\n"
     L"ملخص MD5 للنص بترميز UTF-8، وهو ما تحسبه معظم الأدوات "
     L"وصفحات الويب الأخرى: A9AC62DABCE7A8FED07C3EFAE67DDA44",
     true},
    {L"zh-HK", L"繁體中文 عربي", L"6A32133B8340561DF55D2B4DD3FD2011",
     L"13 位元組的 MD5：字碼頁 950（Big5，系統的 ANSI 字碼頁）"
     L"編碼的文字。\n"
     L"4 個字元不在此字碼頁中，已依系統轉換的方式取代為相似字元或「?」。"
     L"\n"
     L"UTF-8 文字的 "
     L"MD5（多數其他工具和網頁計算的值）：BD7BDA3944D09630AF2BF129B3634A79",
     false},
    {L"pt-PT", L"Chá e 茶", L"5A22CFCA4A1AD0B4DF352752CBDC9065",
     L"MD5 of 7 bytes: the text in code page 1252 (Windows-1252), the "
     L"system's ANSI code page.\n1 character is not in this code page and "
     L"was replaced as the system's conversion does, by a lookalike or "
     L"\"?\".\nMD5 of the text in UTF-8, which most other tools and web "
     L"pages compute: 2EF2431A9B037754BDDED79EAEEFC398",
     false},
};

// The row of this session's UI language, or null.
const Session* ThisSession() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                   LOCALE_NAME_MAX_LENGTH, 0);
  for (const Session& session : kSessions) {
    if (session.ui_language == name) return &session;
  }
  return nullptr;
}

// Handles this thread's messages for milliseconds.
void HandleMessagesFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

// Puts text on the clipboard, as another program's copy would.
void CopyToClipboard(HWND owner, std::wstring_view text) {
  const std::wstring terminated(text);
  const std::size_t bytes = (terminated.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), terminated.c_str(), bytes);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

std::wstring TooltipText(HWND window, HWND tool) {
  const HWND tooltip = driver::TooltipOf(window);
  if (tooltip == nullptr) return L"(no tooltip)";
  wchar_t text[1024] = {};
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
  return text;
}

bool HasLayoutRtl(HWND window) {
  return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
}

// The caption and the buttons' captions stay as they are in every language;
// in a language written right to left the window is mirrored, each control
// as far from the client area's right edge as the table puts it from the
// left, and only the digest box reads left to right. The digest and its
// explanation follow the session's code page and language.
TEST(LanguageSessionTest, TheWindowInTheUsersLanguageAndCodePage) {
  const Session* session = ThisSession();
  ASSERT_NE(session, nullptr) << "no row for this session's UI language";
  win32::MainWindow window;
  window.Create(GetModuleHandleW(nullptr));
  EXPECT_EQ(TextOf(window.Window()),
            reinterpret_cast<const wchar_t*>(ui::kCaption));
  EXPECT_EQ(HasLayoutRtl(window.Window()), session->mirrored);

  WINDOWINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetWindowInfo(window.Window(), &info));
  const int dpi = win32::WindowDpi(window.Window());
  for (std::size_t slot = 0; slot < ui::kControlCount; ++slot) {
    const ui::ControlFacts& facts = ui::kControls[slot];
    const HWND control = GetDlgItem(window.Window(), win32::kControlIds[slot]);
    if (facts.kind == ui::ControlKind::kButton) {
      EXPECT_EQ(TextOf(control), reinterpret_cast<const wchar_t*>(facts.text));
    }
    EXPECT_EQ(HasLayoutRtl(control), session->mirrored && !facts.left_to_right)
        << facts.name;
    RECT place{};
    GetWindowRect(control, &place);
    const int from_leading_edge = session->mirrored
                                      ? info.rcClient.right - place.right
                                      : place.left - info.rcClient.left;
    EXPECT_EQ(from_leading_edge, ui::TwipsToPixels(facts.place.left, dpi))
        << facts.name;
    EXPECT_EQ(place.right - place.left,
              ui::TwipsToPixels(facts.place.width, dpi))
        << facts.name;
  }

  const HWND txtMD5 = GetDlgItem(window.Window(), IDC_TXT_MD5);
  CopyToClipboard(window.Window(), session->pasted);
  SendMessageW(GetDlgItem(window.Window(), IDC_TXT_TEXT), WM_PASTE, 0, 0);
  HandleMessagesFor(ui::kFullExplanationPauseMs + 500);  // the UTF-8 digest
  EXPECT_EQ(TextOf(txtMD5), session->digest);
  EXPECT_EQ(TooltipText(window.Window(), txtMD5), session->explanation);
}

}  // namespace
