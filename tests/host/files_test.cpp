// Data paths, the file loaders and the state file, each run inside its own scratch directory
// (the state file lives in the working directory).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "host/glfw_game.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "support/child_process.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const String& text) {
  return text.ToUtf8();
}

TEST(DataPaths, FixDataPathKeepsSchemesAndRootedPathsAndPathToFilePathMapsThem) {
  using Case = std::tuple<String (*)(String), const char16_t*, const char*>;
  for (const auto& [convert, path, expected] :
       {Case{nx_data_FixDataPath, u"gfx.png", "zarnik://data/gfx.png"},
        Case{nx_data_FixDataPath, u"c:/x.png", "c:/x.png"},
        Case{nx_data_FixDataPath, u"/abs/a.png", "/abs/a.png"},
        Case{nx_data_PathToFilePath, u"zarnik://data/music/a.png", "./data/music/a.png"},
        Case{nx_data_PathToFilePath, u"zarnik://internal/s", "./internal/s"},
        Case{nx_data_PathToFilePath, u"zarnik://other/x", ""},
        Case{nx_data_PathToFilePath, u"/tmp/zarnik://data/x", "/tmp/zarnik://data/x"}}) {
    EXPECT_EQ(Utf8(convert(String(path))), expected) << Utf8(String(path));
  }
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    char pattern[] = "/tmp/vexadrome-host-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    fs::current_path(scratch_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(scratch_);
  }

  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // What the directory holds, sorted: leftovers of a failed save show up here.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(scratch_))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  NxGlfwGame game;
  fs::path previous_;
  fs::path scratch_;
};

TEST_F(Files, LoadDataAndLoadStringReturnWholeFilesAndFailOnMissingOrUnreadable) {
  std::string content;
  for (int i = 0; i < 10000; ++i) content.push_back(static_cast<char>(i * 7));
  fs::create_directory("data");
  Write("data/blob.bin", content);

  // The whole content, or "missing" when the loader failed and left the length alone.
  auto load = [this](const char16_t* path) {
    int length = -1;
    unsigned char* data = game.LoadData(String(path), &length);
    std::string content = data == nullptr ? "missing" + std::to_string(length)
                                          : std::string(reinterpret_cast<char*>(data), length);
    std::free(data);
    return content;
  };
  gc_force_sweep = false;
  EXPECT_EQ(load(u"zarnik://data/blob.bin"), content);
  EXPECT_TRUE(gc_force_sweep);
  EXPECT_EQ(load(u"data/missing.bin"), "missing-1");
  // A directory opens but cannot be read: an error, not an empty file.
  EXPECT_EQ(load(u"data"), "missing-1");

  EXPECT_EQ(Utf8(game.LoadString(String(u"data"))), "");
  EXPECT_EQ(Utf8(game.LoadString(String(u"absent.txt"))), "");
}

TEST_F(Files, StateRoundTripsAsUtf8WithoutByteOrderMark) {
  EXPECT_EQ(Utf8(game.LoadState()), "");
  EXPECT_EQ(game.SaveState(String(u"caf\u00e9")), 0);
  EXPECT_EQ(Read(".zarnikstate"), "caf\xC3\xA9");
  EXPECT_EQ(Utf8(game.LoadState()), "caf\xC3\xA9");
  EXPECT_EQ(game.SaveState(String(u"")), 0);
  EXPECT_EQ(Read(".zarnikstate"), "");
  EXPECT_EQ(Entries(), std::vector<std::string>{".zarnikstate"});

  // Another tool's UTF-16 state still loads.
  Write(".zarnikstate", std::string("\xFE\xFF\0o\0k", 6));
  EXPECT_EQ(Utf8(game.LoadState()), "ok");

  // A save keeps the permissions of the file it replaces.
  ASSERT_EQ(chmod(".zarnikstate", 0640), 0);
  EXPECT_EQ(game.SaveState(String(u"new")), 0);
  struct stat info {};
  ASSERT_EQ(stat(".zarnikstate", &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A size limit makes the write fail part-way, as a full disk would: with the start-up's
// signal handling the save reports it and the previous state stays byte for byte; killed by the
// signal, the save leaves its temporary behind, which the next save clears (only names that a
// save's temporary can have).
TEST_F(Files, SavesThatFailOrAreKilledPartWayLeaveThePreviousStateAndNoTemporaries) {
  std::string previous = "previous state \xC3\xA9 with some bytes";
  Write(".zarnikstate", previous);
  std::u16string big(20000, u'x');
  auto saveWithinLimit = [&](bool ignoreSignal) {
    return RunInChild([&] {
      rlimit size{1000, 1000};
      setrlimit(RLIMIT_FSIZE, &size);
      if (ignoreSignal) nx_install_signal_handlers();
      std::exit(game.SaveState(String(big.c_str())) == -2 ? 0 : 1);
    });
  };
  EXPECT_EQ(saveWithinLimit(true).status, 0) << "the save reports the short write";
  EXPECT_EQ(Read(".zarnikstate"), previous);
  EXPECT_EQ(Entries(), std::vector<std::string>{".zarnikstate"});

  ASSERT_EQ(saveWithinLimit(false).status, 128 + SIGXFSZ);
  ASSERT_EQ(Entries().size(), 2u) << "the killed save's temporary is there";
  const std::vector<std::string> kept = {
      ".zarnikstate.saving-AbC12", ".zarnikstate.saving-AbC1234", ".zarnikstate.saving-AbC_12",
      ".zarnikstate.backup",       "other.saving-AbC123",         ".zarnikstate.saving-"};
  for (const std::string& name : kept) Write(name, "mine");
  Write(".zarnikstate.saving-zZ09aA", "stale");

  EXPECT_EQ(game.SaveState(String(u"new")), 0);
  EXPECT_EQ(Read(".zarnikstate"), "new");
  std::vector<std::string> expected = kept;
  expected.push_back(".zarnikstate");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(), expected);
}

TEST_F(Files, SaveWhereNoFileCanBeCreatedReportsMinusOne) {
  EXPECT_EQ(nx_data_SaveAtomically(scratch_ / "missing" / "state", {'a'}), -1);
  // Root ignores permissions, but nobody can create files in a directory that was removed.
  fs::create_directory("gone");
  fs::current_path("gone");
  fs::remove(scratch_ / "gone");
  EXPECT_EQ(game.SaveState(String(u"x")), -1);
  EXPECT_EQ(Utf8(game.LoadState()), "");
}

// The address reaches the opener as one argument and is never read by a shell.
TEST_F(Files, OpenUrlPassesTheAddressAsOneArgumentWithoutAShell) {
  Write("xdg-open", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > opened.tmp\nmv opened.tmp opened\n");
  fs::permissions("xdg-open", fs::perms::owner_all);
  const std::string path = std::getenv("PATH");
  setenv("PATH", (scratch_.string() + ":" + path).c_str(), 1);
  game.OpenUrl(String(u"http://x/?a=1&b=$(touch pwned);c"));
  game.OpenUrl(String(u"--version"));
  setenv("PATH", path.c_str(), 1);
  // The opener runs detached; wait for its one line.
  for (int i = 0; i < 500 && !fs::exists("opened"); ++i) usleep(10000);
  EXPECT_EQ(Read("opened"), "1|http://x/?a=1&b=$(touch pwned);c|");
  EXPECT_FALSE(fs::exists("pwned"));
}

}  // namespace
