#pragma once

#include <cstddef>

// Bytes of the character at text[i] of a narrow (ANSI code page) text: a lead byte takes its
// trail byte with it, and in GBK that trail byte may well be 0x5C, the backslash.
size_t CharacterLength(const char* text, size_t i);
