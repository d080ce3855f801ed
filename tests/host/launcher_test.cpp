// The installed game's launcher, run in a scratch installation with a stand-in for the game:
// the player's folder, the link to the installed assets, where the game is started, and the
// options it answers itself.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) {
  std::string quoted = "'";
  for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    // A space in every path, so that nothing in the launcher splits one.
    char pattern[] = "/tmp/vexadrome launcher-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    prefix_ = scratch_ / "the prefix";
    for (const char* folder : {"bin", "games", "libexec/vexadrome", "share/games/vexadrome/data"}) {
      fs::create_directories(prefix_ / folder);
    }
    // As installed: bin/ under a home prefix, games/ in the package.
    for (const char* command : {"bin/vexadrome", "games/vexadrome"}) {
      fs::copy_file(fs::path(VEXADROME_BINARY_DIR) / "packaging/vexadrome", prefix_ / command);
    }
    // The stand-in reports the folder it runs in, what its data leads to and its arguments.
    std::ofstream(prefix_ / "libexec/vexadrome/vexadrome")
        << "#!/bin/sh\n{ pwd; readlink data || echo no-link; printf '<%s>' \"$@\"; }\n";
    fs::permissions(prefix_ / "libexec/vexadrome/vexadrome", fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(scratch_); }

  // What the launcher, run from the scratch folder, or the game it started printed; "failed"
  // when it ended with a non-zero status.
  std::string Run(const std::string& environment, const std::string& arguments = "one 'two words'",
                  const fs::path& launcher = {}) {
    std::string command = "cd " + Quoted(scratch_) + " && env -u XDG_DATA_HOME " + environment +
                          " " + Quoted(launcher.empty() ? prefix_ / "bin/vexadrome" : launcher) +
                          " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) output.push_back(char(c));
    return pclose(pipe) == 0 ? output : "failed";
  }

  fs::path scratch_, prefix_;
};

TEST_F(Launcher, RunsTheGameInThePlayersFolderWithDataLinkedToTheCurrentAssetsOrAnswersItself) {
  const std::string assets = (prefix_ / "share/games/vexadrome/data").string();
  auto expected = [](const fs::path& folder, const std::string& data) {
    return folder.string() + "\n" + data + "\n<one><two words>";
  };
  const fs::path folder = scratch_ / "xdg data/vexadrome";
  const std::string environment = "XDG_DATA_HOME=" + Quoted(scratch_ / "xdg data");
  EXPECT_EQ(Run(environment), expected(folder, assets));

  // A relative XDG_DATA_HOME is invalid, so ignored: HOME decides, and without it nothing can.
  const fs::path home = scratch_ / "home";
  EXPECT_EQ(Run("HOME=" + Quoted(home) + " XDG_DATA_HOME=relative"),
            expected(home / ".local/share/vexadrome", assets));
  EXPECT_FALSE(fs::exists(scratch_ / "relative"));
  EXPECT_EQ(Run("-u HOME"), "failed");

  // The link follows the installation, found from the package's games/ or through a link.
  fs::remove(folder / "data");
  fs::create_directory_symlink(scratch_ / "an old installation", folder / "data");
  EXPECT_EQ(Run(environment, "one 'two words'", prefix_ / "games/vexadrome"),
            expected(folder, assets));
  fs::create_symlink(prefix_ / "bin/vexadrome", scratch_ / "a link");
  EXPECT_EQ(Run(environment, "one 'two words'", scratch_ / "a link"), expected(folder, assets));

  // The player's own folder in the link's place is left alone.
  fs::remove(folder / "data");
  fs::create_directory(folder / "data");
  EXPECT_EQ(Run(environment), expected(folder, "no-link"));
  EXPECT_TRUE(fs::is_empty(folder / "data"));

  const std::string fresh = "XDG_DATA_HOME=" + Quoted(scratch_ / "fresh");
  std::string help = Run(fresh, "-h");
  EXPECT_NE(help.find("man 6 vexadrome"), std::string::npos) << help;
  EXPECT_EQ(help.find('<'), std::string::npos) << "the game was started";
  EXPECT_FALSE(fs::exists(scratch_ / "fresh")) << "the player's folder was made";
}

}  // namespace
