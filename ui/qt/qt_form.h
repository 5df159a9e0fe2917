#pragma once
// The main window frmQuorlex on Qt Widgets: the window with its two text
// boxes and two buttons at fixed places, and the platform operations that
// the window core needs. The behaviour lives in the core.

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

#include "desktop.h"
#include "form_host.h"
#include "form_layout.h"
#include "frmQuorlex.h"

class QLineEdit;
class QPushButton;

namespace qt {

class QtForm final : public QWidget, public ui::FormHost {
  Q_OBJECT

 public:
  // Builds the window, hidden and centred on the screen, and runs its load
  // event, so that it is first shown with the digest of the empty input.
  explicit QtForm(QWidget* parent = nullptr);

  std::u16string InputText() override;
  std::u16string OutputText() override;
  void SetOutputText(std::u16string_view text) override;
  void SetOutputExplanation(std::u16string_view text) override;
  void ExplainLater(std::uint32_t milliseconds) override;
  void ClearClipboard() override;
  void SetClipboardText(std::u16string_view text) override;
  void Sleep(std::uint32_t milliseconds) override;
  void Unload() override;

  // The clipboard as the window system confirmed this window's copies.
  const Clipboard& clipboard() const { return clipboard_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  // Each control where the table puts it, from the right edge where the
  // window is mirrored: Qt mirrors layouts, not fixed places.
  void PlaceControls();
  std::array<QWidget*, ui::kControlCount> BySlot() const;
  void ConnectEvents();
  // The platform's default font, made smaller only as far as the window's
  // texts need to fit their fixed places: a digest of average width, a line
  // of text, and the captions.
  void ChooseFont();
  bool TextsFit(const QFont& font) const;
  void CentreOnScreen();

  QLineEdit* txtText_ = nullptr;
  QLineEdit* txtMD5_ = nullptr;
  std::array<QPushButton*, ui::kCloseButtons.size()> cmdClose_{};  // by index
  QTimer explanation_timer_;  // for ExplainLater
  Clipboard clipboard_;
  ui::frmQuorlex core_;
};

}  // namespace qt
