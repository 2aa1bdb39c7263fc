#pragma once

// Conversions and names shared by the srv.xml operations.

#include <cstddef>
#include <string>

struct ConvertedText {
    std::string text;  // what was converted; empty when no converter could be opened
    bool complete = false;
};

// Converts into a zero-filled buffer of bufferSize bytes of which capacity are offered, as
// the callers of ConvertText do; the text ends at the first zero byte of the buffer.
ConvertedText ConvertIntoBuffer(const char* toEncoding, const char* fromEncoding,
                                const std::string& text, size_t bufferSize, size_t capacity);

// Whole-text conversions with room for any result.
ConvertedText GbkToUtf8(const std::string& gbk);
ConvertedText Utf8ToGbk(const std::string& utf8);

// Notepad puts a byte-order mark in front of the UTF-8 and "Unicode" (UTF-16) files it saves.
bool StartsWithByteOrderMark(const std::string& bytes);
// Such a file's text in UTF-8 without its mark; not complete for UTF-16 that does not convert
// (an odd length, an unpaired surrogate).
ConvertedText Utf8WithoutByteOrderMark(const std::string& bytes);

// Every character that GBK holds, and '?' for each one that it does not.
std::string Utf8ToGbkForDisplay(const std::string& utf8);

// The default command in UTF-8, cut before the first character that does not fit a buffer
// of bufferSize bytes with its terminator.
std::string Utf8CommandForBuffer(const std::string& gbkCommand, size_t bufferSize);

// Size of the default command's buffer: max(260, 2 x length of the process command line).
size_t DefaultCommandBufferSize();
