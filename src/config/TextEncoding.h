#pragma once

// Every conversion of the program's text: GBK and UTF-8 through iconv, the ANSI code page and
// UTF-16 through the platform. Each returns what it converted; none throws for a text that
// does not convert.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// Converts between the encodings "GBK" and "UTF-8" through iconv. Zero-fills the first
// outputCapacity bytes, then converts; returns 0, or -1 when the converter cannot be opened
// (output untouched) or the conversion stopped (what was converted before stays).
// A null input flushes the converter's shift state.
int ConvertText(const char* toEncoding, const char* fromEncoding, const char* input,
                size_t inputLength, char* output, size_t outputCapacity);

struct ConvertedText {
    std::string text;  // what was converted; empty when no converter could be opened
    bool complete = false;
};

// ConvertText into a zero-filled buffer of bufferSize bytes of which the first capacity are
// offered, as the srv.xml operations convert; the text ends at the first zero byte.
ConvertedText ConvertInBuffer(const char* toEncoding, const char* fromEncoding,
                              const std::string& text, size_t bufferSize, size_t capacity);

// GBK to UTF-8 with room for any result; nothing unless the whole text converted.
std::optional<std::string> WholeUtf8OfGbk(const std::string& gbk);

// UTF-8 to GBK for the window: every character that GBK holds, and '?' for each one that it
// does not.
std::string GbkForDisplay(const std::string& utf8);

// Narrow (thread ANSI code page) to UTF-16 and back; nothing for a null text or when the
// platform refuses, GetLastError() then telling why.
std::optional<std::wstring> WideOfNarrow(const char* text);
std::optional<std::string> NarrowOfWide(const wchar_t* text);
