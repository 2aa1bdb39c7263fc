#include "config/ConfigText.h"

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

bool IsSecondHalf(unsigned unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

void AppendUtf8(char32_t character, std::string& text)
{
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | character >> 6);
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        text += static_cast<char>(0xE0 | character >> 12);
        text += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | character >> 18);
        text += static_cast<char>(0x80 | (character >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
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

// Every whole unit and pair carried; an odd byte or a first half at the end stays.
bool MarkedText::ConvertUtf16(std::string& text)
{
    size_t offset = 0;
    for (; offset + 2 <= m_carried.size(); offset += 2) {
        const unsigned unit = UnitAt(offset);
        if (IsSecondHalf(unit))
            return false;
        if (!IsFirstHalf(unit)) {
            AppendUtf8(unit, text);
            continue;
        }
        if (offset + 4 > m_carried.size())
            break;
        const unsigned second = UnitAt(offset + 2);
        if (!IsSecondHalf(second))
            return false;
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (second - 0xDC00), text);
        offset += 2;
    }
    m_carried.erase(0, offset);
    return true;
}
