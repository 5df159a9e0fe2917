#include "frmQuorlex.h"

#include <optional>
#include <string>

#include "ansi_text.h"
#include "basMD5.h"
#include "invisible_characters.h"
#include "numbered_error.h"
#include "output_texts.h"

namespace ui {
namespace {

using basMD5::NumberedError;

// Runs action and returns the numbered failure it raised, if any.
template <typename Action>
std::optional<NumberedError> Attempt(Action action) noexcept {
  try {
    action();
    return std::nullopt;
  } catch (...) {
    return basMD5::CurrentFailure();
  }
}

// Runs one step of a continue-on-failure handler: a failure skips the rest of
// the step and replaces error_number with its number, which is never 0.
template <typename Step>
void ResumeNext(std::int32_t& error_number, Step step) noexcept {
  if (const auto failure = Attempt(step)) {
    error_number =
        failure->number() != 0 ? failure->number() : basMD5::kErrUnexpected;
  }
}

}  // namespace

template <typename Handler>
void frmQuorlex::RunTopLevel(Handler handler) noexcept {
  const auto failure = Attempt(handler);
  bool more_due = false;
  if (failure) {
    ShowFailure(*failure);
  } else {
    Explain([this, &more_due] {
      const InvisibleCharacters invisible(input_);
      more_due = invisible.marks_to_count() ||
                 basMD5::Utf8MayDiffer(input_, conversion_);
      return ExplainDigest(conversion_, invisible);
    });
  }
  explanation_due_ = more_due && !Attempt([this] {
                       host_.ExplainLater(kFullExplanationPauseMs);
                     });
  // The text and its bytes are kept only for the rest of the explanation.
  if (!explanation_due_) ForgetInput();
}

void frmQuorlex::ShowFailure(const basMD5::NumberedError& failure) noexcept {
  const auto not_shown =
      Attempt([&] { host_.SetOutputText(ErrorText(failure)); });
  // Where even the error cannot be shown (no memory left for its text), an
  // empty box at least claims no digest for the text that failed.
  if (not_shown) Attempt([this] { host_.SetOutputText(u""); });
  Explain([&] { return ExplainFailure(failure); });
}

template <typename Explanation>
void frmQuorlex::Explain(Explanation explanation) noexcept {
  const auto failure =
      Attempt([&] { host_.SetOutputExplanation(explanation()); });
  if (failure) Attempt([this] { host_.SetOutputExplanation(u""); });
}

void frmQuorlex::OnLoad() noexcept {
  RunTopLevel([this] { Form_Load(); });
}

void frmQuorlex::OnInputChanged() noexcept {
  RunTopLevel([this] { txtText_Change(); });
}

void frmQuorlex::OnButtonClicked(std::int16_t index) noexcept {
  cmdClose_Click(index);
}

void frmQuorlex::OnExplanationDue() noexcept {
  if (!explanation_due_) return;
  Explain([this] { return ExplainDigest(input_, conversion_); });
  ForgetInput();
}

void frmQuorlex::ForgetInput() noexcept {
  explanation_due_ = false;
  input_ = std::u16string();  // lets go of its memory too
  conversion_ = {};
}

void frmQuorlex::Form_Load() { txtText_Change(); }

void frmQuorlex::txtText_Change() {
  input_ = host_.InputText();
  host_.SetOutputText(AsciiToUtf16(basMD5::DigestTextHex(input_, conversion_)));
}

void frmQuorlex::cmdClose_Click(std::int16_t Index) {
  std::int32_t error_number = 0;

  if (Index == kCopyAndClose) {
    ResumeNext(error_number, [this] { host_.ClearClipboard(); });
    ResumeNext(error_number,
               [this] { host_.SetClipboardText(host_.OutputText()); });
  }

  // Only a passing failure (positive number) earns one more attempt; the
  // number is not reset, so the window stays open after it either way.
  if (Index == kCopyAndClose && error_number > 0) {
    ResumeNext(error_number, [this] { host_.Sleep(kCopyRetryPauseMs); });
    ResumeNext(error_number, [this] { host_.ClearClipboard(); });
    ResumeNext(error_number,
               [this] { host_.SetClipboardText(host_.OutputText()); });
  }

  if (error_number == 0) {
    ResumeNext(error_number, [this] { host_.Unload(); });
  }
}

}  // namespace ui
