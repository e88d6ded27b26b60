#include "tests/support/windows_child.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace testing_support {

namespace {

// The two ends of one anonymous pipe; the parent's end is not inherited.
struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
};

bool make_pipe(Pipe& pipe, bool parent_reads);
void close_handle(HANDLE& handle);
void write_all(HANDLE handle, const std::string& bytes);
void read_all(HANDLE handle, std::string* bytes);

}  // namespace

WindowsRun run_windows_child(const WindowsRunOptions& options) {
  WindowsRun run;
  Pipe input, output, errors;
  if (!make_pipe(input, false) || !make_pipe(output, true) || !make_pipe(errors, true)) {
    for (Pipe* pipe : {&input, &output, &errors}) {
      close_handle(pipe->read);
      close_handle(pipe->write);
    }
    return run;
  }

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.read;
  startup.hStdOutput = output.write;
  startup.hStdError = errors.write;
  PROCESS_INFORMATION process = {};
  std::string command_line = "\"" + options.program + "\"";
  run.started =
      ::CreateProcessA(options.program.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                       nullptr, options.directory.empty() ? nullptr : options.directory.c_str(),
                       &startup, &process) != 0;
  // The child has its own copies now; with ours closed, the pipes break
  // when it ends.
  close_handle(input.read);
  close_handle(output.write);
  close_handle(errors.write);
  if (options.output_unread) close_handle(output.read);
  if (!run.started) {
    close_handle(input.write);
    close_handle(output.read);
    close_handle(errors.read);
    return run;
  }

  std::thread writer([&] {
    write_all(input.write, options.input);
    close_handle(input.write);
  });
  std::thread output_reader([&] {
    if (output.read != nullptr) read_all(output.read, &run.output);
  });
  std::thread error_reader([&] { read_all(errors.read, &run.errors); });

  if (::WaitForSingleObject(process.hProcess, options.timeout_ms) != WAIT_OBJECT_0) {
    run.timed_out = true;
    ::TerminateProcess(process.hProcess, 255);
    ::WaitForSingleObject(process.hProcess, INFINITE);
  }
  DWORD status = 0;
  ::GetExitCodeProcess(process.hProcess, &status);
  run.status = status;
  writer.join();
  output_reader.join();
  error_reader.join();
  close_handle(output.read);
  close_handle(errors.read);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return run;
}

TempFolder::TempFolder() {
  char base[MAX_PATH + 1];
  DWORD n = ::GetTempPathA(sizeof base, base);
  std::string prefix = n > 0 && n < sizeof base ? std::string(base, n) : std::string(".\\");
  static std::atomic<unsigned> counter{0};
  for (;;) {
    char name[64];
    std::snprintf(name, sizeof name, "mathdrill-test-%lu-%u", ::GetCurrentProcessId(), counter++);
    path_ = prefix + name;
    if (::CreateDirectoryA(path_.c_str(), nullptr)) return;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return;  // tests then fail on its files
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ::DeleteFileA(file(found.cFileName).c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(path_.c_str());
}

bool file_exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string read_binary(const std::string& path) {
  std::string content;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  read_all(file, &content);
  ::CloseHandle(file);
  return content;
}

void write_binary(const std::string& path, const std::string& content) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  write_all(file, content);
  ::CloseHandle(file);
}

namespace {

// Creates an anonymous pipe whose child end is inheritable.
bool make_pipe(Pipe& pipe, bool parent_reads) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  if (!::CreatePipe(&pipe.read, &pipe.write, &inherit, 0)) return false;
  return ::SetHandleInformation(parent_reads ? pipe.read : pipe.write, HANDLE_FLAG_INHERIT, 0) != 0;
}

void close_handle(HANDLE& handle) {
  if (handle != nullptr) ::CloseHandle(handle);
  handle = nullptr;
}

// Writes until done or the reader is gone.
void write_all(HANDLE handle, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    DWORD size = static_cast<DWORD>(bytes.size() - done);
    if (!::WriteFile(handle, bytes.data() + done, size, &written, nullptr) || written == 0) return;
    done += written;
  }
}

// Reads until the end of the file or of the pipe.
void read_all(HANDLE handle, std::string* bytes) {
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(handle, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes->append(buffer, n);
}

}  // namespace

}  // namespace testing_support
