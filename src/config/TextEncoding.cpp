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

}  // namespace

NarrowToWide::NarrowToWide(const char* text)
{
    if (!text)
        return;
    int length = static_cast<int>(std::strlen(text)) + 1;
    wchar_t* buffer = m_inline;
    if (length > 128)
        buffer = m_heap = new wchar_t[length];
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, buffer, length);
    if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, nullptr, 0);
        delete[] m_heap;
        buffer = m_heap = new wchar_t[needed > 0 ? needed : 1];
        n = MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, buffer, needed);
    }
    if (n == 0) {
        delete[] m_heap;
        m_heap = nullptr;
        ThrowLastError();
    }
    m_text = buffer;
}

NarrowToWide::~NarrowToWide()
{
    delete[] m_heap;
}

const wchar_t* NarrowToWide::c_str() const
{
    return m_text;
}

WideToNarrow::WideToNarrow(const wchar_t* text)
{
    if (!text)
        return;
    int length = static_cast<int>(std::wcslen(text)) + 1;
    int capacity = 4 * length;
    char* buffer = m_inline;
    if (capacity > 128)
        buffer = m_heap = new char[capacity];
    int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, buffer, capacity, nullptr, nullptr);
    if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        int needed = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
        delete[] m_heap;
        buffer = m_heap = new char[needed > 0 ? needed : 1];
        n = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, buffer, needed, nullptr, nullptr);
    }
    if (n == 0) {
        delete[] m_heap;
        m_heap = nullptr;
        ThrowLastError();
    }
    m_text = buffer;
}

WideToNarrow::~WideToNarrow()
{
    delete[] m_heap;
}

const char* WideToNarrow::c_str() const
{
    return m_text;
}
