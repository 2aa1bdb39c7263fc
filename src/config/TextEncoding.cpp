#include "config/TextEncoding.h"

#include "config/iconv_adapter.h"

#include <cstring>
#include <cwchar>
#include <system_error>

int ConvertText(const char* toEncoding, const char* fromEncoding, const char* input,
                size_t inputLength, char* output, size_t outputCapacity)
{
    iconv_t cd = iconv_open(toEncoding, fromEncoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return -1;
    std::memset(output, 0, outputCapacity);
    char* in = const_cast<char*>(input);
    size_t inLeft = inputLength;
    char* out = output;
    size_t outLeft = outputCapacity;
    size_t result = input ? iconv(cd, &in, &inLeft, &out, &outLeft)
                          : iconv(cd, nullptr, nullptr, &out, &outLeft);
    iconv_close(cd);
    return result == static_cast<size_t>(-1) ? -1 : 0;
}

namespace {

[[noreturn]] void ThrowLastError()
{
    HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    throw std::system_error(static_cast<int>(hr), std::system_category());
}

// The platform's code-page conversions take the room of the output and give the units
// written, terminator included, or 0; given no room they tell the units needed. A first try
// with the room a text usually needs, a second with what the platform asks for.
template <class Text, class Convert>
Text ConvertWithRetry(int firstRoom, Convert convert)
{
    Text text(static_cast<size_t>(firstRoom), typename Text::value_type());
    int written = convert(&text[0], firstRoom);
    if (written == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = convert(nullptr, 0);
        text.assign(static_cast<size_t>(needed > 0 ? needed : 1), typename Text::value_type());
        written = convert(&text[0], static_cast<int>(text.size()));
    }
    if (written == 0)
        ThrowLastError();
    text.resize(static_cast<size_t>(written) - 1);
    return text;
}

}  // namespace

NarrowToWide::NarrowToWide(const char* text) : PlatformConversion(text != nullptr)
{
    if (!text)
        return;
    const int length = static_cast<int>(std::strlen(text)) + 1;
    m_text = ConvertWithRetry<std::wstring>(length, [&](wchar_t* out, int room) {
        return MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, out, room);
    });
}

WideToNarrow::WideToNarrow(const wchar_t* text) : PlatformConversion(text != nullptr)
{
    if (!text)
        return;
    const int length = static_cast<int>(std::wcslen(text)) + 1;
    m_text = ConvertWithRetry<std::string>(4 * length, [&](char* out, int room) {
        return WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, out, room, nullptr, nullptr);
    });
}
