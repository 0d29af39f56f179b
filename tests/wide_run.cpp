// Starts a Windows program with a UTF-16 command line of exactly the code
// units a test names, a lone surrogate included, which no UTF-8 argument
// can carry:
//
//   wide_run.exe [--no-input] PROGRAM [ARGUMENT]...
//
// Every \uXXXX in an ARGUMENT is that UTF-16 code unit. The program gets
// this process's standard handles, or none for its input with --no-input
// (as a program started without one has), and its exit status is this
// one's; 255 and a message when it could not be started.
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int first = 1;
  const bool no_input = argc > 1 && std::wcscmp(argv[1], L"--no-input") == 0;
  if (no_input) ++first;
  if (first >= argc) {
    (void)std::fputws(L"usage: wide_run.exe [--no-input] PROGRAM [ARGUMENT]...\n", stderr);
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
  PROCESS_INFORMATION process{};
  if (CreateProcessW(argv[first], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process) == 0) {
    (void)std::fwprintf(stderr, L"wide_run.exe: cannot start %ls (error %lu)\n", argv[first],
                        GetLastError());
    return 255;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 255;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
