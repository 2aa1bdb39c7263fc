// A folder in which nothing can be created or deleted (chattr +i), for the refusals of a desktop.
#pragma once

#include <string>

// A new folder named "immutable" inside parent (Windows form, with its trailing backslash),
// which Lock makes immutable (chattr +i): nothing in it can then be created, renamed or
// deleted, not even by root. The destructor takes the flag back whatever happened, or the
// build tree could not be removed; scripts/wine-prefix.sh --stop does it for a test program
// that died first, by that name.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::string& parent);
    ~ImmutableFolder();
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;

    const std::string& path() const { return m_path; }
    bool Lock();

private:
    std::string m_path;
    std::wstring m_unixPath;
};
