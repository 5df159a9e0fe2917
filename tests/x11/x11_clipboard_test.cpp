// The X11 clipboard server and holder against a real X server (run under
// tests/with-xvfb.sh), read by a small requestor as other programs would.

#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "clipboard_holder.h"
#include "clipboard_text_types.h"
#include "x11_clipboard_server.h"
#include "xcb_handles.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = 10s;

// The display that tests/with-xvfb.sh started.
std::string TestDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr ? display : "";
}

using x11::XcbPtr;

struct Answer {
  std::string type;
  std::string bytes;
  bool incremental = false;
};

// A requestor with a window of its own: asks for conversions of CLIPBOARD,
// follows INCR transfers, and takes selections.
class Requestor {
 public:
  Requestor() : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_)) std::abort();
    window_ = x11::CreatePropertyWindow(connection_);
    xcb_flush(connection_);
  }
  ~Requestor() { xcb_disconnect(connection_); }

  xcb_atom_t Atom(const std::string& name) {
    return x11::InternAtom(connection_, name);
  }

  std::string AtomName(xcb_atom_t atom) {
    XcbPtr<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(
        connection_, xcb_get_atom_name(connection_, atom), nullptr));
    return std::string(
        xcb_get_atom_name_name(reply.get()),
        static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())));
  }

  xcb_window_t Owner(const std::string& selection) {
    XcbPtr<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, Atom(selection)),
        nullptr));
    return reply->owner;
  }

  void Take(const std::string& selection) {
    xcb_set_selection_owner(connection_, window_, Atom(selection),
                            XCB_CURRENT_TIME);
    xcb_flush(connection_);
  }

  // CLIPBOARD converted to target, or nothing when the owner refuses. An
  // INCR transfer is read to its end, or given up after chunk_limit chunks.
  std::optional<Answer> Convert(
      const std::string& target,
      std::size_t chunk_limit = std::numeric_limits<std::size_t>::max()) {
    const xcb_atom_t property = Atom("TTM_TEST_ANSWER");
    xcb_convert_selection(connection_, window_, Atom("CLIPBOARD"), Atom(target),
                          property, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    const auto notify = WaitFor(XCB_SELECTION_NOTIFY);
    if (!notify) return std::nullopt;
    const auto* selection =
        reinterpret_cast<const xcb_selection_notify_event_t*>(notify.get());
    if (selection->property == XCB_ATOM_NONE) return std::nullopt;
    auto [type, bytes] = TakeProperty(property);
    if (type != Atom("INCR")) return Answer{AtomName(type), bytes};

    Answer answer{"", "", true};
    for (std::size_t chunks = 0; chunks < chunk_limit; ++chunks) {
      if (!WaitForNewValue(property)) return std::nullopt;
      auto [chunk_type, chunk] = TakeProperty(property);
      if (chunk.empty()) return answer;
      answer.type = AtomName(chunk_type);
      answer.bytes += chunk;
    }
    return answer;
  }

  std::vector<std::string> Targets() {
    std::vector<std::string> names;
    const auto answer = Convert("TARGETS");
    if (!answer) return names;
    const auto* atoms =
        reinterpret_cast<const xcb_atom_t*>(answer->bytes.data());
    for (std::size_t i = 0; i < answer->bytes.size() / sizeof(xcb_atom_t);
         ++i) {
      names.push_back(AtomName(atoms[i]));
    }
    return names;
  }

  // The _NET_WM_PID of the window that owns CLIPBOARD, or 0.
  pid_t ClipboardOwnerPid() {
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, Owner("CLIPBOARD"),
                         Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) != 4) return 0;
    return static_cast<pid_t>(*static_cast<const std::uint32_t*>(
        xcb_get_property_value(reply.get())));
  }

 private:
  std::pair<xcb_atom_t, std::string> TakeProperty(xcb_atom_t property) {
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 1, window_, property,
                         XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1FFFFFFF),
        nullptr));
    const int length = xcb_get_property_value_length(reply.get());
    const auto* value =
        static_cast<const char*>(xcb_get_property_value(reply.get()));
    xcb_flush(connection_);
    return {reply->type, std::string(value, static_cast<std::size_t>(length))};
  }

  bool WaitForNewValue(xcb_atom_t property) {
    while (const auto event = WaitFor(XCB_PROPERTY_NOTIFY)) {
      const auto* notify =
          reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
      if (notify->atom == property && notify->state == XCB_PROPERTY_NEW_VALUE) {
        return true;
      }
    }
    return false;
  }

  XcbPtr<xcb_generic_event_t> WaitFor(std::uint8_t type) {
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      XcbPtr<xcb_generic_event_t> event(xcb_poll_for_event(connection_));
      if (event && (event->response_type & 0x7F) == type) return event;
      if (!event) {
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        poll(&descriptor, 1, 100);
      }
    }
    return nullptr;
  }

  xcb_connection_t* connection_;
  xcb_window_t window_;
};

// Xvfb resets itself whenever its last client leaves, and refuses
// connections meanwhile; one connection for the whole run keeps it up.
class XServerKeptUp : public testing::Environment {
 public:
  void SetUp() override { connection_ = std::make_unique<Requestor>(); }
  void TearDown() override { connection_.reset(); }

 private:
  std::unique_ptr<Requestor> connection_;
};
const auto* const kXServerKeptUp =
    testing::AddGlobalTestEnvironment(new XServerKeptUp);

// ServeClipboard on a thread of its own, as the holder runs it.
class ServedClipboard {
 public:
  explicit ServedClipboard(std::string text)
      : outcome_(std::async(std::launch::async, [this, text] {
          return x11::ServeClipboard(TestDisplay(), text,
                                     [this] { owned_.set_value(); });
        })) {}

  // A test that stopped early still ends the server, or its thread would
  // never be joined.
  ~ServedClipboard() {
    if (outcome_.valid() &&
        outcome_.wait_for(0s) != std::future_status::ready) {
      Requestor().Take("CLIPBOARD");
    }
  }

  bool Owned() {
    return owned_.get_future().wait_for(kPatience) == std::future_status::ready;
  }

  std::optional<x11::ServeOutcome> Outcome() {
    if (outcome_.wait_for(kPatience) != std::future_status::ready) {
      return std::nullopt;
    }
    return outcome_.get();
  }

 private:
  std::promise<void> owned_;
  std::future<x11::ServeOutcome> outcome_;
};

const std::string kText = "Gr\u00FC\u00DFe, \u20AC5";
const std::string kTextInLatin1 =
    "Gr\xFC\xDF"
    "e, ?5";

struct TargetCase {
  const char* target;
  const char* type;
  const std::string* bytes;
};

class TextTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(TextTargetTest, ServesTheTextInTheTargetsEncoding) {
  ServedClipboard served(kText);
  ASSERT_TRUE(served.Owned());
  Requestor requestor;
  const auto answer = requestor.Convert(GetParam().target);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->type, GetParam().type);
  EXPECT_EQ(answer->bytes, *GetParam().bytes);
  EXPECT_FALSE(answer->incremental);
  requestor.Take("CLIPBOARD");
  EXPECT_EQ(served.Outcome(), x11::ServeOutcome::kSelectionLost);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTextTarget, TextTargetTest,
    testing::Values(TargetCase{"UTF8_STRING", "UTF8_STRING", &kText},
                    TargetCase{"TEXT", "UTF8_STRING", &kText},
                    TargetCase{"text/plain", "text/plain", &kText},
                    TargetCase{"text/plain;charset=utf-8",
                               "text/plain;charset=utf-8", &kText},
                    TargetCase{"STRING", "STRING", &kTextInLatin1}),
    [](const testing::TestParamInfo<TargetCase>& param_info) {
      std::string name = param_info.param.target;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(ClipboardServerTest, ListsItsTargetsAndRefusesOthers) {
  ServedClipboard served("abc");
  ASSERT_TRUE(served.Owned());
  Requestor requestor;
  std::vector<std::string> targets = {"TARGETS", "TIMESTAMP"};
  targets.insert(targets.end(), clipboard::kTextTypes.begin(),
                 clipboard::kTextTypes.end());
  EXPECT_EQ(requestor.Targets(), targets);
  EXPECT_FALSE(requestor.Convert("image/png"));
  requestor.Take("CLIPBOARD");
  EXPECT_EQ(served.Outcome(), x11::ServeOutcome::kSelectionLost);
}

// A text that needs a dozen INCR chunks; its bytes tell where they were cut.
std::string LargeText() {
  std::string large(3 * 1024 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) {
    large[i] = static_cast<char>('a' + i % 26);
  }
  return large;
}

TEST(ClipboardServerTest, SendsALargeTextInIncrementsWhole) {
  const std::string large = LargeText();
  ServedClipboard served(large);
  ASSERT_TRUE(served.Owned());
  Requestor requestor;
  const auto answer = requestor.Convert("UTF8_STRING");
  ASSERT_TRUE(answer);
  EXPECT_TRUE(answer->incremental);
  EXPECT_EQ(answer->type, "UTF8_STRING");
  EXPECT_EQ(answer->bytes.size(), large.size());
  EXPECT_TRUE(answer->bytes == large);
  requestor.Take("CLIPBOARD");
  EXPECT_EQ(served.Outcome(), x11::ServeOutcome::kSelectionLost);
}

// Qt and GTK read every answer through the same property of their window.
TEST(ClipboardServerTest, RestartsAnIncrTransferThatTheRequestorGaveUp) {
  const std::string large = LargeText();
  ServedClipboard served(large);
  ASSERT_TRUE(served.Owned());
  Requestor requestor;
  const auto given_up = requestor.Convert("UTF8_STRING", 2);
  ASSERT_TRUE(given_up);
  ASSERT_TRUE(given_up->incremental);
  ASSERT_LT(given_up->bytes.size(), large.size());

  const auto answer = requestor.Convert("UTF8_STRING");
  ASSERT_TRUE(answer);
  EXPECT_TRUE(answer->incremental);
  EXPECT_EQ(answer->bytes.size(), large.size());
  EXPECT_TRUE(answer->bytes == large);
  requestor.Take("CLIPBOARD");
  EXPECT_EQ(served.Outcome(), x11::ServeOutcome::kSelectionLost);
}

TEST(ClipboardServerTest, LeavesTheClipboardToARunningManager) {
  Requestor manager;
  manager.Take("CLIPBOARD_MANAGER");
  manager.Take("CLIPBOARD");
  const xcb_window_t owner = manager.Owner("CLIPBOARD");
  EXPECT_EQ(x11::ServeClipboard(TestDisplay(), "abc",
                                [] { ADD_FAILURE() << "took it"; }),
            x11::ServeOutcome::kClipboardManagerRuns);
  EXPECT_EQ(manager.Owner("CLIPBOARD"), owner);
}

TEST(ClipboardServerTest, ReportsAMissingDisplay) {
  EXPECT_EQ(x11::ServeClipboard("no-such-host-really:97", "abc", [] {}),
            x11::ServeOutcome::kNoDisplay);
}

struct TimeCase {
  std::uint32_t request;
  std::uint32_t owned_since;
  bool current;
};

TEST(ClipboardServerTest, AnswersOnlyRequestsMadeSinceItTookTheSelection) {
  constexpr TimeCase kCases[] = {
      {1000, 1000, true},
      {999, 1000, false},
      {XCB_CURRENT_TIME, 1000, true},
      {5, 0xFFFFFFF0, true},   // the server's clock wrapped around since
      {0xFFFFFFF0, 5, false},  // made before the clock wrapped around
  };
  for (const TimeCase& time : kCases) {
    EXPECT_EQ(x11::RequestIsCurrent(time.request, time.owned_since),
              time.current)
        << time.request << " since " << time.owned_since;
  }
}

// What ReceiveHandOver makes of bytes followed by the end of the stream: the
// session's mark, then the text.
std::optional<std::string> ReceivedHandOver(std::string_view bytes) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) std::abort();
  if (send(ends[0], bytes.data(), bytes.size(), 0) !=
      static_cast<ssize_t>(bytes.size())) {
    std::abort();
  }
  close(ends[0]);
  auto hand_over = standby::ReceiveHandOver(ends[1]);
  close(ends[1]);
  if (!hand_over) return std::nullopt;
  return std::string(1, static_cast<char>(hand_over->session)) +
         hand_over->utf8_text;
}

// The bytes that SendHandOver sends for a short text.
std::string SentHandOver(standby::Session session, std::string_view text) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) std::abort();
  if (!standby::SendHandOver(ends[0], session, text)) std::abort();
  close(ends[0]);
  std::string bytes(4096, '\0');
  const ssize_t size = recv(ends[1], bytes.data(), bytes.size(), MSG_WAITALL);
  close(ends[1]);
  bytes.resize(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
  return bytes;
}

// A program killed halfway through the hand-over leaves a part of it.
TEST(HandOverTest, HandsOverOnlyAWholeText) {
  for (const auto& [session, mark] :
       {std::pair{standby::Session::kX11, "X"},
        std::pair{standby::Session::kWayland, "W"}}) {
    const std::string whole = SentHandOver(session, "abc");
    EXPECT_EQ(ReceivedHandOver(whole), std::string(mark) + "abc");
    for (std::size_t size = 0; size < whole.size(); ++size) {
      EXPECT_EQ(ReceivedHandOver(whole.substr(0, size)), std::nullopt) << size;
    }
  }
}

// Reaps child within the patience limit; its exit status, or -1.
int WaitForExit(pid_t child) {
  const auto deadline = Clock::now() + kPatience;
  int status = 0;
  while (Clock::now() < deadline) {
    if (waitpid(child, &status, WNOHANG) == child) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(10ms);
  }
  return -1;
}

TEST(ClipboardHolderTest, KeepsTheTextDetachedUntilAnotherClientTakesIt) {
  Requestor requestor;
  pid_t holder_pid = 0;
  {
    standby::ClipboardHolder holder(TestDisplay(), false);
    ASSERT_TRUE(holder.Keep(standby::Session::kX11,
                            "900150983CD24FB0D6963F7D28E17F72"));
    holder_pid = requestor.ClipboardOwnerPid();
    ASSERT_GT(holder_pid, 0);
    EXPECT_EQ(holder_pid, holder.standby_pid());
  }
  EXPECT_EQ(getsid(holder_pid), holder_pid) << "not in a session of its own";
  const auto answer = requestor.Convert("UTF8_STRING");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->bytes, "900150983CD24FB0D6963F7D28E17F72");

  requestor.Take("CLIPBOARD");
  EXPECT_EQ(WaitForExit(holder_pid), 0);
}

TEST(ClipboardHolderTest, EndsWhenDismissedWithoutAText) {
  pid_t standby = -1;
  {
    standby::ClipboardHolder holder(TestDisplay(), false);
    standby = holder.standby_pid();
  }
  ASSERT_GT(standby, 0);
  EXPECT_EQ(WaitForExit(standby), 0);
}

// A caller that passed the program a pipe waits for its end; the standby must
// not keep it open for as long as it lives.
testing::AssertionResult StandbyLetsAPipeEnd() {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return testing::AssertionFailure() << "no pipe";
  pid_t standby = -1;
  bool ended = false;
  bool standby_lived = false;
  {
    standby::ClipboardHolder holder(TestDisplay(), false);
    standby = holder.standby_pid();
    close(pipe_ends[1]);
    pollfd reader{pipe_ends[0], POLLIN, 0};
    char byte = 0;
    ended =
        poll(&reader, 1,
             static_cast<int>(std::chrono::milliseconds(kPatience).count())) ==
            1 &&
        read(pipe_ends[0], &byte, 1) == 0;
    close(pipe_ends[0]);
    standby_lived = waitpid(standby, nullptr, WNOHANG) == 0;
  }
  if (!ended) return testing::AssertionFailure() << "the pipe was held open";
  if (!standby_lived) return testing::AssertionFailure() << "standby ended";
  if (WaitForExit(standby) != 0) {
    return testing::AssertionFailure() << "standby failed";
  }
  return testing::AssertionSuccess();
}

TEST(ClipboardHolderTest, StandbyKeepsNoInheritedDescriptor) {
  EXPECT_TRUE(StandbyLetsAPipeEnd());
}

// Makes close_range fail in this process and its children as on a kernel
// before 5.9; false where the kernel does not let us filter system calls.
bool RefuseCloseRange() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_close_range, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  const sock_fprog program{static_cast<unsigned short>(std::size(filter)),
                           filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

TEST(ClipboardHolderTest, StandbyKeepsNoInheritedDescriptorWithoutCloseRange) {
  constexpr int kNoFilter = 77;
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    if (!RefuseCloseRange()) _exit(kNoFilter);
    _exit(StandbyLetsAPipeEnd() ? EXIT_SUCCESS : EXIT_FAILURE);
  }
  const int status = WaitForExit(program);
  if (status == kNoFilter) GTEST_SKIP() << "cannot filter system calls";
  EXPECT_EQ(status, EXIT_SUCCESS);
}

// Bytes of address space that this process uses.
rlim_t AddressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  rlim_t pages = 0;
  statm >> pages;
  return pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

// Out of memory for a huge text, the standby must end at once, neither
// aborting nor unwinding into the program's main.
TEST(ClipboardHolderTest, StandbyWithoutMemoryForTheTextEndsCleanly) {
  constexpr rlim_t kRoom = rlim_t{32} << 20;
  constexpr int kUnwound = 3;
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = AddressSpaceInUse() + kRoom;
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  std::optional<standby::ClipboardHolder> holder;
  try {
    holder.emplace(TestDisplay(), false);
  } catch (...) {
    // The standby came out where the program goes on from main.
    _exit(kUnwound);
  }
  ASSERT_EQ(setrlimit(RLIMIT_AS, &saved), 0);
  EXPECT_FALSE(
      holder->Keep(standby::Session::kX11, std::string(2 * kRoom, 'x')));
  EXPECT_EQ(WaitForExit(holder->standby_pid()), EXIT_FAILURE);
}

// Started with its standard streams closed, the program's socket to the
// standby is one of descriptors 0-2, which the standby points at /dev/null.
TEST(ClipboardHolderTest, KeepsTheTextWhenStartedWithoutStandardStreams) {
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    close(STDIN_FILENO);
    close(STDOUT_FILENO);
    close(STDERR_FILENO);
    bool kept = false;
    {
      standby::ClipboardHolder holder(TestDisplay(), false);
      kept = holder.Keep(standby::Session::kX11, "abc");
    }
    _exit(kept ? EXIT_SUCCESS : EXIT_FAILURE);
  }
  ASSERT_EQ(WaitForExit(program), EXIT_SUCCESS);
  Requestor requestor;
  const auto answer = requestor.Convert("UTF8_STRING");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->bytes, "abc");
  requestor.Take("CLIPBOARD");
}

}  // namespace
