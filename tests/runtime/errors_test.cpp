// How the process reports and ends: the exit statuses, the exact console lines, the crash
// handler, and the stop exchange with a controlling tool.

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <tuple>

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

// One stop exchange over in-memory streams.
struct Exchange {
  dbg_command command;
  std::string output;
  std::string error;
};

Exchange Stop(const std::string& input) {
  FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  FILE* output = std::tmpfile();
  FILE* error = std::tmpfile();
  dbg_command command = dbg_stop_exchange(in, output, error, "pos");
  std::fclose(in);
  return {command, ReadAndClose(output), ReadAndClose(error)};
}

TEST(StopExchange, LeavingCommandsSetSuspendAndStepModeAndBadInputEndsTheRun) {
  const std::tuple<const char*, dbg_command, bool, char> cases[] = {
      {"r\n", dbg_command::resume, false, 0},
      {"e\n", dbg_command::step_e, true, 'e'},
      {"l\n", dbg_command::step_l, false, 'l'}};
  for (const auto& [line, command, suspend, mode] : cases) {
    dbg_suspend = !suspend;
    dbg_step_mode = 'x';
    Exchange exchange = Stop(std::string("?\n") + line);
    EXPECT_EQ(exchange.command, command) << line;
    EXPECT_EQ(std::make_pair(dbg_suspend, dbg_step_mode), std::make_pair(suspend, mode)) << line;
    EXPECT_EQ(exchange.error + "|" + exchange.output, "{{~~pos~~}}\n|");
  }
  EXPECT_EQ(Stop("q\n").command, dbg_command::quit);

  // Bad input ends the run: nothing, a line without a line feed, or one past 255 bytes.
  for (const std::string& bad :
       {std::string(), std::string("r"), std::string(300, '?') + "\nr\n"}) {
    EXPECT_EQ(Stop(bad).command, dbg_command::fail) << bad;
  }
  EXPECT_EQ(Stop(std::string(254, 'r') + "\n").command, dbg_command::resume);
  Exchange unknown = Stop("x9\nr\n");
  EXPECT_EQ(unknown.command, dbg_command::fail);
  EXPECT_EQ(unknown.output, "????? x9\n ?????");
}

TEST(StopExchange, AtPrintsTheDebugTextOfCollectedObjectsOnly) {
  Object* object = gc_new<Object>();
  Array<int> array(2);
  char line[64];
  std::snprintf(line, sizeof line, "@%p\n@ %p\n@0x10\n@\n@0\nq\n", static_cast<void*>(object),
                static_cast<void*>(array.Body()));
  Exchange exchange = Stop(line);
  EXPECT_EQ(exchange.command, dbg_command::quit);
  EXPECT_EQ(exchange.output, "+Object\n\n\n\n\n\n");
  int stack_value = 0;
  std::snprintf(line, sizeof line, "@%p\nq\n", static_cast<void*>(&stack_value));
  EXPECT_EQ(Stop(line).output, "\n");
}

}  // namespace
