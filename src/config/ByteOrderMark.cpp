#include "config/ByteOrderMark.h"

#include <windows.h>

#include <cstring>

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LittleEndianMark[] = "\xFF\xFE";
const char kUtf16BigEndianMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* start)
{
    return bytes.compare(0, std::strlen(start), start) == 0;
}

// The units behind the two bytes of the mark.
std::wstring Utf16Units(const std::string& bytes, bool bigEndian)
{
    std::wstring wide((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const unsigned char first = bytes[2 + 2 * i], second = bytes[3 + 2 * i];
        wide[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return wide;
}

std::optional<std::string> Utf8OfUtf16(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::nullopt;
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, &utf8[0], size,
                        nullptr, nullptr);
    return utf8;
}

}  // namespace

bool StartsWithByteOrderMark(const std::string& bytes)
{
    return StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LittleEndianMark) ||
           StartsWith(bytes, kUtf16BigEndianMark);
}

// The file's bytes go as soon as they are no longer needed: a large file is held twice at
// most, never three times.
std::optional<std::string> Utf8WithoutByteOrderMark(std::string bytes)
{
    if (StartsWith(bytes, kUtf8Mark)) {
        bytes.erase(0, std::strlen(kUtf8Mark));
        return bytes;
    }
    const bool bigEndian = StartsWith(bytes, kUtf16BigEndianMark);
    if ((!bigEndian && !StartsWith(bytes, kUtf16LittleEndianMark)) || bytes.size() % 2 != 0)
        return std::nullopt;
    const std::wstring wide = Utf16Units(bytes, bigEndian);
    std::string().swap(bytes);
    return Utf8OfUtf16(wide);
}
