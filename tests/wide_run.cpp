// Starts a Windows program with a UTF-16 command line of exactly the code
// units a test names, a lone surrogate included, which no UTF-8 argument
// can carry:
//
//   wide_run.exe [--no-input | --nowait] PROGRAM [ARGUMENT]...
//
// Every \uXXXX in an ARGUMENT is that UTF-16 code unit. The program gets
// this process's standard handles, or none for its input with --no-input
// (as a program started without one has), and its exit status is this
// one's; 255 and a message when it could not be started. With --nowait
// its input and output are pipes in non-blocking mode (PIPE_NOWAIT), as
// another program may leave them: this one's input goes in after a while
// (a slow writer), and what comes out is read, 64 bytes a time, after that.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring decode_escapes(const wchar_t* text) {
  std::wstring decoded;
  for (; *text != L'\0'; ++text) {
    wchar_t* end = nullptr;
    if (text[0] == L'\\' && text[1] == L'u') {
      std::wstring digits;
      for (int i = 2; i < 6 && text[i] != L'\0'; ++i) digits += text[i];
      const unsigned long unit = std::wcstoul(digits.c_str(), &end, 16);
      if (digits.size() == 4 && *end == L'\0') {
        decoded += static_cast<wchar_t>(unit);
        text += 5;
        continue;
      }
    }
    decoded += *text;
  }
  return decoded;
}

// The word quoted so that the C runtime's reading of the command line gives
// it back as it is: backslashes are doubled only before a quote.
void append_quoted(std::wstring& line, const std::wstring& word) {
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : word) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

// A pipe into the program (`program_reads`) or out of it, of 64 bytes, so
// that the program's writes fill it. Returns the program's end, inherited
// and in non-blocking mode, and sets `ours` to the other.
HANDLE nowait_pipe(bool program_reads, HANDLE& ours) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  CreatePipe(&read_end, &write_end, nullptr, 64);
  const HANDLE theirs = program_reads ? read_end : write_end;
  ours = program_reads ? write_end : read_end;
  DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
  SetNamedPipeHandleState(theirs, &mode, nullptr, nullptr);
  SetHandleInformation(theirs, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  return theirs;
}

// Copies all of `from` to `to`, `chunk` bytes at a time.
void copy(HANDLE from, HANDLE to, DWORD chunk) {
  char buffer[4096];
  DWORD got = 0;
  DWORD put = 0;
  while (ReadFile(from, buffer, chunk, &got, nullptr) != 0 && got > 0) {
    WriteFile(to, buffer, got, &put, nullptr);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int first = 1;
  const bool no_input = argc > 1 && std::wcscmp(argv[1], L"--no-input") == 0;
  const bool nowait = argc > 1 && std::wcscmp(argv[1], L"--nowait") == 0;
  if (no_input || nowait) ++first;
  if (first >= argc) {
    (void)std::fputws(L"usage: wide_run.exe [--no-input | --nowait] PROGRAM [ARGUMENT]...\n",
                      stderr);
    return 255;
  }
  std::wstring line;
  append_quoted(line, argv[first]);
  for (int i = first + 1; i < argc; ++i) {
    line += L' ';
    append_quoted(line, decode_escapes(argv[i]));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = no_input ? nullptr : GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  HANDLE to_program = nullptr;
  HANDLE from_program = nullptr;
  if (nowait) {
    startup.hStdInput = nowait_pipe(true, to_program);
    startup.hStdOutput = nowait_pipe(false, from_program);
  }
  PROCESS_INFORMATION process{};
  if (CreateProcessW(argv[first], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process) == 0) {
    (void)std::fwprintf(stderr, L"wide_run.exe: cannot start %ls (error %lu)\n", argv[first],
                        GetLastError());
    return 255;
  }
  if (nowait) {
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    Sleep(200);  // a slow writer: the program finds its input empty first
    copy(GetStdHandle(STD_INPUT_HANDLE), to_program, 4096);
    CloseHandle(to_program);
    copy(from_program, GetStdHandle(STD_OUTPUT_HANDLE), 64);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 255;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
