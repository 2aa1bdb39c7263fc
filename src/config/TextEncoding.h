#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Converts between the encodings "GBK" and "UTF-8" through iconv. Zero-fills the first
// outputCapacity bytes, then converts; returns 0, or -1 when the converter cannot be opened
// (output untouched) or the conversion stopped (what was converted before stays).
// A null input flushes the converter's shift state.
int ConvertText(const char* toEncoding, const char* fromEncoding, const char* input,
                size_t inputLength, char* output, size_t outputCapacity);

// The text a code-page conversion gave; null for a null input.
template <class Char>
class PlatformConversion {
public:
    const Char* c_str() const { return m_present ? m_text.c_str() : nullptr; }

protected:
    explicit PlatformConversion(bool present) : m_present(present) {}
    std::basic_string<Char> m_text;

private:
    bool m_present;
};

// Narrow (thread ANSI code page) to UTF-16. A failing platform conversion throws
// std::system_error holding HRESULT_FROM_WIN32 of the last error.
class NarrowToWide : public PlatformConversion<wchar_t> {
public:
    explicit NarrowToWide(const char* text);
};

// UTF-16 to narrow (thread ANSI code page); throws as NarrowToWide.
class WideToNarrow : public PlatformConversion<char> {
public:
    explicit WideToNarrow(const wchar_t* text);
};
