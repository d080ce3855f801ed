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
  struct Case {
    const char* line;
    dbg_command command;
    bool suspend;
    char mode;
  };
  for (Case c :
       {Case{"r\n", dbg_command::resume, false, 0}, Case{"e\n", dbg_command::step_e, true, 'e'},
        Case{"l\n", dbg_command::step_l, false, 'l'}}) {
    dbg_suspend = !c.suspend;
    dbg_step_mode = 'x';
    Exchange exchange = Stop(std::string("?\n") + c.line);
    EXPECT_EQ(exchange.command, c.command) << c.line;
    EXPECT_EQ(dbg_suspend, c.suspend) << c.line;
    EXPECT_EQ(dbg_step_mode, c.mode) << c.line;
    EXPECT_EQ(exchange.error, "{{~~pos~~}}\n");
    EXPECT_EQ(exchange.output, "");
  }
  EXPECT_EQ(Stop("q\n").command, dbg_command::quit);

  // Bad input ends the run.
  EXPECT_EQ(Stop("").command, dbg_command::fail);
  EXPECT_EQ(Stop("r").command, dbg_command::fail) << "a line without a line feed";
  EXPECT_EQ(Stop(std::string(300, '?') + "\nr\n").command, dbg_command::fail);
  EXPECT_EQ(Stop(std::string(254, 'r') + "\n").command, dbg_command::resume)
      << "255 bytes with the line feed still fit";
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
