#include "config/ConfigText.h"

#include "config/TextEncoding.h"
#include "config/iconv_adapter.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

ConvertedText ConvertIntoBuffer(const char* toEncoding, const char* fromEncoding,
                                const std::string& text, size_t bufferSize, size_t capacity)
{
    std::vector<char> buffer(bufferSize + 1, '\0');  // the extra byte keeps a full buffer terminated
    ConvertedText result;
    result.complete = ConvertText(toEncoding, fromEncoding, text.c_str(), text.size(),
                                  buffer.data(), std::min(capacity, bufferSize)) == 0;
    result.text = buffer.data();
    return result;
}

// A GBK byte becomes at most three UTF-8 bytes (the single byte 0x80 is the euro sign).
ConvertedText GbkToUtf8(const std::string& gbk)
{
    size_t size = 3 * gbk.size() + 1;
    return ConvertIntoBuffer("UTF-8", "GBK", gbk, size, size - 1);
}

// The command read from srv.xml: three bytes for each byte read, all but the last offered, so
// the text stays terminated. No character takes more bytes in GBK than in UTF-8.
ConvertedText Utf8ToGbk(const std::string& utf8)
{
    size_t size = 3 * utf8.size();
    return ConvertIntoBuffer("GBK", "UTF-8", utf8, size, size - 1);
}

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LittleEndianMark[] = "\xFF\xFE";
const char kUtf16BigEndianMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* start)
{
    return bytes.compare(0, std::strlen(start), start) == 0;
}

ConvertedText Utf8OfUtf16(const std::string& bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return {};
    std::wstring wide(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const unsigned char first = bytes[2 * i], second = bytes[2 * i + 1];
        wide[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    if (wide.empty())
        return ConvertedText{{}, true};
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, &utf8[0], size,
                        nullptr, nullptr);
    return ConvertedText{utf8, true};
}

}  // namespace

bool StartsWithByteOrderMark(const std::string& bytes)
{
    return StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LittleEndianMark) ||
           StartsWith(bytes, kUtf16BigEndianMark);
}

ConvertedText Utf8WithoutByteOrderMark(const std::string& bytes)
{
    if (StartsWith(bytes, kUtf8Mark))
        return ConvertedText{bytes.substr(std::strlen(kUtf8Mark)), true};
    const bool bigEndian = StartsWith(bytes, kUtf16BigEndianMark);
    if (!bigEndian && !StartsWith(bytes, kUtf16LittleEndianMark))
        return {};
    return Utf8OfUtf16(bytes.substr(2), bigEndian);
}

namespace {

// Reads the same in UTF-8 and GBK; a zero byte would end the converted text, so it does not
// count.
bool IsPlainAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c > 0 && static_cast<unsigned char>(c) < 0x80;
    });
}

// The first byte of a UTF-8 character and the continuation bytes behind it.
size_t Utf8CharacterLength(const char* text, size_t left)
{
    size_t length = 1;
    while (length < left && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

}  // namespace

// iconv stops before a character that GBK lacks; it becomes '?' and the conversion goes on
// behind it. No character takes more bytes in GBK than in UTF-8, nor does '?'.
std::string Utf8ToGbkForDisplay(const std::string& utf8)
{
    if (IsPlainAscii(utf8))
        return utf8;
    iconv_t converter = iconv_open("GBK", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string gbk(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* out = &gbk[0];
    size_t outLeft = gbk.size();
    while (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) &&
           inLeft > 0 && outLeft > 0) {
        *out++ = '?';
        --outLeft;
        const size_t skipped = Utf8CharacterLength(in, inLeft);
        in += skipped;
        inLeft -= skipped;
    }
    iconv_close(converter);
    gbk.resize(gbk.size() - outLeft);
    return gbk;
}

std::string Utf8CommandForBuffer(const std::string& gbkCommand, size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    return ConvertIntoBuffer("UTF-8", "GBK", gbkCommand, bufferSize, bufferSize - 1).text;
}

size_t DefaultCommandBufferSize()
{
    return std::max<size_t>(260, 2 * std::strlen(GetCommandLineA()));
}
