// The engine against OpenSSL on random input: every short length, buffers of
// several MiB, and the block transform on random states.

#define OPENSSL_SUPPRESS_DEPRECATED  // MD5_Transform exposes the compression
#include <gtest/gtest.h>
#include <openssl/md5.h>

#include <cstdint>
#include <random>
#include <vector>

#include "basMD5.h"
#include "openssl_md5.h"
#include "transform.h"

namespace basMD5 {
namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
  return bytes;
}

// Each message in its own array of exactly its size, so that any read past
// the end shows under AddressSanitizer.
TEST(DigestBytesHexAgainstOpenSsl, AgreesOnEveryLengthUpTo1100) {
  std::mt19937 random(1321);
  for (std::size_t size = 0; size <= 1100; ++size) {
    const auto bytes = RandomBytes(size, random);
    ASSERT_EQ(DigestBytesHex(bytes, static_cast<std::int32_t>(size)),
              OpenSslMd5Hex(bytes))
        << size << " bytes";
  }
}

TEST(DigestBytesHexAgainstOpenSsl, AgreesOnBuffersOfSeveralMebibytes) {
  std::mt19937 random(2023);
  for (std::size_t size : {(2u << 20) + 37, 4u << 20}) {
    const auto bytes = RandomBytes(size, random);
    EXPECT_EQ(DigestBytesHex(bytes, static_cast<std::int32_t>(size)),
              OpenSslMd5Hex(bytes))
        << size << " bytes";
  }
}

TEST(DigestBytesHexAgainstOpenSsl, AgreesOnPrefixesOfALargerArray) {
  std::mt19937 random(7);
  const auto bytes = RandomBytes(300, random);
  for (std::int32_t count : {0, 1, 55, 56, 63, 64, 65, 128, 299}) {
    EXPECT_EQ(
        DigestBytesHex(bytes, count),
        OpenSslMd5Hex(std::span(bytes).first(static_cast<std::size_t>(count))))
        << count << " of 300 bytes";
  }
}

TEST(TransformBlockAgainstOpenSsl, AgreesOnRandomStatesAndBlocks) {
  std::mt19937 random(1992);
  for (int i = 0; i < 2000; ++i) {
    MD5_CTX reference;
    MD5_Init(&reference);
    reference.A = static_cast<MD5_LONG>(random());
    reference.B = static_cast<MD5_LONG>(random());
    reference.C = static_cast<MD5_LONG>(random());
    reference.D = static_cast<MD5_LONG>(random());
    DigestState state{
        static_cast<Word32>(reference.A), static_cast<Word32>(reference.B),
        static_cast<Word32>(reference.C), static_cast<Word32>(reference.D)};
    const auto block = RandomBytes(64, random);

    MD5_Transform(&reference, block.data());
    TransformBlock(state, block, 0);

    const DigestState expected{
        static_cast<Word32>(reference.A), static_cast<Word32>(reference.B),
        static_cast<Word32>(reference.C), static_cast<Word32>(reference.D)};
    ASSERT_EQ(state, expected) << "block " << i;
  }
}

}  // namespace
}  // namespace basMD5
