#pragma once
// The main window's behaviour, independent of any platform: the three event
// handlers, and the top level that runs them for the front end's events.

#include <cstdint>

#include "form_host.h"

namespace ui {

// The index of each member of the cmdClose button array.
enum CloseButton : std::int16_t { kCopyAndClose = 0, kClose = 1 };

// The pause before the second copy attempt.
inline constexpr std::uint32_t kCopyRetryPauseMs = 100;

class frmQuorlex {
 public:
  explicit frmQuorlex(FormHost& host) : host_(host) {}

  // Event entry points for the front ends. A numbered failure that escapes
  // Form_Load or txtText_Change is shown in the output box in place of a
  // digest that would belong to an earlier text; the program goes on.
  void OnLoad();
  void OnInputChanged();
  void OnButtonClicked(std::int16_t index);

  // The handlers themselves.
  void Form_Load();
  void txtText_Change();
  void cmdClose_Click(const std::int16_t& Index);

 private:
  template <typename Handler>
  void RunTopLevel(Handler handler);

  FormHost& host_;
};

}  // namespace ui
