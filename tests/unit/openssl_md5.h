#pragma once
// OpenSSL's MD5 as the reference that the engine is compared with. Tests and
// the fuzzer only; the product never links OpenSSL.

#include <openssl/evp.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

// The digest text of bytes: 32 uppercase hexadecimal characters.
inline std::string OpenSslMd5Hex(std::span<const std::uint8_t> bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_md5(),
                 nullptr) != 1) {
    return "OpenSSL failed";
  }
  std::string text;
  for (unsigned int i = 0; i < size; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", digest[i]);
    text += hex;
  }
  return text;
}
