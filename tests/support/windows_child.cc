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

std::wstring wide(const std::string& text);
std::wstring command_line(const WindowsRunOptions& options);
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

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.read;
  startup.hStdOutput = output.write;
  startup.hStdError = errors.write;
  PROCESS_INFORMATION process = {};
  std::wstring line = command_line(options);
  const std::wstring directory = wide(options.directory);
  run.started = ::CreateProcessW(wide(options.program).c_str(), line.data(), nullptr, nullptr, TRUE,
                                 0, nullptr, directory.empty() ? nullptr : directory.c_str(),
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
  WIN32_FIND_DATAW found;
  const std::wstring folder = wide(path_) + L"\\";
  HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(path_.c_str());
}

bool file_exists(const std::string& path) {
  return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string read_binary(const std::string& path) {
  std::string content;
  HANDLE file = ::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  read_all(file, &content);
  ::CloseHandle(file);
  return content;
}

void write_binary(const std::string& path, const std::string& content) {
  HANDLE file = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  write_all(file, content);
  ::CloseHandle(file);
}

namespace {

// `text` (UTF-8) in UTF-16.
std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring result(
      static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
      L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(),
                        static_cast<int>(result.size()));
  return result;
}

// The program and its arguments, each in double quotes, with the
// backslashes before a quote doubled and the quote escaped, so that the
// child's C runtime (or CommandLineToArgvW) splits them back as they were.
std::wstring command_line(const WindowsRunOptions& options) {
  std::wstring line = L"\"" + wide(options.program) + L"\"";
  for (const std::string& argument : options.arguments) {
    line += L" \"";
    std::size_t backslashes = 0;
    for (wchar_t c : wide(argument)) {
      if (c == L'\\') {
        ++backslashes;
        continue;
      }
      line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
      backslashes = 0;
      line.push_back(c);
    }
    line.append(2 * backslashes, L'\\');
    line.push_back(L'"');
  }
  return line;
}

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
