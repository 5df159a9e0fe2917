#pragma once
// What the window core needs from its platform, in the core's own terms.
// Each front end (Win32, Qt) implements it once. An operation that fails
// raises basMD5::NumberedError with a non-zero number from numbered_error.h;
// positive numbers mark passing failures worth one retry (a clipboard held by
// another program), negative ones failures that a retry would not mend.

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

class FormHost {
 public:
  virtual ~FormHost() = default;

  // The whole current text of the input box txtText.
  virtual std::u16string InputText() = 0;

  // The whole current text of the output box txtMD5.
  virtual std::u16string OutputText() = 0;

  // Replaces the whole text of txtMD5.
  virtual void SetOutputText(std::u16string_view text) = 0;

  // Replaces what txtMD5 tells about its text: its tooltip, and its
  // accessible description where the platform's accessibility layer has
  // one. text may hold several lines, split by "\n"; empty means nothing
  // to tell.
  virtual void SetOutputExplanation(std::u16string_view text) = 0;

  // Has the core's OnExplanationDue called once milliseconds have passed
  // without another call of this; a later call replaces a pending one. The
  // explanation's costly part waits for a pause in typing this way.
  virtual void ExplainLater(std::uint32_t milliseconds) = 0;

  // Empties the clipboard of all its content.
  virtual void ClearClipboard() = 0;

  // Sets the clipboard's content to text, as plain text.
  virtual void SetClipboardText(std::u16string_view text) = 0;

  // Blocks the calling (GUI) thread for milliseconds.
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // Unloads the window; unloading the only window ends the program.
  virtual void Unload() = 0;
};

}  // namespace ui
