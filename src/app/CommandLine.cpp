#include "app/CommandLine.h"

namespace {

bool IsDigitsOnly(const std::string& text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

}  // namespace

// strtok's rules: runs of dots separate, leading and trailing dots vanish.
int SplitAtDots(const char* text, std::array<std::string, 4>& pieces)
{
    pieces.fill(std::string());
    if (!text)
        return 0;
    const std::string copy(text);
    int count = 0;
    size_t position = copy.find_first_not_of('.');
    while (position != std::string::npos) {
        if (count == static_cast<int>(pieces.size()))
            break;  // a fifth piece: the first four are all we keep
        size_t end = copy.find('.', position);
        pieces[count++] = copy.substr(position, end == std::string::npos ? std::string::npos
                                                                          : end - position);
        position = end == std::string::npos ? end : copy.find_first_not_of('.', end);
    }
    return count;
}

bool IsAcceptedAddress(const char* text)
{
    std::array<std::string, 4> pieces;
    if (SplitAtDots(text, pieces) != 4)
        return false;
    for (const std::string& piece : pieces) {
        if (!IsDigitsOnly(piece))
            return false;
    }
    return true;
}
