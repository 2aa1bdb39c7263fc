// Temporary folders and whole files for tests.
#pragma once

#include <string>
#include <vector>

// A fresh folder under the Windows temporary folder, removed with everything in it on
// destruction. name may hold GBK characters.
class TempDir {
public:
    explicit TempDir(const std::string& name = "zorvane");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path with a trailing backslash.
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Whole-file helpers for tests (binary, GBK paths).
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Names in a folder (trailing backslash), "." and ".." left out, in the order found.
std::vector<std::string> FolderEntries(const std::string& folder);

// This test program's full path (GBK).
std::string ExePath();

// A Unix path from the environment (ZORVANE_EXE, ...) as a Windows path on drive Z:.
std::string WinePathFromEnv(const char* variable);
