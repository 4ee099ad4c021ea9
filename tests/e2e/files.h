#pragma once
// Files for tests: whole files read and written, and folders and program copies under the
// temporary folder for tests that delete the program, keep a settings file beside it or unpack
// files; each folder goes, with what it holds, when its object does.
#include <windows.h>

#include <string>

#include "harness.h"

namespace e2e {

inline std::wstring TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(ARRAYSIZE(temp), temp);
    return temp;
}

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole file, or "" when it cannot be read.
inline std::string FileBytes(const std::wstring& path) {
    HANDLE const file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

// Writes the file anew with these bytes.
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool const ok =
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

class ScratchFolder {
  public:
    explicit ScratchFolder(const std::wstring& name) : path_(TempFolder() + name) {
        Remove();
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    bool WriteFile(const std::wstring& name, const std::string& bytes) const {
        return WriteFileBytes(path_ + L"\\" + name, bytes);
    }

  private:
    void Remove() const { RemoveTree(path_); }
    // The folder with its files and folders.
    static void RemoveTree(const std::wstring& path) {
        // The "\\?\" form reaches folders however deep.
        std::wstring const folder = path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
        WIN32_FIND_DATAW found;
        HANDLE const search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring const name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring const file = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(file);
                    continue;
                }
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(file.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring path_;
};

// Folders of 40 letters nested under parent until the path has at least length characters; made
// through the "\\?\" form, which lifts the limit of 260.
inline std::wstring DeepFolder(const std::wstring& parent, size_t length) {
    std::wstring path = parent;
    while (path.size() < length) {
        path += L"\\" + std::wstring(40, wchar_t(L'a' + path.size() % 26));
        CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
    }
    return path;
}

// huepeek.exe copied under another name into a scratch folder.
class ProgramCopy {
  public:
    ProgramCopy(const std::wstring& folderName, const std::wstring& exeName)
        : folder_(folderName), exe_(folder_.Path() + L"\\" + exeName) {
        copied_ = CopyFileW(HuepeekPath().c_str(), exe_.c_str(), FALSE) != 0;
    }

    bool Copied() const { return copied_; }
    const ScratchFolder& Folder() const { return folder_; }
    const std::wstring& Exe() const { return exe_; }
    // Named like the exe with ".ini" for ".exe": the portable settings file.
    std::wstring SettingsFile() const { return exe_.substr(0, exe_.size() - 4) + L".ini"; }
    std::wstring SettingsFileName() const { return SettingsFile().substr(folder_.Path().size() + 1); }

  private:
    ScratchFolder folder_;
    std::wstring exe_;
    bool copied_ = false;
};

}  // namespace e2e
