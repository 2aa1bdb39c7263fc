#include "config/NarrowText.h"

#include <windows.h>

size_t CharacterLength(const char* text, size_t i)
{
    return (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && text[i + 1] != '\0') ? 2 : 1;
}
