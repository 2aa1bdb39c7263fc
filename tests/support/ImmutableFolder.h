#pragma once

#include <string>

// A folder made immutable (chattr +i) while the object lives: nothing in it can be created,
// renamed or deleted, not even by root. The destructor takes the flag back whatever happened
// before, or the build tree could not be removed any more.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::string& path);  // GBK, Windows form
    ~ImmutableFolder();
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    bool ok() const { return m_locked; }

private:
    std::wstring m_unixPath;
    bool m_locked = false;
};
