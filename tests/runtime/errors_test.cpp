// How the process reports and ends: the exit statuses, the exact console lines, the crash
// handler, and the stop exchange with a controlling tool.

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "runtime/errors.h"
#include "runtime/object.h"
#include "support/child_process.h"

namespace {

TEST(RuntimeErrors, ExitStatusesAndConsoleLines) {
#if VEXADROME_DEBUG_STOP
  const std::string stop_line = "{{~~~~}}\n";
#else
  const std::string stop_line;
#endif
  Array<int> numbers(3);
  struct Case {
    std::function<void()> body;
    const char* line;  // null: a quiet exit with status 0
  };
  const Case cases[] = {
      {[] { nxError(String()); }, nullptr},
      {[] { nxError(String(u"Bad state \u00e9")); }, "Bad state \xC3\xA9"},
      {[&] { numbers[3]; }, "Array index out of range"},
      {[] { String(u"ab")[-1]; }, "String index out of range"},
      {[] { nx_install_signal_handlers(), std::raise(SIGILL); }, "Illegal instruction"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line == nullptr ? "quiet" : c.line);
    ChildRun run = RunInChild(c.body);
    EXPECT_EQ(run.status, c.line == nullptr ? 0 : 255);
    EXPECT_EQ(run.output,
              c.line == nullptr ? "" : "Zarnik Runtime Error : " + std::string(c.line) + "\n\n");
    EXPECT_EQ(run.error, c.line == nullptr ? "" : stop_line);
  }
  EXPECT_STREQ(nx_signal_message(SIGSEGV), "Memory access violation");
}

// A controlling tool may send anything: a bad line ends the run, and "@" prints only objects the
// collector owns, never memory at whatever address it was given.
TEST(StopExchange, BadInputEndsTheRunAndAtReadsOnlyCollectedObjects) {
  std::string output;
  auto stop = [&output](const std::string& input) {
    FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    FILE* out = std::tmpfile();
    FILE* error = std::tmpfile();
    dbg_command command = dbg_stop_exchange(in, out, error, "pos");
    std::fclose(in);
    std::fclose(error);
    output = ReadAndClose(out);
    return command;
  };
  EXPECT_EQ(stop(std::string(300, '?') + "\nr\n"), dbg_command::fail);
  EXPECT_EQ(stop("x9\nr\n"), dbg_command::fail);
  EXPECT_EQ(output, "????? x9\n ?????");
  int onTheStack = 0;
  char line[64];
  std::snprintf(line, sizeof line, "@%p\n@%p\n@0x10\n@0\nq\n", static_cast<void*>(gc_new<Object>()),
                static_cast<void*>(&onTheStack));
  EXPECT_EQ(stop(line), dbg_command::quit);
  EXPECT_EQ(output, "+Object\n\n\n\n\n");
}

}  // namespace
