#include "frmQuorlex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "ansi_text.h"
#include "basMD5.h"
#include "output_texts.h"

namespace {

using basMD5::NumberedError;

// A passing clipboard failure, worth one retry.
constexpr int kBusy = basMD5::kErrClipboardBusy;
constexpr char16_t kEmptyDigest[] = u"D41D8CD98F00B204E9800998ECF8427E";
constexpr char16_t kAbcDigest[] = u"900150983CD24FB0D6963F7D28E17F72";

// A platform whose clipboard fails on demand and which records every call
// in order.
class FakeHost : public ui::FormHost {
 public:
  std::u16string input;
  std::u16string output = ui::kOutputPlaceholder;
  std::u16string explanation;
  std::u16string clipboard = u"earlier";
  // Failure numbers for the next calls of each operation; 0 means success.
  std::deque<int> clear_failures;
  std::deque<int> set_failures;
  std::deque<int> read_output_failures;
  int unload_failure = 0;
  std::vector<std::string> calls;
  std::vector<std::uint32_t> sleeps;
  std::vector<std::uint32_t> explain_later;
  bool unloaded = false;

  std::u16string InputText() override { return input; }
  std::u16string OutputText() override {
    calls.push_back("read");
    FailIfScripted(read_output_failures);
    return output;
  }
  void SetOutputText(std::u16string_view text) override { output = text; }
  void SetOutputExplanation(std::u16string_view text) override {
    explanation = text;
  }
  void ExplainLater(std::uint32_t milliseconds) override {
    explain_later.push_back(milliseconds);
  }
  void ClearClipboard() override {
    calls.push_back("clear");
    FailIfScripted(clear_failures);
    clipboard.clear();
  }
  void SetClipboardText(std::u16string_view text) override {
    calls.push_back("set");
    FailIfScripted(set_failures);
    clipboard = text;
  }
  void Sleep(std::uint32_t milliseconds) override {
    calls.push_back("sleep");
    sleeps.push_back(milliseconds);
  }
  void Unload() override {
    calls.push_back("unload");
    if (unload_failure != 0) throw NumberedError(unload_failure, "unload");
    unloaded = true;
  }

 private:
  static void FailIfScripted(std::deque<int>& failures) {
    if (failures.empty()) return;
    const int number = failures.front();
    failures.pop_front();
    if (number != 0) throw NumberedError(number, "scripted failure");
  }
};

TEST(WindowCoreTest, LoadShowsTheEmptyTextsDigestInsteadOfThePlaceholder) {
  FakeHost host;
  ui::frmQuorlex form(host);
  form.OnLoad();
  EXPECT_EQ(host.output, kEmptyDigest);
}

TEST(WindowCoreTest, EveryChangeDigestsTheWholeInputAfresh) {
  FakeHost host;
  ui::frmQuorlex form(host);
  // The character set named after the count is the platform's.
  const struct {
    std::u16string input, digest, explanation_start;
  } keystrokes[] = {
      {u"a", u"0CC175B9C0F1B6A831C399E269772661", u"MD5 of 1 byte: the text"},
      {u"ab", u"187EF4436122D1CC2F40DC2B92F0EBA0", u"MD5 of 2 bytes: the text"},
      {u"abc", kAbcDigest, u"MD5 of 3 bytes: the text"},
      {u"", kEmptyDigest, u"MD5 of 0 bytes: the text"},
  };
  for (const auto& [input, digest, explanation_start] : keystrokes) {
    host.input = input;
    form.OnInputChanged();
    EXPECT_EQ(host.output, digest);
    EXPECT_EQ(host.explanation.substr(0, explanation_start.size()),
              explanation_start);
  }
}

// The UTF-8 digest, which costs up to two digests more, waits for a pause in
// typing; a change that needs none makes a pending one void.
TEST(WindowCoreTest, TheUtf8DigestWaitsForAPauseInTyping) {
  FakeHost host;
  ui::frmQuorlex form(host);
  // A lone surrogate is hashed as "?" everywhere, and is U+FFFD in UTF-8.
  host.input = u"a\xD800";
  const auto conversion = basMD5::ConvertToAnsi(host.input);
  form.OnInputChanged();
  EXPECT_EQ(host.explanation, ui::ExplainDigest(conversion));
  EXPECT_EQ(host.explain_later,
            std::vector<std::uint32_t>{ui::kFullExplanationPauseMs});

  form.OnExplanationDue();
  EXPECT_EQ(host.explanation, ui::ExplainDigest(host.input, conversion));
  EXPECT_NE(host.explanation, ui::ExplainDigest(conversion));

  form.OnInputChanged();
  host.input = u"abc";
  form.OnInputChanged();
  form.OnExplanationDue();
  EXPECT_EQ(host.explanation, ui::ExplainDigest(basMD5::ConvertToAnsi(u"abc")));
  EXPECT_EQ(host.explain_later.size(), 2u);

  // So does the platform's normalization, which finds an accent apart from
  // its letter.
  host.input = u"Cafe\u0301";
  form.OnInputChanged();
  EXPECT_EQ(host.explanation.find(u"(U+0301)"), std::u16string::npos);
  form.OnExplanationDue();
  EXPECT_NE(host.explanation.find(u"(U+0301)"), std::u16string::npos);
  EXPECT_EQ(host.explain_later.size(), 3u);
}

// An input box whose reading fails, standing for any failure inside the
// change handler (such as error 6 for a text too long to digest).
class FailingInputHost : public FakeHost {
 public:
  enum class Failure { kNumbered, kOutOfMemory, kOther, kNotAnException };
  explicit FailingInputHost(Failure failure) : failure_(failure) {}
  std::u16string InputText() override {
    if (failure_ == Failure::kOutOfMemory) throw std::bad_alloc();
    if (failure_ == Failure::kOther) throw std::runtime_error("odd");
    if (failure_ == Failure::kNotAnException) throw 42;
    throw NumberedError(basMD5::kErrOverflow, "too long");
  }

 private:
  Failure failure_;
};

TEST(WindowCoreTest, AFailureLeavingTheChangeHandlerIsShownInTheOutputBox) {
  using Failure = FailingInputHost::Failure;
  const std::vector<std::pair<Failure, std::u16string>> cases = {
      {Failure::kNumbered, u"Error 6: too long"},
      {Failure::kOutOfMemory, u"Error 7: Out of memory"},
      {Failure::kOther, u"Error -1: odd"},
      {Failure::kNotAnException, u"Error -1: Unknown failure"}};
  for (const auto& [failure, shown] : cases) {
    FailingInputHost host(failure);
    host.output = kAbcDigest;
    ui::frmQuorlex form(host);
    form.OnInputChanged();
    EXPECT_EQ(host.output, shown);
    EXPECT_EQ(host.explanation, u"No digest: the text could not be hashed (" +
                                    shown + u").\nThe text entered is kept.");
  }
}

// The error text itself cannot be shown: the box is emptied rather than
// left with the digest of an earlier text, and nothing escapes the entry
// point (a toolkit's event loop must not see an exception).
TEST(WindowCoreTest, AnErrorThatCannotBeShownLeavesTheOutputEmpty) {
  struct ErrorRefusingHost : FailingInputHost {
    ErrorRefusingHost() : FailingInputHost(Failure::kNumbered) {}
    void SetOutputText(std::u16string_view text) override {
      if (!text.empty()) throw std::bad_alloc();
      output = text;
    }
  } host;
  host.output = kAbcDigest;
  ui::frmQuorlex form(host);
  form.OnInputChanged();
  EXPECT_EQ(host.output, u"");
}

struct CopyCase {
  const char* name;
  std::int16_t index;
  std::deque<int> clear_failures;
  std::deque<int> set_failures;
  std::vector<std::string> expected_calls;
  std::u16string expected_clipboard;
  bool expect_unloaded;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyAndCloseTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyAndCloseTest, FollowsTheRetryAndCloseRules) {
  const CopyCase& c = GetParam();
  FakeHost host;
  host.output = kAbcDigest;
  host.clear_failures = c.clear_failures;
  host.set_failures = c.set_failures;
  ui::frmQuorlex form(host);

  form.OnButtonClicked(c.index);

  EXPECT_EQ(host.calls, c.expected_calls);
  EXPECT_EQ(host.clipboard, c.expected_clipboard);
  EXPECT_EQ(host.unloaded, c.expect_unloaded);
  for (std::uint32_t pause : host.sleeps) EXPECT_EQ(pause, 100u);
}

const std::vector<std::string> kFirstAttempt = {"clear", "read", "set"};
const std::vector<std::string> kBothAttempts = {"clear", "read", "set", "sleep",
                                                "clear", "read", "set"};

std::vector<std::string> Then(std::vector<std::string> calls,
                              const std::string& last) {
  calls.push_back(last);
  return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CopyAndCloseTest,
    ::testing::Values(CopyCase{"CloseLeavesTheClipboard",
                               ui::kClose,
                               {},
                               {},
                               {"unload"},
                               u"earlier",
                               true},
                      CopyCase{"AnyOtherIndexActsAsClose",
                               2,
                               {},
                               {},
                               {"unload"},
                               u"earlier",
                               true},
                      CopyCase{"NegativeIndexActsAsClose",
                               -1,
                               {},
                               {},
                               {"unload"},
                               u"earlier",
                               true},
                      CopyCase{"CopySucceedsAndCloses",
                               ui::kCopyAndClose,
                               {},
                               {},
                               Then(kFirstAttempt, "unload"),
                               kAbcDigest,
                               true},
                      CopyCase{"PositiveFailureRetriesAndStaysOpen",
                               ui::kCopyAndClose,
                               {kBusy},
                               {kBusy},
                               kBothAttempts,
                               kAbcDigest,
                               false},
                      CopyCase{"FailedEmptyingAloneStillRetries",
                               ui::kCopyAndClose,
                               {kBusy},
                               {},
                               kBothAttempts,
                               kAbcDigest,
                               false},
                      CopyCase{"RetryThatFailsAgainStaysOpen",
                               ui::kCopyAndClose,
                               {kBusy, kBusy},
                               {kBusy, kBusy},
                               kBothAttempts,
                               u"earlier",
                               false},
                      CopyCase{"NegativeFailureMakesNoRetry",
                               ui::kCopyAndClose,
                               {},
                               {-2147221040},
                               kFirstAttempt,
                               u"",
                               false},
                      CopyCase{"LastFailureDecides",
                               ui::kCopyAndClose,
                               {kBusy},
                               {-5},
                               kFirstAttempt,
                               u"earlier",
                               false},
                      CopyCase{"PositiveAfterNegativeRetries",
                               ui::kCopyAndClose,
                               {-5},
                               {kBusy},
                               kBothAttempts,
                               kAbcDigest,
                               false}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(WindowCoreTest, ACopyCopiesTheOutputBoxAsEdited) {
  FakeHost host;
  ui::frmQuorlex form(host);
  host.output = u"edited by hand";
  form.OnButtonClicked(ui::kCopyAndClose);
  EXPECT_EQ(host.clipboard, u"edited by hand");
  EXPECT_TRUE(host.unloaded);
}

TEST(WindowCoreTest, AFailedReadOfTheOutputDoesNotSetTheClipboard) {
  FakeHost host;
  host.read_output_failures = {-7};
  ui::frmQuorlex form(host);
  form.OnButtonClicked(ui::kCopyAndClose);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"clear", "read"}));
  EXPECT_EQ(host.clipboard, u"");
  EXPECT_FALSE(host.unloaded);
}

TEST(WindowCoreTest, AClickAfterAFailedCopyStartsAfresh) {
  FakeHost host;
  host.output = kAbcDigest;
  host.clear_failures = {kBusy, kBusy};
  ui::frmQuorlex form(host);
  form.OnButtonClicked(ui::kCopyAndClose);
  ASSERT_FALSE(host.unloaded);
  form.OnButtonClicked(ui::kCopyAndClose);
  EXPECT_TRUE(host.unloaded);
  EXPECT_EQ(host.clipboard, kAbcDigest);
}

TEST(WindowCoreTest, AFailedUnloadIsAbsorbedAndTheWindowStays) {
  FakeHost host;
  host.unload_failure = 364;
  ui::frmQuorlex form(host);
  form.OnButtonClicked(ui::kClose);
  EXPECT_EQ(host.calls, std::vector<std::string>{"unload"});
  EXPECT_FALSE(host.unloaded);
  EXPECT_EQ(host.clipboard, u"earlier");
}

}  // namespace
