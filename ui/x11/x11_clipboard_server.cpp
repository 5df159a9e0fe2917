#include "x11_clipboard_server.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "clipboard_text_types.h"
#include "served_text.h"
#include "xcb_handles.h"

namespace x11 {
namespace {

using Clock = std::chrono::steady_clock;

// Answers above this size go out in INCR chunks of this size, or of the
// server's request limit where that is smaller.
constexpr std::size_t kLargestChunk = 256 * 1024;
constexpr int kOwnershipAttempts = 3;
constexpr char kWindowName[] = "text-to-md5 clipboard";
constexpr xcb_atom_t kNoAtom = XCB_ATOM_NONE;
constexpr xcb_window_t kNoWindow = XCB_WINDOW_NONE;

struct ConnectionDeleter {
  void operator()(xcb_connection_t* connection) const {
    xcb_disconnect(connection);
  }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionDeleter>;

enum AtomName {
  kClipboard,
  kClipboardManager,
  kTargets,
  kTimestamp,
  kIncr,
  kUtf8String,
  kNetWmPid,
  kAtomCount
};
constexpr std::array<const char*, kAtomCount> kAtomNames = {
    "CLIPBOARD", "CLIPBOARD_MANAGER", "TARGETS",    "TIMESTAMP",
    "INCR",      "UTF8_STRING",       "_NET_WM_PID"};
using Atoms = std::array<xcb_atom_t, kAtomCount>;

// The atoms of names, asked for in one round trip.
template <std::size_t count>
std::array<xcb_atom_t, count> InternAtoms(
    xcb_connection_t* connection, const std::array<const char*, count>& names) {
  std::array<xcb_intern_atom_cookie_t, count> cookies;
  for (std::size_t i = 0; i < count; ++i) {
    cookies[i] = xcb_intern_atom(
        connection, 0, static_cast<std::uint16_t>(std::strlen(names[i])),
        names[i]);
  }
  std::array<xcb_atom_t, count> atoms{};
  for (std::size_t i = 0; i < count; ++i) {
    XcbPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookies[i], nullptr));
    atoms[i] = reply ? reply->atom : kNoAtom;
  }
  return atoms;
}

xcb_window_t SelectionOwner(xcb_connection_t* connection,
                            xcb_atom_t selection) {
  XcbPtr<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, selection), nullptr));
  return reply ? reply->owner : kNoWindow;
}

// ICCCM's STRING is ISO 8859-1: characters beyond it become "?".
std::string Utf8ToLatin1(std::string_view utf8) {
  std::string latin1;
  latin1.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      latin1.push_back(static_cast<char>(lead));
      ++i;
    } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
      const auto trail = static_cast<unsigned char>(utf8[i + 1]);
      latin1.push_back(static_cast<char>((lead & 0x1F) << 6 | (trail & 0x3F)));
      i += 2;
    } else {
      latin1.push_back('?');
      // Skip the character's continuation bytes.
      for (++i; i < utf8.size() && (utf8[i] & 0xC0) == 0x80; ++i) {
      }
    }
  }
  return latin1;
}

// One text target: what a requestor asks for, the type of the answer, and
// which encoding of the text it carries.
struct TextTarget {
  xcb_atom_t target;
  xcb_atom_t type;
  bool latin1;
};
using TextTargets = std::array<TextTarget, clipboard::kTextTypes.size()>;

// ICCCM's STRING is answered in ISO 8859-1 and its TEXT as UTF8_STRING; every
// other name in UTF-8 under its own name.
TextTargets MakeTextTargets(xcb_connection_t* connection,
                            xcb_atom_t utf8_string) {
  const auto atoms = InternAtoms(connection, clipboard::kTextTypes);
  TextTargets targets{};
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const std::string_view name = clipboard::kTextTypes[i];
    targets[i] = {atoms[i], name == "TEXT" ? utf8_string : atoms[i],
                  name == "STRING"};
  }
  return targets;
}

// An INCR transfer in progress: the requestor deletes the property to ask
// for the next chunk; a chunk of length 0 ends the transfer.
struct Transfer {
  xcb_window_t requestor;
  xcb_atom_t property;
  xcb_atom_t type;
  const std::string* bytes;
  std::size_t sent;
  Clock::time_point last_activity;
};

class ClipboardServer {
 public:
  ClipboardServer(xcb_connection_t* connection, std::string utf8_text)
      : connection_(connection),
        atoms_(InternAtoms(connection, kAtomNames)),
        utf8_(std::move(utf8_text)),
        text_targets_(MakeTextTargets(connection, atoms_[kUtf8String])),
        chunk_size_(std::min<std::size_t>(
            kLargestChunk,
            std::size_t{xcb_get_maximum_request_length(connection)} * 4 - 64)) {
  }

  ServeOutcome Run(const std::function<void()>& on_owned) {
    if (SelectionOwner(connection_, atoms_[kClipboardManager]) != kNoWindow) {
      return ServeOutcome::kClipboardManagerRuns;
    }
    if (!TakeSelection()) return ServeOutcome::kNotTaken;
    on_owned();
    return ServeUntilDone();
  }

 private:
  void CreateWindow() {
    window_ = CreatePropertyWindow(connection_);
    const auto pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_,
                        atoms_[kNetWmPid], XCB_ATOM_CARDINAL, 32, 1, &pid);
  }

  // The server's current time, read from a property change on our window:
  // selection ownership must not be taken with CurrentTime.
  xcb_timestamp_t ServerTime() {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_,
                        XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof kWindowName - 1, kWindowName);
    xcb_flush(connection_);
    while (XcbPtr<xcb_generic_event_t> event{xcb_wait_for_event(connection_)}) {
      if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) continue;
      const auto* notify =
          reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
      if (notify->window == window_ && notify->atom == XCB_ATOM_WM_NAME) {
        return notify->time;
      }
    }
    return XCB_CURRENT_TIME;
  }

  // A property change reports the server time of its last update, which may
  // lag behind the time at which another client just took the selection; the
  // refused attempt updates it, so a second attempt gets a current time.
  bool TakeSelection() {
    CreateWindow();
    for (int attempt = 0; attempt < kOwnershipAttempts && !owned_; ++attempt) {
      owned_since_ = ServerTime();
      xcb_set_selection_owner(connection_, window_, atoms_[kClipboard],
                              owned_since_);
      owned_ = SelectionOwner(connection_, atoms_[kClipboard]) == window_;
    }
    return owned_;
  }

  ServeOutcome ServeUntilDone() {
    // Transfers under way when the selection is lost are still completed.
    while (owned_ || !transfers_.empty()) {
      xcb_flush(connection_);
      XcbPtr<xcb_generic_event_t> event(xcb_poll_for_event(connection_));
      if (xcb_connection_has_error(connection_)) {
        return ServeOutcome::kConnectionClosed;
      }
      if (event) {
        Dispatch(*event);
      } else {
        WaitForEvents();
        DropStalledTransfers();
      }
    }
    return ServeOutcome::kSelectionLost;
  }

  void WaitForEvents() {
    pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
    const int timeout_ms = transfers_.empty() ? -1 : 1000;
    poll(&descriptor, 1, timeout_ms);
  }

  void Dispatch(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7F) {
      case XCB_SELECTION_REQUEST:
        Answer(reinterpret_cast<const xcb_selection_request_event_t&>(event));
        break;
      case XCB_SELECTION_CLEAR: {
        const auto& clear =
            reinterpret_cast<const xcb_selection_clear_event_t&>(event);
        if (clear.selection == atoms_[kClipboard]) owned_ = false;
        break;
      }
      case XCB_PROPERTY_NOTIFY:
        SendNextChunk(
            reinterpret_cast<const xcb_property_notify_event_t&>(event));
        break;
      default:  // errors for requestors that went away, among others
        break;
    }
  }

  void Answer(const xcb_selection_request_event_t& request) {
    // Obsolete clients name no property; the target then serves as one.
    const xcb_atom_t property =
        request.property != kNoAtom ? request.property : request.target;
    // Qt and GTK read every answer through one property per window, so a
    // new request on it means any transfer still there was abandoned.
    DropTransfers(request.requestor, property);
    const bool converted = owned_ &&
                           RequestIsCurrent(request.time, owned_since_) &&
                           request.selection == atoms_[kClipboard] &&
                           Convert(request.requestor, request.target, property);
    Notify(request, converted ? property : kNoAtom);
  }

  bool Convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property) {
    if (target == atoms_[kTargets]) {
      std::vector<xcb_atom_t> targets = {atoms_[kTargets], atoms_[kTimestamp]};
      for (const TextTarget& text : text_targets_) {
        targets.push_back(text.target);
      }
      ChangeProperty(requestor, property, XCB_ATOM_ATOM, 32, targets.size(),
                     targets.data());
      return true;
    }
    if (target == atoms_[kTimestamp]) {
      ChangeProperty(requestor, property, XCB_ATOM_INTEGER, 32, 1,
                     &owned_since_);
      return true;
    }
    const auto text = std::find_if(
        text_targets_.begin(), text_targets_.end(),
        [target](const TextTarget& entry) { return entry.target == target; });
    if (text == text_targets_.end()) return false;
    const std::string& bytes = text->latin1 ? Latin1() : utf8_;
    if (bytes.size() <= chunk_size_) {
      ChangeProperty(requestor, property, text->type, 8, bytes.size(),
                     bytes.data());
    } else {
      StartIncr(requestor, property, text->type, bytes);
    }
    return true;
  }

  // The text as ISO 8859-1, made when first asked for.
  const std::string& Latin1() {
    if (!latin1_) latin1_ = Utf8ToLatin1(utf8_);
    return *latin1_;
  }

  void StartIncr(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type,
                 const std::string& bytes) {
    SelectPropertyChanges(requestor, true);
    // The INCR value is a lower bound on the size.
    const auto size_hint = static_cast<std::uint32_t>(std::min<std::size_t>(
        bytes.size(), std::numeric_limits<std::uint32_t>::max()));
    ChangeProperty(requestor, property, atoms_[kIncr], 32, 1, &size_hint);
    transfers_.push_back({requestor, property, type, &bytes, 0, Clock::now()});
  }

  void SendNextChunk(const xcb_property_notify_event_t& notify) {
    if (notify.state != XCB_PROPERTY_DELETE) return;
    const auto transfer = std::find_if(
        transfers_.begin(), transfers_.end(), [&notify](const Transfer& t) {
          return t.requestor == notify.window && t.property == notify.atom;
        });
    if (transfer == transfers_.end()) return;
    const std::size_t length =
        std::min(chunk_size_, transfer->bytes->size() - transfer->sent);
    ChangeProperty(transfer->requestor, transfer->property, transfer->type, 8,
                   length, transfer->bytes->data() + transfer->sent);
    transfer->sent += length;
    transfer->last_activity = Clock::now();
    if (length == 0) Finish(transfer);
  }

  void DropStalledTransfers() {
    const auto now = Clock::now();
    FinishEach([now](const Transfer& t) {
      return now - t.last_activity > selection::kStalledReaderLimit;
    });
  }

  void DropTransfers(xcb_window_t requestor, xcb_atom_t property) {
    FinishEach([requestor, property](const Transfer& t) {
      return t.requestor == requestor && t.property == property;
    });
  }

  template <typename Predicate>
  void FinishEach(Predicate matches) {
    // Finish invalidates iterators: search again from the start each time.
    auto transfer = std::find_if(transfers_.begin(), transfers_.end(), matches);
    while (transfer != transfers_.end()) {
      Finish(transfer);
      transfer = std::find_if(transfers_.begin(), transfers_.end(), matches);
    }
  }

  void Finish(std::vector<Transfer>::iterator transfer) {
    const xcb_window_t requestor = transfer->requestor;
    transfers_.erase(transfer);
    const bool still_used = std::any_of(
        transfers_.begin(), transfers_.end(),
        [requestor](const Transfer& t) { return t.requestor == requestor; });
    if (!still_used) SelectPropertyChanges(requestor, false);
  }

  void SelectPropertyChanges(xcb_window_t window, bool on) {
    const std::uint32_t mask = on ? XCB_EVENT_MASK_PROPERTY_CHANGE : 0;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
  }

  void ChangeProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                      std::uint8_t format, std::size_t count,
                      const void* data) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property,
                        type, format, static_cast<std::uint32_t>(count), data);
  }

  void Notify(const xcb_selection_request_event_t& request,
              xcb_atom_t property) {
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(connection_, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
  }

  xcb_connection_t* connection_;
  const Atoms atoms_;
  const std::string utf8_;
  std::optional<std::string> latin1_;
  const TextTargets text_targets_;
  const std::size_t chunk_size_;
  xcb_window_t window_ = kNoWindow;
  xcb_timestamp_t owned_since_ = XCB_CURRENT_TIME;
  bool owned_ = false;
  std::vector<Transfer> transfers_;
};

}  // namespace

ServeOutcome ServeClipboard(const std::string& display, std::string utf8_text,
                            const std::function<void()>& on_owned) {
  Connection connection(xcb_connect(display.c_str(), nullptr));
  if (xcb_connection_has_error(connection.get())) {
    return ServeOutcome::kNoDisplay;
  }
  return ClipboardServer(connection.get(), std::move(utf8_text)).Run(on_owned);
}

bool RequestIsCurrent(std::uint32_t request_time, std::uint32_t owned_since) {
  return request_time == XCB_CURRENT_TIME ||
         static_cast<std::int32_t>(request_time - owned_since) >= 0;
}

}  // namespace x11
