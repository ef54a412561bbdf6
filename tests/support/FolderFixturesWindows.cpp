#include <windows.h>

#include <filesystem>
#include <string>

#include "support/FolderFixtures.h"

namespace kitebar::test {

struct LockHolder::Process {
  PROCESS_INFORMATION information{};
  HANDLE release = nullptr;  // the holder's stdin: closing it lets the lock go
};

namespace {

std::filesystem::path HolderProgram() {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(std::wstring(self, length)).parent_path() /
         L"kitebar_lock_holder.exe";
}

}  // namespace

LockHolder::LockHolder() : process_(std::make_unique<Process>()) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE stdinRead = nullptr;
  HANDLE stdoutWrite = nullptr;
  HANDLE stdoutRead = nullptr;
  if (::CreatePipe(&stdinRead, &process_->release, &inherited, 0) == 0)
    return;
  if (::CreatePipe(&stdoutRead, &stdoutWrite, &inherited, 0) == 0)
    return;
  // The parent's ends stay out of the child.
  ::SetHandleInformation(process_->release, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(stdoutRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = stdinRead;
  startup.hStdOutput = stdoutWrite;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  const std::filesystem::path program = HolderProgram();
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  const bool started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process_->information) != 0;
  ::CloseHandle(stdinRead);
  ::CloseHandle(stdoutWrite);
  // Returns once the lock is held: the holder says so with one byte.
  char byte = 0;
  DWORD got = 0;
  if (started)
    ::ReadFile(stdoutRead, &byte, 1, &got, nullptr);
  ::CloseHandle(stdoutRead);
}

LockHolder::~LockHolder() {
  if (process_->release != nullptr)
    ::CloseHandle(process_->release);
  if (process_->information.hProcess != nullptr) {
    ::WaitForSingleObject(process_->information.hProcess, 20000);
    ::CloseHandle(process_->information.hThread);
    ::CloseHandle(process_->information.hProcess);
  }
}

}  // namespace kitebar::test
