// How the process reports and ends: the exit statuses, the exact console lines, the crash
// handler, and the stop exchange with a controlling tool.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/object.h"

namespace {

// Death tests see only standard error; the child sends standard output here instead.
std::string OutputPath() {
  return std::string(VEXADROME_BINARY_DIR) + "/errors_test_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
         std::to_string(getpid()) + ".txt";
}

void CaptureStandardStreams(const std::string& path) {
  if (std::freopen(path.c_str(), "w", stdout) == nullptr) _exit(99);
  if (std::freopen("/dev/null", "r", stdin) == nullptr) _exit(99);
}

std::string ReadAndRemove(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  std::remove(path.c_str());
  return content.str();
}

#if VEXADROME_DEBUG_STOP
const char* const stop_line = "\\{\\{~~~~\\}\\}";
#else
const char* const stop_line = "";
#endif

TEST(RuntimeErrorDeathTest, EmptyMessageQuitsQuietly) {
  std::string path = OutputPath();
  EXPECT_EXIT((CaptureStandardStreams(path), nxError(String())), ::testing::ExitedWithCode(0),
              "^$");
  EXPECT_EQ(ReadAndRemove(path), "");
}

TEST(RuntimeErrorDeathTest, MessagePrintsItsLineAndAnEmptyTraceAndFails) {
  std::string path = OutputPath();
  EXPECT_EXIT((CaptureStandardStreams(path), nxError(String(u"Bad state é"))),
              ::testing::ExitedWithCode(255), stop_line);
  EXPECT_EQ(ReadAndRemove(path), "Zarnik Runtime Error : Bad state \xC3\xA9\n\n");
}

TEST(RuntimeErrorDeathTest, IndexOutsideAnArrayOrAStringIsARuntimeError) {
  std::string path = OutputPath();
  Array<int> numbers(3);
  EXPECT_EXIT((CaptureStandardStreams(path), numbers[3]), ::testing::ExitedWithCode(255), "");
  EXPECT_EQ(ReadAndRemove(path), "Zarnik Runtime Error : Array index out of range\n\n");
  EXPECT_EXIT((CaptureStandardStreams(path), Array<String>()[0]), ::testing::ExitedWithCode(255),
              "");
  EXPECT_EQ(ReadAndRemove(path), "Zarnik Runtime Error : Array index out of range\n\n");
  EXPECT_EXIT((CaptureStandardStreams(path), String(u"ab")[-1]), ::testing::ExitedWithCode(255),
              "");
  EXPECT_EQ(ReadAndRemove(path), "Zarnik Runtime Error : String index out of range\n\n");
}

TEST(RuntimeErrorDeathTest, CrashSignalsReportTheirCauseAndFail) {
  std::string path = OutputPath();
  EXPECT_EXIT((CaptureStandardStreams(path), nx_install_signal_handlers(), std::raise(SIGILL)),
              ::testing::ExitedWithCode(255), "");
  EXPECT_EQ(ReadAndRemove(path), "Zarnik Runtime Error : Illegal instruction\n\n");
  EXPECT_EXIT((CaptureStandardStreams(path), nx_install_signal_handlers(), std::raise(SIGFPE)),
              ::testing::ExitedWithCode(255), "");
  EXPECT_EQ(ReadAndRemove(path), "Zarnik Runtime Error : Floating point exception\n\n");
  EXPECT_STREQ(nx_signal_message(SIGSEGV), "Memory access violation");
  EXPECT_STREQ(nx_signal_message(SIGTERM), "Unknown signal");
}

// One stop exchange over in-memory streams.
struct Exchange {
  dbg_command command;
  std::string output;
  std::string error;
};

Exchange Stop(const std::string& input) {
  FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  char* output = nullptr;
  char* error = nullptr;
  size_t output_size = 0;
  size_t error_size = 0;
  FILE* out = open_memstream(&output, &output_size);
  FILE* err = open_memstream(&error, &error_size);
  Exchange result{dbg_stop_exchange(in, out, err, "pos"), "", ""};
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  result.output.assign(output, output_size);
  result.error.assign(error, error_size);
  std::free(output);
  std::free(error);
  return result;
}

TEST(StopExchange, LeavingCommandsSetSuspendAndStepMode) {
  struct Case {
    const char* line;
    dbg_command command;
    bool suspend;
    char mode;
  };
  for (Case c :
       {Case{"r\n", dbg_command::resume, false, 0}, Case{"s\n", dbg_command::step, true, 's'},
        Case{"e\n", dbg_command::step_e, true, 'e'},
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
}

TEST(StopExchange, BadInputEndsTheRun) {
  EXPECT_EQ(Stop("").command, dbg_command::fail);
  EXPECT_EQ(Stop("?\n").command, dbg_command::fail) << "end of input after a query";
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
