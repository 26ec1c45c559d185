#include "terminal.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <iostream>

#include "interrupt.h"
#include "options.h"
#include "text.h"

namespace cli {

namespace {

constexpr int kPollMilliseconds = 200;

// One key press with the terminal out of line mode for the time of the read;
// Ctrl-C arrives as a byte rather than a signal, so the terminal is always
// put back.
char ReadKeyFromTerminal() {
  termios saved{};
  if (::tcgetattr(STDIN_FILENO, &saved) != 0) return kKeyEnd;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char key = kKeyEnd;
  for (;;) {
    if (InterruptRequested()) {
      key = kKeyInterrupt;
      break;
    }
    pollfd wanted{STDIN_FILENO, POLLIN, 0};
    int ready = ::poll(&wanted, 1, kPollMilliseconds);
    if (ready > 0) {
      if (::read(STDIN_FILENO, &key, 1) != 1) key = kKeyEnd;
      break;
    }
    if (ready < 0 && errno != EINTR) break;
  }
  ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  if (key == '\x04') key = kKeyEnd;  // Ctrl-D
  return key;
}

char ReadKeyFromLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return kKeyEnd;
  std::printf("%s\n", line.c_str());
  for (char c : line) {
    if (!std::isspace(static_cast<unsigned char>(c))) return c;
  }
  return ' ';
}

}  // namespace

char AskKey(const std::string& prompt) {
  std::fputs(prompt.c_str(), stdout);
  std::fflush(stdout);
  if (::isatty(STDIN_FILENO) == 0) {
    char key = ReadKeyFromLine();
    if (key == kKeyEnd) std::fputs("\n", stdout);
    return static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
  }
  char key = ReadKeyFromTerminal();
  bool printable = static_cast<unsigned char>(key) > ' ' && static_cast<unsigned char>(key) < 0x7F;
  std::printf("%s\n", printable ? std::string(1, key).c_str() : key == kKeyInterrupt ? "^C" : "");
  std::fflush(stdout);
  return static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
}

std::string DescribeReport(const HostErrorReport& report) {
  std::string line = "error " + std::to_string(report.module) + "/" +
                     std::to_string(report.operation) + " code " + std::to_string(report.code) +
                     " (" + Cp1252ToUtf8(report.source) + " line " + std::to_string(report.line) +
                     ")";
  if (!report.text.empty()) line += ": " + Cp1252ToUtf8(report.text);
  return line;
}

void TerminalServices::HostReportError(const HostErrorReport& report) {
  reports_.push_back(report);
  if (Options().verbose)
    std::fprintf(stderr, "symbase: library: %s\n", DescribeReport(report).c_str());
}

int TerminalServices::HostMessageBox(const char* text, const char* message, int, int) {
  std::string shown = Cp1252ToUtf8(text != nullptr ? text : "");
  if (message != nullptr && *message != '\0') {
    shown += (shown.empty() ? "" : "\n") + Cp1252ToUtf8(message);
  }
  std::printf("%s\n", shown.c_str());
  for (;;) {
    if (InterruptRequested()) return kHostIdYes;
    char key = AskKey("[o]ui / [n]on ? ");
    if (key == kKeyInterrupt) RequestInterrupt();
    if (key == kKeyEnd || key == kKeyInterrupt || key == 'o' || key == 'y') return kHostIdYes;
    if (key == 'n') return kHostIdNo;
  }
}

TerminalServices& Terminal() {
  static TerminalServices services;
  return services;
}

}  // namespace cli
