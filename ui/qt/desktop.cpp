#include "desktop.h"

#include <unistd.h>
#include <wayland-client.h>
#include <xcb/xcb.h>

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "fill_in.h"
#include "served_text.h"
#include "translation.h"
#include "xcb_handles.h"

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
#include <qpa/qplatformnativeinterface.h>
#endif

namespace qt {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool X11DisplayAnswers(const std::string& display) {
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

// The window system of Qt's platform: "xcb", or "wayland" and its variants
// such as "wayland-egl".
std::optional<standby::Session> SessionOfPlatform() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb")) return standby::Session::kX11;
  if (platform.startsWith(QLatin1String("wayland"))) {
    return standby::Session::kWayland;
  }
  return std::nullopt;
}

// The connection to the compositor that Qt's Wayland plugin holds, or null
// on another platform. Qt 6.4 tells it only through its platform interface.
wl_display* QtWaylandDisplay() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
  const auto* wayland =
      qGuiApp->nativeInterface<QNativeInterface::QWaylandApplication>();
  return wayland != nullptr ? wayland->display() : nullptr;
#else
  return static_cast<wl_display*>(
      QGuiApplication::platformNativeInterface()->nativeResourceForIntegration(
          "wl_display"));
#endif
}

// A read of the selection asked for this soon after the hand-over is still
// served.
constexpr std::chrono::milliseconds kLateReadGrace(100);

// Ends the process, as having succeeded, once limit has passed.
void EndWithin(std::chrono::seconds limit) {
  std::signal(SIGALRM, [](int) { _exit(EXIT_SUCCESS); });
  alarm(static_cast<unsigned>(limit.count()));
}

// How often the last resort renews its limit on a stalled reader: Qt
// writes a transfer in one blocking call, which a reader that stops
// reading would hold up for good.
constexpr std::chrono::seconds kRenewLimitEvery(1);

// A clipboard text that counts the reads of it: Qt's Wayland and X11
// plugins take the text from it for every transfer they serve.
class CountedText final : public QMimeData {
 public:
  CountedText(const QString& text, std::shared_ptr<unsigned> reads)
      : reads_(std::move(reads)) {
    setText(text);
  }

 protected:
  QVariant retrieveData(const QString& type,
                        QMetaType preferred) const override {
    ++*reads_;
    return QMimeData::retrieveData(type, preferred);
  }

 private:
  std::shared_ptr<unsigned> reads_;
};

void ServeLateReads() {
  QEventLoop grace;
  QTimer::singleShot(kLateReadGrace, &grace, &QEventLoop::quit);
  grace.exec(QEventLoop::ExcludeUserInputEvents);
  CatchUpWithCompositor();
}

// Whether the owner of the X11 CLIPBOARD selection is a window that this
// program's connection made: the X server gives every client's resources
// ids under a base of their own.
bool X11ClipboardIsOurs() {
  const auto* x11 =
      qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return false;
  xcb_connection_t* connection = x11->connection();
  const x11::XcbPtr<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(
          connection,
          xcb_get_selection_owner(connection,
                                  x11::InternAtom(connection, "CLIPBOARD")),
          nullptr));
  const xcb_setup_t* setup = xcb_get_setup(connection);
  return owner && owner->owner != XCB_WINDOW_NONE &&
         (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
}

// Whether the compositor answered the selection just set with a "selection"
// event (which Qt reports as a change of the clipboard) and has not
// cancelled our source since. Qt shows neither its source nor the offer that
// the event names, so the event cannot be told apart from one sent for
// another reason in the same round trip; and a data device of this
// program's own beside Qt's would cut Qt's off from the selections of
// others on GNOME, whose compositor keeps one device per client and seat.
bool WaylandSelectionAnnounced() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  bool announced = false;
  const QMetaObject::Connection watch = QObject::connect(
      clipboard, &QClipboard::changed, [&announced](QClipboard::Mode mode) {
        announced = announced || mode == QClipboard::Clipboard;
      });
  CatchUpWithCompositor();
  QObject::disconnect(watch);
  return announced && clipboard->ownsClipboard();
}

// Whether the selection is still this program's. On Wayland the compositor
// tells Qt when another client replaces it (the source's "cancelled"), and
// Qt lets go of its source then.
bool StillOurs(standby::Session session) {
  if (session == standby::Session::kX11) return X11ClipboardIsOurs();
  CatchUpWithCompositor();
  return QGuiApplication::clipboard()->ownsClipboard();
}

}  // namespace

std::string X11DisplayName(int argc, const char* const argv[]) {
  const char* name = std::getenv("DISPLAY");
  for (int i = 1; i < argc - 1; ++i) {
    std::string_view option = argv[i];
    if (option.substr(0, 2) == "--") option.remove_prefix(1);
    if (option == "-display") name = argv[++i];
  }
  return name != nullptr ? name : "";
}

bool DisplayAvailable(const std::string& x11_display) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool x11_named =
      platform != nullptr && std::strncmp(platform, "xcb", 3) == 0;
  if (IsSet("QT_QPA_PLATFORM") && !x11_named) return true;
  if (!x11_named && IsSet("WAYLAND_DISPLAY")) return true;
  return !x11_display.empty() && X11DisplayAnswers(x11_display);
}

std::string NoDisplayMessage(const std::string& x11_display) {
  if (!x11_display.empty()) {
    // TRANSLATORS: {1} is the name of an X11 display, such as ":0".
    return basMD5::FillIn(
        ui::Translated("text-to-md5: cannot open the X11 display \"{1}\"; "
                       "start it from your desktop session, where DISPLAY "
                       "names a running X server."),
        {x11_display});
  }
  return ui::Translated(
      "text-to-md5: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
      "start it from a graphical desktop session.");
}

bool WaylandPossible() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return IsSet("WAYLAND_DISPLAY") &&
         (!IsSet("QT_QPA_PLATFORM") ||
          std::strncmp(platform, "wayland", 7) == 0);
}

bool OnWayland() { return SessionOfPlatform() == standby::Session::kWayland; }

// Qt's plugin makes the same call from its main thread when it needs the
// compositor's answers at once.
void CatchUpWithCompositor() {
  if (wl_display* display = QtWaylandDisplay()) wl_display_roundtrip(display);
}

void Clipboard::Clear() {
  confirmed_.reset();
  QGuiApplication::clipboard()->clear();
  CatchUpWithCompositor();
}

bool Clipboard::Copy(const QString& text) {
  confirmed_.reset();
  const auto reads = std::make_shared<unsigned>(0);
  QGuiApplication::clipboard()->setMimeData(new CountedText(text, reads));
  // Qt itself may look at a text it is given (Qt 6.11's Wayland plugin does).
  const unsigned read_by_qt = *reads;
  if (Confirmed(text)) confirmed_ = text;
  read_when_set_ = *reads > read_by_qt;
  return confirmed_.has_value();
}

bool Clipboard::Confirmed(const QString& text) {
  const auto session = SessionOfPlatform();
  if (session == standby::Session::kX11) return X11ClipboardIsOurs();
  if (session == standby::Session::kWayland) {
    return WaylandSelectionAnnounced();
  }
  return QGuiApplication::clipboard()->text() == text;
}

bool Clipboard::StillShown(standby::Session session) const {
  // Read back from Qt's own copy while the selection is ours: no round trip.
  return StillOurs(session) &&
         QGuiApplication::clipboard()->text() == *confirmed_;
}

Keeper Clipboard::HandOver(standby::ClipboardHolder& holder) const {
  const auto session = SessionOfPlatform();
  if (!confirmed_ || !session || !StillShown(*session)) return Keeper::kNobody;
  EndWithin(selection::kStalledReaderLimit);
  CatchUpWithCompositor();
  const bool standby_took_it = holder.Keep(*session, confirmed_->toStdString());
  Keeper keeper = standby_took_it ? Keeper::kStandby : Keeper::kNobody;
  if (StillOurs(*session)) {
    if (*session == standby::Session::kWayland && !read_when_set_) {
      keeper = Keeper::kThisProcess;
    } else {
      ServeLateReads();
      keeper = Keeper::kWindowSystem;
    }
  }
  // What follows, Qt's own hand-over to an X11 clipboard manager or the
  // last resort among it, keeps limits of its own.
  alarm(0);
  return keeper;
}

void KeepServingUntilReplaced() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QEventLoop serving;
  // Qt lets go of its source when the compositor cancels it.
  QObject::connect(clipboard, &QClipboard::changed, &serving,
                   [clipboard, &serving] {
                     if (!clipboard->ownsClipboard()) serving.quit();
                   });
  QTimer renewal;
  QObject::connect(&renewal, &QTimer::timeout,
                   [] { EndWithin(selection::kStalledReaderLimit); });
  renewal.start(kRenewLimitEvery);
  EndWithin(selection::kStalledReaderLimit);
  CatchUpWithCompositor();
  if (clipboard->ownsClipboard()) serving.exec();
  alarm(0);
}

}  // namespace qt
