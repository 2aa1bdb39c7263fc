#include "config/ByteOrderMark.h"

#include <windows.h>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
// Enough bytes to see the file's mark and a second one behind it.
constexpr size_t kMarksLength = 2 * kUtf8Mark.size();

bool StartsWith(std::string_view bytes, std::string_view start)
{
    return bytes.substr(0, start.size()) == start;
}

bool IsFirstHalf(unsigned unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}

// Appends the UTF-8 of the units; false for an unpaired surrogate among them.
bool AppendUtf8(const std::wstring& units, std::string& text)
{
    if (units.empty())
        return true;
    const int length = static_cast<int>(units.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, units.data(), length, nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return false;
    const size_t start = text.size();
    text.resize(start + static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, units.data(), length, &text[start], size, nullptr,
                        nullptr);
    return true;
}

}  // namespace

bool StartsWithByteOrderMark(const std::string& bytes)
{
    return StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LittleEndianMark) ||
           StartsWith(bytes, kUtf16BigEndianMark);
}

bool MarkedText::Add(std::string_view bytes, std::string& text)
{
    m_carried.append(bytes);
    if (m_form == Form::Undecided && m_carried.size() < kMarksLength)
        return true;
    return Convert(text);
}

bool MarkedText::End(std::string& text)
{
    return Convert(text) && m_carried.empty();
}

// The file's mark goes, and one more of the same kind behind it, as the library drops one
// mark in front of a text it parses from memory: an editor that puts its own mark in front of
// a marked text leaves two.
bool MarkedText::TakeMarks()
{
    std::string_view mark = kUtf8Mark;
    if (StartsWith(m_carried, kUtf8Mark))
        m_form = Form::Utf8;
    else if (StartsWith(m_carried, mark = kUtf16LittleEndianMark))
        m_form = Form::Utf16LittleEndian;
    else if (StartsWith(m_carried, mark = kUtf16BigEndianMark))
        m_form = Form::Utf16BigEndian;
    else
        return false;
    m_carried.erase(0, mark.size());
    if (StartsWith(m_carried, mark))
        m_carried.erase(0, mark.size());
    return true;
}

// Bytes that cannot be text stay carried, so every later call fails too.
bool MarkedText::Convert(std::string& text)
{
    if (m_form == Form::Undecided && !TakeMarks())
        return false;
    if (m_form != Form::Utf8)
        return ConvertUtf16(text);
    text += m_carried;  // checked by the library as any UTF-8 file is
    m_carried.clear();
    return true;
}

unsigned MarkedText::UnitAt(size_t offset) const
{
    const unsigned first = static_cast<unsigned char>(m_carried[offset]);
    const unsigned second = static_cast<unsigned char>(m_carried[offset + 1]);
    return m_form == Form::Utf16BigEndian ? first << 8 | second : second << 8 | first;
}

// Every whole unit carried, but a first half at the end, which waits for the rest of its pair.
bool MarkedText::ConvertUtf16(std::string& text)
{
    std::wstring units(m_carried.size() / 2, L'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<wchar_t>(UnitAt(2 * i));
    if (!units.empty() && IsFirstHalf(units.back()))
        units.pop_back();
    if (!AppendUtf8(units, text))
        return false;
    m_carried.erase(0, 2 * units.size());
    return true;
}
