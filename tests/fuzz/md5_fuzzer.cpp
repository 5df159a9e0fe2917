// Digests arbitrary input with the engine and with OpenSSL, whole and as a
// prefix chosen by the input, and stops at the first disagreement.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "basMD5.h"
#include "openssl_md5.h"

namespace {

void ExpectSameDigest(std::span<const std::uint8_t> bytes, std::size_t count) {
  const std::string engine =
      basMD5::DigestBytesHex(bytes, static_cast<std::int32_t>(count));
  const std::string reference = OpenSslMd5Hex(bytes.first(count));
  if (engine != reference) {
    std::fprintf(stderr, "%zu of %zu bytes: engine %s, OpenSSL %s\n", count,
                 bytes.size(), engine.c_str(), reference.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // libFuzzer's inputs stay far below the engine's length limit.
  const std::span<const std::uint8_t> bytes(data, size);
  ExpectSameDigest(bytes, size);
  if (size > 0) ExpectSameDigest(bytes, data[0] % (size + 1));
  return 0;
}
