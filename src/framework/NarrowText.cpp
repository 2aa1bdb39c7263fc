#include "framework/NarrowText.h"

#include <windows.h>

#include <cstring>
#include <string>

size_t CharacterLength(const char* text, size_t i)
{
    return (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && text[i + 1] != '\0') ? 2 : 1;
}

size_t LastCharacterOf(const char* text, const char* characters)
{
    size_t last = std::string::npos;
    for (size_t i = 0; text[i]; i += CharacterLength(text, i)) {
        if (std::strchr(characters, text[i]))
            last = i;
    }
    return last;
}
