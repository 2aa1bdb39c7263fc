#include "config/TextEncoding.h"

#include "config/iconv_adapter.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// An iconv converter, closed when the holder goes.
class IconvHandle {
public:
    IconvHandle(const char* toEncoding, const char* fromEncoding)
        : m_converter(iconv_open(toEncoding, fromEncoding))
    {
    }
    ~IconvHandle()
    {
        if (IsOpen())
            iconv_close(m_converter);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return m_converter != reinterpret_cast<iconv_t>(-1); }
    // iconv's call; a null input flushes.
    size_t Convert(char** in, size_t* inLeft, char** out, size_t* outLeft) const
    {
        return in ? iconv(m_converter, in, inLeft, out, outLeft)
                  : iconv(m_converter, nullptr, nullptr, out, outLeft);
    }

private:
    iconv_t m_converter;
};

}  // namespace

int ConvertText(const char* toEncoding, const char* fromEncoding, const char* input,
                size_t inputLength, char* output, size_t outputCapacity)
{
    const IconvHandle converter(toEncoding, fromEncoding);
    if (!converter.IsOpen())
        return -1;
    std::memset(output, 0, outputCapacity);
    char* in = const_cast<char*>(input);
    size_t inLeft = inputLength;
    char* out = output;
    size_t outLeft = outputCapacity;
    const size_t result = converter.Convert(input ? &in : nullptr, &inLeft, &out, &outLeft);
    return result == static_cast<size_t>(-1) ? -1 : 0;
}

ConvertedText ConvertInBuffer(const char* toEncoding, const char* fromEncoding,
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
std::optional<std::string> WholeUtf8OfGbk(const std::string& gbk)
{
    const size_t size = 3 * gbk.size() + 1;
    ConvertedText utf8 = ConvertInBuffer("UTF-8", "GBK", gbk, size, size - 1);
    if (!utf8.complete)
        return std::nullopt;
    return std::move(utf8.text);
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
std::string GbkForDisplay(const std::string& utf8)
{
    if (IsPlainAscii(utf8))
        return utf8;
    const IconvHandle converter("GBK", "UTF-8");
    if (!converter.IsOpen())
        return {};
    std::string gbk(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* out = &gbk[0];
    size_t outLeft = gbk.size();
    while (converter.Convert(&in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) &&
           inLeft > 0 && outLeft > 0) {
        *out++ = '?';
        --outLeft;
        const size_t skipped = Utf8CharacterLength(in, inLeft);
        in += skipped;
        inLeft -= skipped;
    }
    gbk.resize(gbk.size() - outLeft);
    return gbk;
}

namespace {

// The platform's code-page conversions take the room of the output and give the units
// written, terminator included, or 0. The room given is always enough: a narrow byte never
// makes more than one UTF-16 unit, and no code page takes more than four bytes for one unit.
template <class Text, class Convert>
std::optional<Text> ConvertedByPlatform(int room, Convert convert)
{
    std::optional<Text> text(std::in_place, static_cast<size_t>(room), typename Text::value_type());
    const int written = convert(&(*text)[0], room);
    if (written == 0) {
        const DWORD error = GetLastError();
        text.reset();
        SetLastError(error);
        return text;
    }
    text->resize(static_cast<size_t>(written) - 1);
    return text;
}

}  // namespace

std::optional<std::wstring> WideOfNarrow(const char* text)
{
    if (!text)
        return std::nullopt;
    const int length = static_cast<int>(std::strlen(text)) + 1;
    return ConvertedByPlatform<std::wstring>(length, [&](wchar_t* out, int room) {
        return MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, out, room);
    });
}

std::optional<std::string> NarrowOfWide(const wchar_t* text)
{
    if (!text)
        return std::nullopt;
    const int length = static_cast<int>(std::wcslen(text)) + 1;
    return ConvertedByPlatform<std::string>(4 * length, [&](char* out, int room) {
        return WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, out, room, nullptr, nullptr);
    });
}
