#include "config/iconv_adapter.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <new>

enum class Encoding { Gbk, Utf8 };

struct IconvConverter {
    Encoding from;
    Encoding to;
};

namespace {

constexpr UINT kCodePageGbk = 936;

// One decoded character, or why there is none.
struct Decoded {
    int error = 0;         // 0, EILSEQ or EINVAL
    size_t length = 0;     // input bytes it took
    char32_t code = 0;
};

bool ParseEncodingName(const char* name, Encoding& encoding)
{
    if (!name)
        return false;
    if (lstrcmpiA(name, "GBK") == 0) {
        encoding = Encoding::Gbk;
        return true;
    }
    if (lstrcmpiA(name, "UTF-8") == 0) {
        encoding = Encoding::Utf8;
        return true;
    }
    return false;
}

Decoded Fail(int error)
{
    Decoded d;
    d.error = error;
    return d;
}

Decoded Took(size_t length, char32_t code)
{
    Decoded d;
    d.length = length;
    d.code = code;
    return d;
}

bool IsGbkTrail(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Asks code page 936 for one character; fails for bytes it leaves unassigned.
bool Gbk936ToCode(const unsigned char* bytes, int length, char32_t& code)
{
    wchar_t wide[2] = {};
    int n = MultiByteToWideChar(kCodePageGbk, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                length, wide, 2);
    if (n != 1)
        return false;
    code = wide[0];
    return true;
}

Decoded DecodeGbk(const unsigned char* in, size_t left)
{
    unsigned char lead = in[0];
    if (lead < 0x80)
        return Took(1, lead);
    char32_t code = 0;
    if (lead == 0x80 || lead == 0xFF)
        return Gbk936ToCode(in, 1, code) ? Took(1, code) : Fail(EILSEQ);
    if (left < 2)
        return Fail(EINVAL);
    if (!IsGbkTrail(in[1]) || !Gbk936ToCode(in, 2, code))
        return Fail(EILSEQ);
    return Took(2, code);
}

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Sequence length announced by a lead byte, the old forms of five and six bytes included
// (as glibc reads them, so that their truncation at the end is incomplete, not invalid);
// 0 for a byte that cannot start a sequence.
size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    if (lead < 0xF8)
        return 4;
    if (lead < 0xFC)
        return 5;
    return lead < 0xFE ? 6 : 0;
}

bool IsScalarValue(char32_t code, size_t length)
{
    static const char32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length > 4 || code < lowest[length])
        return false;  // overlong, or beyond the four-byte forms
    return code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

Decoded DecodeUtf8(const unsigned char* in, size_t left)
{
    size_t length = Utf8SequenceLength(in[0]);
    if (length == 0)
        return Fail(EILSEQ);
    if (length == 1)
        return Took(1, in[0]);
    for (size_t i = 1; i < length && i < left; ++i) {
        if (!IsContinuation(in[i]))
            return Fail(EILSEQ);
    }
    if (left < length)
        return Fail(EINVAL);
    char32_t code = in[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        code = (code << 6) | (in[i] & 0x3F);
    return IsScalarValue(code, length) ? Took(length, code) : Fail(EILSEQ);
}

Decoded Decode(Encoding encoding, const unsigned char* in, size_t left)
{
    return encoding == Encoding::Gbk ? DecodeGbk(in, left) : DecodeUtf8(in, left);
}

// Bytes of the character in the target encoding; 0 when it has none there.
size_t EncodeGbk(char32_t code, unsigned char* out)
{
    if (code < 0x80) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    wchar_t wide = static_cast<wchar_t>(code);
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, &wide, 1,
                                reinterpret_cast<char*>(out), 2, nullptr, &usedDefault);
    return (n <= 0 || usedDefault) ? 0 : static_cast<size_t>(n);
}

size_t EncodeUtf8(char32_t code, unsigned char* out)
{
    if (code < 0x80) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (code >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (code >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (code >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    return 4;
}

size_t Encode(Encoding encoding, char32_t code, unsigned char* out)
{
    return encoding == Encoding::Gbk ? EncodeGbk(code, out) : EncodeUtf8(code, out);
}

size_t Failure(int error)
{
    errno = error;
    return static_cast<size_t>(-1);
}

}  // namespace

iconv_t iconv_open(const char* toCode, const char* fromCode)
{
    Encoding to{}, from{};
    if (!ParseEncodingName(toCode, to) || !ParseEncodingName(fromCode, from)) {
        errno = EINVAL;
        return reinterpret_cast<iconv_t>(-1);
    }
    iconv_t cd = new (std::nothrow) IconvConverter{from, to};
    if (!cd) {
        errno = ENOMEM;
        return reinterpret_cast<iconv_t>(-1);
    }
    return cd;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft)
{
    if (!cd || cd == reinterpret_cast<iconv_t>(-1))
        return Failure(EBADF);
    if (!inbuf || !*inbuf)
        return 0;
    auto* in = reinterpret_cast<const unsigned char*>(*inbuf);
    size_t inLeft = *inbytesleft;
    while (inLeft > 0) {
        Decoded d = Decode(cd->from, in, inLeft);
        if (d.error)
            return Failure(d.error);
        unsigned char bytes[4];
        size_t size = Encode(cd->to, d.code, bytes);
        if (size == 0)
            return Failure(EILSEQ);
        if (!outbuf || !*outbuf || !outbytesleft || size > *outbytesleft)
            return Failure(E2BIG);
        std::memcpy(*outbuf, bytes, size);
        *outbuf += size;
        *outbytesleft -= size;
        in += d.length;
        inLeft -= d.length;
        *inbuf += d.length;
        *inbytesleft = inLeft;
    }
    return 0;
}

int iconv_close(iconv_t cd)
{
    if (!cd || cd == reinterpret_cast<iconv_t>(-1)) {
        errno = EBADF;
        return -1;
    }
    delete cd;
    return 0;
}
