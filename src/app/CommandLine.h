#pragma once

#include <array>
#include <string>

// Splits at dots with strtok's rules into at most four pieces; returns their number.
int SplitAtDots(const char* text, std::array<std::string, 4>& pieces);

// Four dot-separated pieces of digits only (a fifth piece and more are not looked at).
bool IsAcceptedAddress(const char* text);
