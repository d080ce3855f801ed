// Console output, runtime errors, crash signals and the debugger stop exchange.
#pragma once

// <cstdio> for the streams the stop exchange talks over.
#include <cstdio>

#include "runtime/string.h"

// ---------------------------------------------------------------------------------------------
// Types

// What the controlling tool asked for at a debug stop.
enum class dbg_command {
  resume,  // 'r': suspend flag and step mode cleared
  step,    // 's': suspend flag set, step mode 's'
  step_e,  // 'e': suspend flag set, step mode 'e'
  step_l,  // 'l': suspend flag clear, step mode 'l'
  quit,    // 'q': end with status 0
  fail,    // end of input, an overlong line or an unknown command: end with status -1
};

// ---------------------------------------------------------------------------------------------
// Globals

// Set by a debug stop: whether the program should stop again, and how it steps.
extern bool dbg_suspend;
extern char dbg_step_mode;

// ---------------------------------------------------------------------------------------------
// Functions

// Writes the text and a line feed to standard output as UTF-8, and flushes.
void nxPrint(const String& text);
void nxDebugLog(const String& text);

// An empty message ends the run with status 0 (the normal way to quit); any other is a
// runtime error.
[[noreturn]] void nxError(const String& message);
[[noreturn]] void dbg_error(const char* message);
String dbg_stacktrace();

// One debug stop over the given streams: writes the stop line to `error`, answers '?' and '@'
// lines, and returns the first command that leaves the exchange.
dbg_command dbg_stop_exchange(FILE* input, FILE* output, FILE* error, const char* position);

// The line a crash signal reports, and the handler that reports it and ends the run.
const char* nx_signal_message(int signal_number);
void sighandler(int signal_number);
// The crash handlers, and a file-size limit's signal ignored so that writes past it fail.
void nx_install_signal_handlers();
