#include "history/image_digest.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace telvor {

std::string imageDigest(const SettingsImage& image)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(image.bytes().data(), image.bytes().size(), digest, &length, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int index = 0; index < length; ++index) {
        text += kDigits[digest[index] >> 4];
        text += kDigits[digest[index] & 0x0F];
    }
    return text;
}

} // namespace telvor
