#pragma once

// srv.xml as Notepad saves it: UTF-8 and "Unicode" (UTF-16) with a byte-order mark in front.

#include <optional>
#include <string>

bool StartsWithByteOrderMark(const std::string& bytes);

// Such a file's text in UTF-8 without its mark; nothing for bytes without a mark and for
// UTF-16 that does not convert (an odd length, an unpaired surrogate).
std::optional<std::string> Utf8WithoutByteOrderMark(std::string bytes);
