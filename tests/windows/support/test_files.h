// Temporary folders and files for Windows-side tests.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

// A new empty folder under the temporary directory, removed with its content
// when the object goes.
class TempDir {
public:
    explicit TempDir(const std::wstring& hint = L"varkel");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

void writeFileBytes(const std::wstring& path, const std::string& bytes);
std::string readFileBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);
void makeDirectories(const std::wstring& path);
void copyFileOrFail(const std::wstring& from, const std::wstring& to);
// The user's temporary folder (GetTempPathW), with its trailing backslash.
std::wstring temporaryFolder();
// The folder of the running test program, without a trailing backslash.
std::wstring testProgramDirectory();
// UTF-8 <-> UTF-16 for test data and diagnostics.
std::string utf8(const std::wstring& text);
std::wstring wide(const std::string& utf8Text);
// Quotes a path for a command line.
std::wstring quoted(const std::wstring& path);

}  // namespace wintest
