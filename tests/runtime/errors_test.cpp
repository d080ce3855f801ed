// How the process reports and ends: the exit statuses, the exact console lines and the crash
// handler.

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

}  // namespace
