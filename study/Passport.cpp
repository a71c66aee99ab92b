#include "study/Passport.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>

namespace uroflow {
namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// One character with the code 0..255 (Latin-1) as UTF-8.
void appendCodePoint(std::string& out, unsigned char code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Bytes as characters with those codes; a zero byte adds nothing.
std::string codesToUtf8(const Image& image, std::size_t offset, std::size_t length) {
    std::string out;
    for (std::size_t i = offset; i < offset + length; ++i) {
        if (image[i] != 0) appendCodePoint(out, image[i]);
    }
    return out;
}

}  // namespace

std::string cp1251ToUtf8(const std::string& bytes) {
    const Iconv cd(iconv_open("UTF-8", "CP1251"));
    if (cd.get() == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("The Windows-1251 converter is not available");
    }
    std::string out;
    for (const char byte : bytes) {
        if (byte == 0) continue;
        char in[1] = {byte};
        char converted[4];
        char* inPtr = in;
        char* outPtr = converted;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof converted;
        if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            // 0x98 has no character in Windows-1251: keep it visible as the control
            // character with the same code instead of losing it.
            appendCodePoint(out, static_cast<unsigned char>(byte));
            continue;
        }
        out.append(converted, outPtr);
    }
    return out;
}

std::string utf8ToCp1251(const std::string& text) {
    const Iconv cd(iconv_open("CP1251", "UTF-8"));
    if (cd.get() == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("The Windows-1251 converter is not available");
    }
    std::string out;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char converted[8];
        char* outPtr = converted;
        std::size_t outLeft = sizeof converted;
        // One character at a time, so a failure loses only that character.
        const std::size_t result = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(converted, outPtr);
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        out.push_back('?');
        if (errno == EILSEQ) {
            // Skip the whole character: its lead byte tells its length.
            const auto lead = static_cast<unsigned char>(*in);
            std::size_t length = 1;
            if (lead >= 0xF0)
                length = 4;
            else if (lead >= 0xE0)
                length = 3;
            else if (lead >= 0xC0)
                length = 2;
            length = std::min(length, inLeft);
            in += length;
            inLeft -= length;
        } else {
            break;  // EINVAL: a character cut off at the end
        }
    }
    return out;
}

Passport decodePassport(const Image& image) {
    Passport passport;
    if (image[kSexOffset] == 0) passport.sex = Sex::Female;
    if (image[kSexOffset] == 1) passport.sex = Sex::Male;
    passport.name = cp1251ToUtf8(
        std::string(image.begin() + kNameOffset, image.begin() + kNameOffset + kNameLength));
    passport.age = codesToUtf8(image, kAgeOffset, 2);
    passport.date = codesToUtf8(image, kDateOffset, 2) + "." +
                    codesToUtf8(image, kDateOffset + 2, 2) + "." +
                    codesToUtf8(image, kDateOffset + 4, 2);
    return passport;
}

}  // namespace uroflow
