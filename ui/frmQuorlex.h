#pragma once
// The main window's behaviour, independent of any platform: the three event
// handlers, and the top level that runs them for the front end's events.

#include <cstdint>
#include <string>

#include "ansi_text.h"
#include "form_host.h"
#include "form_layout.h"
#include "numbered_error.h"

namespace ui {

// The pause before the second copy attempt.
inline constexpr std::uint32_t kCopyRetryPauseMs = 100;

// How long typing must pause before the explanation is made in full: with
// the digest of the text's UTF-8 bytes, which costs up to two digests of the
// text, and the combining marks and jamo that composition would join, which
// cost a normalization of the text. Keystrokes do not wait for them, and a
// tooltip takes longer to show.
inline constexpr std::uint32_t kFullExplanationPauseMs = 300;

class frmQuorlex {
 public:
  explicit frmQuorlex(FormHost& host) : host_(host) {}

  // Event entry points for the front ends; none lets a failure out, so none
  // can unwind through a toolkit's event loop. A failure that escapes
  // Form_Load or txtText_Change is shown in the output box in place of a
  // digest that would belong to an earlier text; the program goes on.
  // After either, the output box's explanation says which bytes were
  // hashed, or what failed.
  void OnLoad() noexcept;
  void OnInputChanged() noexcept;
  void OnButtonClicked(std::int16_t index) noexcept;
  // The pause that the core asked for with ExplainLater has passed.
  void OnExplanationDue() noexcept;

 private:
  // The handlers themselves: the first two let every failure pass to their
  // caller; cmdClose_Click goes on past a failed step and lets none out.
  void Form_Load();
  void txtText_Change();
  void cmdClose_Click(std::int16_t Index);

  template <typename Handler>
  void RunTopLevel(Handler handler) noexcept;

  // Shows failure in the output box in place of a digest, and explains it.
  void ShowFailure(const basMD5::NumberedError& failure) noexcept;

  // Gives the output box the text that explanation() returns, or, where
  // that fails, none.
  template <typename Explanation>
  void Explain(Explanation explanation) noexcept;

  // Lets go of the last input and its bytes; no explanation is due.
  void ForgetInput() noexcept;

  FormHost& host_;
  // The last digested input and what its conversion did, from
  // txtText_Change to the explanation after it, and to OnExplanationDue
  // where that is to add the UTF-8 digest or the detached marks.
  std::u16string input_;
  basMD5::AnsiConversion conversion_;
  bool explanation_due_ = false;
};

}  // namespace ui
