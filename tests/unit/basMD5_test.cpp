#include "basMD5.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "raised_number.h"

namespace basMD5 {
namespace {

std::vector<std::uint8_t> BytesOf(std::string_view text) {
  return {text.begin(), text.end()};
}

std::string DigestOfBytes(const std::vector<std::uint8_t>& bytes) {
  return DigestBytesHex(bytes, static_cast<std::int32_t>(bytes.size()));
}

// The RFC 1321 test suite, digests in uppercase.
const struct {
  const char* message;
  const char* digest;
} kRfc1321Suite[] = {
    {"", "D41D8CD98F00B204E9800998ECF8427E"},
    {"a", "0CC175B9C0F1B6A831C399E269772661"},
    {"abc", "900150983CD24FB0D6963F7D28E17F72"},
    {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
    {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "D174AB98D277D9F5A5611C2C9F419D9F"},
    {"1234567890123456789012345678901234567890123456789012345678901234567890"
     "1234567890",
     "57EDF4A22BE3C955AC49DA2E2107B67A"},
};

TEST(DigestBytesHex, GivesTheRfc1321Digests) {
  for (const auto& c : kRfc1321Suite) {
    EXPECT_EQ(DigestOfBytes(BytesOf(c.message)), c.digest) << c.message;
  }
}

TEST(DigestTextHex, GivesTheRfc1321DigestsForAsciiText) {
  for (const auto& c : kRfc1321Suite) {
    const std::string_view message = c.message;
    const std::u16string text(message.begin(), message.end());
    EXPECT_EQ(DigestTextHex(text), c.digest) << c.message;
  }
}

// Tails around the 56 bytes where the length goes, alone and after a full
// block: one final block up to 55, two from 56 to 63.
TEST(DigestBytesHex, PadsEveryTailLength) {
  const struct {
    int count;
    const char* digest;
  } cases[] = {
      {55, "EF1772B6DFF9A122358552954AD0DF65"},
      {56, "3B0C8AC703F828B04C6C197006D17218"},
      {57, "652B906D60AF96844EBD21B674F35E93"},
      {63, "B06521F39153D618550606BE297466D5"},
      {64, "014842D480B571495A4A0363793F7367"},
      {65, "C743A45E0D2E6A95CB859ADAE0248435"},
      {119, "8A7BD0732ED6A28CE75F6DABC90E1613"},
      {120, "5F61C0CCAD4CAC44C75FF505E1F1E537"},
      {128, "E510683B3F5FFE4093D021808BC6FF70"},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> as(static_cast<std::size_t>(c.count), 'a');
    EXPECT_EQ(DigestOfBytes(as), c.digest) << c.count << " times 'a'";
  }
}

TEST(DigestBytesHex, KeepsTheLeadingZeroOfSmallBytes) {
  // Digest bytes 08, 05, 00, 0A and FF among others.
  EXPECT_EQ(DigestOfBytes(BytesOf("11923")),
            "08058BF500242562C0D031FF830AD094");
}

TEST(DigestBytesHex, DigestsOnlyTheFirstCountBytes) {
  EXPECT_EQ(DigestBytesHex(BytesOf("abcdef"), 3),
            "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(DigestBytesHex(std::vector<std::uint8_t>(100, 'x'), 0),
            "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(DigestBytesHex({}, 0), "D41D8CD98F00B204E9800998ECF8427E");
}

// Nothing of one digest (a state, a padded block) may reach the next.
TEST(DigestEntryPoints, StartEveryCallAfresh) {
  std::vector<std::uint8_t> bytes(200);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7);
  }
  for (int round = 1; round <= 2; ++round) {
    EXPECT_EQ(DigestBytesHex(bytes, 130), "ABAEA75D6D3ADD8C7898AB6E3B11E0AA")
        << "round " << round;
    EXPECT_EQ(DigestTextHex(u"message digest"),
              "F96B697D7CB7938D525A2F31AAF161D0")
        << "round " << round;
    EXPECT_EQ(DigestBytesHex(bytes, 200), "D96C89B9DA43F6903CEAA14A7166A22E")
        << "round " << round;
  }
}

// The length check comes before anything is read, so a tiny array shows that
// nothing is transformed: reading its "268,435,455 bytes" would be reported
// by AddressSanitizer.
TEST(DigestBytesHex, RefusesCountsOutsideTheContract) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const struct {
    std::size_t size;
    std::int32_t count;
    int error;
  } cases[] = {
      {3, 268435455, kErrOverflow},   {0, 268435455, kErrOverflow},
      {3, kMax, kErrOverflow},        {3, -1, kErrInvalidArgument},
      {3, kMin, kErrInvalidArgument}, {3, 4, kErrInvalidArgument},
      {0, 1, kErrInvalidArgument},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> bytes(c.size, 'a');
    EXPECT_EQ(RaisedNumber([&] { DigestBytesHex(bytes, c.count); }), c.error)
        << "count " << c.count << " of " << c.size << " bytes";
  }
}

// Slow by design (256 MiB through the double-based arithmetic, about ten
// seconds optimised): run with --gtest_also_run_disabled_tests.
TEST(DigestBytesHex, DISABLED_AcceptsTheLargestCount) {
  const std::vector<std::uint8_t> zeros(268435454);
  EXPECT_EQ(DigestOfBytes(zeros), "C8F1DF4D95ADD71FCEDFB833405BEC20");
}

}  // namespace
}  // namespace basMD5
