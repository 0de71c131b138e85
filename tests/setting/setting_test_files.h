// A scratch folder for the tests that need real files, removed with its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder() {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        path_ = std::string(base) + "ptrsetting" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(counter_++) + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }

    void Write(const std::string& name, const std::string& content) {
        HANDLE file = CreateFileA(Track(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }

    void Copy(const std::string& source, const std::string& name) { CopyFileA(source.c_str(), Track(name).c_str(), FALSE); }

private:
    std::string Track(const std::string& name) {
        files_.push_back(path_ + name);
        return files_.back();
    }

    static inline int counter_ = 0;
    std::string path_;
    std::vector<std::string> files_;
};

// The folder of this test program (the build's bin), ending in a backslash.
inline std::string TestProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of('\\') + 1);
}

// Where the build leaves the modules that do not ship in bin.
inline std::string ModulesFolder() { return TestProgramFolder() + "..\\modules\\"; }
