// Console lines, fatal errors and the stop exchange with a controlling tool.

// <csignal> and <unistd.h> for the crash handler, which may only use async-signal-safe calls.
#include "runtime/errors.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "runtime/object.h"

// ---------------------------------------------------------------------------------------------
// Globals

bool dbg_suspend = false;
char dbg_step_mode = 0;

namespace {

// No part of the program records source positions, so the trace and stop lines stay empty.
const char* const dbg_position = "";

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

void WriteAll(int descriptor, const char* text, size_t length) {
  while (length > 0) {
    ssize_t written = write(descriptor, text, length);
    if (written <= 0) return;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

// Messages arrive as UTF-8 (nxError encodes them so). Widening each byte on its own would print
// every non-ASCII character as two or three wrong ones; invalid bytes still fall back to that.
String MessageText(const char* message) {
  if (message == nullptr) return String();
  const char* load_error = _str_load_err;
  size_t length = std::min<size_t>(std::strlen(message), INT_MAX / 2);
  String text =
      String::Load(reinterpret_cast<const unsigned char*>(message), static_cast<int>(length));
  _str_load_err = load_error;
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

[[noreturn]] void nx_array_index_error() {
  dbg_error("Array index out of range");
}

void nxPrint(const String& text) {
  static std::vector<unsigned char> line;
  line.clear();
  text.Save(line);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void nxDebugLog(const String& text) {
  nxPrint(text);
}

void nxError(const String& message) {
  if (message.Length() == 0) std::exit(0);
  dbg_error(message.ToUtf8().c_str());
}

String dbg_stacktrace() {
  if (dbg_position[0] == 0) return String();
  return String(dbg_position) + String(u"\n");
}

void dbg_error(const char* message) {
  for (;;) {
    nxPrint(String(u"Zarnik Runtime Error : ") + MessageText(message));
    nxPrint(dbg_stacktrace());
#if VEXADROME_DEBUG_STOP
    switch (dbg_stop_exchange(stdin, stdout, stderr, dbg_position)) {
      case dbg_command::quit:
        std::exit(0);
      case dbg_command::fail:
        std::exit(-1);
      default:
        break;
    }
#else
    std::exit(-1);
#endif
  }
}

dbg_command dbg_stop_exchange(FILE* input, FILE* output, FILE* error, const char* position) {
  std::fprintf(error, "{{~~%s~~}}\n", position);
  std::fflush(error);
  char line[256];
  for (;;) {
    if (std::fgets(line, sizeof line, input) == nullptr) return dbg_command::fail;
    if (std::strchr(line, '\n') == nullptr) return dbg_command::fail;
    switch (line[0]) {
      case '?':
        continue;
      case '@': {
        // Only an address the collector owns is read: the tool may send anything.
        void* address = nullptr;
        String text;
        if (std::sscanf(line + 1, "%p", &address) == 1 && gc_is_object(address)) {
          if (Object* object = dynamic_cast<Object*>(static_cast<gc_object*>(address))) {
            text = object->debug();
          }
        }
        std::vector<unsigned char> bytes;
        text.Save(bytes);
        bytes.push_back('\n');
        std::fwrite(bytes.data(), 1, bytes.size(), output);
        std::fflush(output);
        continue;
      }
      case 'r':
        dbg_suspend = false;
        dbg_step_mode = 0;
        return dbg_command::resume;
      case 's':
        dbg_suspend = true;
        dbg_step_mode = 's';
        return dbg_command::step;
      case 'e':
        dbg_suspend = true;
        dbg_step_mode = 'e';
        return dbg_command::step_e;
      case 'l':
        dbg_suspend = false;
        dbg_step_mode = 'l';
        return dbg_command::step_l;
      case 'q':
        return dbg_command::quit;
      default:
        std::fprintf(output, "????? %s ?????", line);
        std::fflush(output);
        return dbg_command::fail;
    }
  }
}

const char* nx_signal_message(int signal_number) {
  switch (signal_number) {
    case SIGSEGV:
      return "Memory access violation";
    case SIGILL:
      return "Illegal instruction";
    case SIGFPE:
      return "Floating point exception";
    default:
      return "Unknown signal";
  }
}

// After a memory fault neither stdio nor exit handlers can be trusted: one write, then _exit.
void sighandler(int signal_number) {
  static const char prefix[] = "Zarnik Runtime Error : ";
  const char* message = nx_signal_message(signal_number);
  WriteAll(STDOUT_FILENO, prefix, sizeof prefix - 1);
  WriteAll(STDOUT_FILENO, message, std::strlen(message));
  WriteAll(STDOUT_FILENO, "\n\n", 2);
  _exit(255);
}

void nx_install_signal_handlers() {
  std::signal(SIGSEGV, sighandler);
  std::signal(SIGILL, sighandler);
  std::signal(SIGFPE, sighandler);
  // A file-size limit would otherwise end the game at its first save or printed line; ignored,
  // such a write fails with EFBIG as a full disk fails with ENOSPC, and the save reports it.
  std::signal(SIGXFSZ, SIG_IGN);
}
