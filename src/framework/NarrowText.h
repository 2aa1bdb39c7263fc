#pragma once

#include <cstddef>

// Bytes of the character at text[i] of a narrow (ANSI code page) text: a lead byte takes its
// trail byte with it, and in GBK that trail byte may well be 0x5C, the backslash.
size_t CharacterLength(const char* text, size_t i);

// Where the last of the characters stands in a narrow text, never a trail byte; npos when
// none of them does.
size_t LastCharacterOf(const char* text, const char* characters);
