#include "program/system/FileDigest.h"

#include "platform/Exceptions.h"

#include <openssl/evp.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

namespace parvela {

namespace {

// A SHA-256 computation fed in pieces.
class TSha256 {
public:
    TSha256() : context_(EVP_MD_CTX_new(), EVP_MD_CTX_free) {
        if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
            throw EOSError("SHA-256 is not available");
    }

    void Add(const char* data, std::size_t size) { EVP_DigestUpdate(context_.get(), data, size); }

    // The digest as lower-case hexadecimal digits.
    std::string Hex() {
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest;
        unsigned int length = 0;
        EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
        static const char Digits[] = "0123456789abcdef";
        std::string text;
        for (unsigned int i = 0; i < length; ++i) {
            text += Digits[digest[i] >> 4];
            text += Digits[digest[i] & 0x0F];
        }
        return text;
    }

private:
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
};

} // namespace

std::string FileSha256(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw EOSError("Cannot read " + path + ": " + std::strerror(errno));
    TSha256 sha;
    std::array<char, 65536> buffer;
    while (file.read(buffer.data(), buffer.size()) || file.gcount() > 0)
        sha.Add(buffer.data(), static_cast<std::size_t>(file.gcount()));
    if (file.bad())
        throw EOSError("Cannot read " + path + ": " + std::strerror(errno));
    return sha.Hex();
}

std::string TextSha256(const std::string& text) {
    TSha256 sha;
    sha.Add(text.data(), text.size());
    return sha.Hex();
}

} // namespace parvela
