#pragma once

// srv.xml as Notepad saves it: UTF-8 and "Unicode" (UTF-16) with a byte-order mark in front.

#include <string>
#include <string_view>

bool StartsWithByteOrderMark(const std::string& bytes);

// Such a file's text in UTF-8 without its mark, made from the file's bytes as they are read,
// piece by piece, so the file is never held whole. A UTF-16 unit, surrogate pair or mark cut
// between two pieces is carried to the next.
class MarkedText {
public:
    // Appends the text of the next bytes of the file; false once they cannot be its text (no
    // mark, an unpaired surrogate), and from then on.
    bool Add(std::string_view bytes, std::string& text);
    // Appends what was carried; false also when the file ends inside a unit or a pair (an odd
    // length, a first half at the end).
    bool End(std::string& text);

private:
    enum class Form { Undecided, Utf8, Utf16LittleEndian, Utf16BigEndian };

    bool TakeMarks();
    bool Convert(std::string& text);
    bool ConvertUtf16(std::string& text);
    unsigned UnitAt(size_t offset) const;

    Form m_form = Form::Undecided;
    std::string m_carried;  // bytes not yet turned into text
};
