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
