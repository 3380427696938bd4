#include "history/image_digest.h"

// The one-call hash functions are deprecated in favour of EVP, whose provider
// machinery adds two megabytes to telvorctl's resident memory for a digest of
// 3608 bytes per operation; these compute the same SHA-256 with none of it.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

namespace telvor {

std::string imageDigest(const SettingsImage& image)
{
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256_CTX context;
    SHA256_Init(&context);
    SHA256_Update(&context, image.bytes().data(), image.bytes().size());
    SHA256_Final(digest, &context);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

} // namespace telvor
