#include "win_test_util.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "win32/app.h"
#include "win32/system.h"

namespace testutil {

std::unique_ptr<cleaner::TFrm_Main> NewWizard() {
    DeleteFileA((win32::ProgramDirectory() + "JunkFile.dat").c_str());
    return std::make_unique<cleaner::TFrm_Main>();
}

void DeleteProductKey() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Pelmora Scourly"); }

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer(answer) {
    win32::SetMessageBoxAnswerer([this](const win32::MessageBoxCall& call) {
        calls.push_back(call);
        return this->answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    win32::SetMessageBoxAnswerer([](const win32::MessageBoxCall& call) {
        ADD_FAILURE() << "unexpected message box: " << call.text;
        return IDCANCEL;
    });
}

void RemoveTree(const std::string& folder) {
    std::string path = !folder.empty() && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void PumpAndIdle() {
    win32::App().ProcessMessages();
    win32::App().Idle();
}

}  // namespace testutil
