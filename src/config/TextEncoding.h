#pragma once

#include <windows.h>

#include <cstddef>

// Converts between the encodings "GBK" and "UTF-8" through iconv. Zero-fills the first
// outputCapacity bytes, then converts; returns 0, or -1 when the converter cannot be opened
// (output untouched) or the conversion stopped (what was converted before stays).
// A null input flushes the converter's shift state.
int ConvertText(const char* toEncoding, const char* fromEncoding, const char* input,
                size_t inputLength, char* output, size_t outputCapacity);

// Narrow (thread ANSI code page) to UTF-16, owning its result. A failing platform conversion
// throws std::system_error holding HRESULT_FROM_WIN32 of the last error.
class NarrowToWide {
public:
    explicit NarrowToWide(const char* text);
    ~NarrowToWide();
    NarrowToWide(const NarrowToWide&) = delete;
    NarrowToWide& operator=(const NarrowToWide&) = delete;
    // Null for a null input.
    const wchar_t* c_str() const;
private:
    wchar_t m_inline[128];
    wchar_t* m_heap = nullptr;
    const wchar_t* m_text = nullptr;
};

// UTF-16 to narrow (thread ANSI code page), owning its result; throws as NarrowToWide.
class WideToNarrow {
public:
    explicit WideToNarrow(const wchar_t* text);
    ~WideToNarrow();
    WideToNarrow(const WideToNarrow&) = delete;
    WideToNarrow& operator=(const WideToNarrow&) = delete;
    const char* c_str() const;
private:
    char m_inline[128];
    char* m_heap = nullptr;
    const char* m_text = nullptr;
};
