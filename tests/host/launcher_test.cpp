// The installed game's launcher, run in a scratch installation with a stand-in for the game:
// the player's folder, the link to the installed assets and where the game is started.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    assets_ = prefix_ / "share/games/vexadrome/data";
    elsewhere_ = scratch_ / "else where";
    for (const fs::path& folder :
         {prefix_ / "bin", prefix_ / "libexec/vexadrome", assets_, elsewhere_}) {
      fs::create_directories(folder);
    }
    fs::copy_file(fs::path(VEXADROME_SOURCE_DIR) / "packaging/vexadrome",
                  prefix_ / "bin/vexadrome");
    // The stand-in reports the folder it runs in, what its data leads to and its arguments.
    std::ofstream(prefix_ / "libexec/vexadrome/vexadrome")
        << "#!/bin/sh\n{ pwd; readlink data || echo no-link; printf '<%s>' \"$@\"; echo; } > "
        << Quoted(scratch_ / "report") << "\n";
    fs::permissions(prefix_ / "libexec/vexadrome/vexadrome", fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(scratch_); }

  // Runs the launcher from another folder with the given environment settings; its status.
  int Run(const std::string& environment, const fs::path& launcher = {}) {
    fs::remove(scratch_ / "report");
    fs::path program = launcher.empty() ? prefix_ / "bin/vexadrome" : launcher;
    std::string command = "cd " + Quoted(elsewhere_) + " && env -u XDG_DATA_HOME " + environment +
                          " " + Quoted(program) + " one 'two words' 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Report() const {
    std::ifstream in(scratch_ / "report");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Expected(const fs::path& folder) const {
    return folder.string() + "\n" + assets_.string() + "\n<one><two words>\n";
  }

  fs::path scratch_, prefix_, assets_, elsewhere_;
};

TEST_F(Launcher, RunsTheGameInThePlayersFolderWithDataLinkedToTheCurrentAssets) {
  fs::path data = scratch_ / "xdg data";
  ASSERT_EQ(Run("XDG_DATA_HOME=" + Quoted(data)), 0);
  EXPECT_EQ(Report(), Expected(data / "vexadrome"));
  EXPECT_TRUE(fs::is_symlink(data / "vexadrome/data"));

  // Without XDG_DATA_HOME, or with a relative one (invalid, so ignored), HOME decides.
  fs::path home = scratch_ / "home";
  ASSERT_EQ(Run("HOME=" + Quoted(home)), 0);
  EXPECT_EQ(Report(), Expected(home / ".local/share/vexadrome"));
  ASSERT_EQ(Run("HOME=" + Quoted(home) + " XDG_DATA_HOME=relative"), 0);
  EXPECT_EQ(Report(), Expected(home / ".local/share/vexadrome"));
  EXPECT_FALSE(fs::exists(elsewhere_ / "relative"));

  EXPECT_NE(Run("-u HOME"), 0) << "no folder to keep the state in";

  // The link follows the installation, and the player's own folder is left alone.
  fs::path folder = scratch_ / "xdg/vexadrome";
  std::string environment = "XDG_DATA_HOME=" + Quoted(scratch_ / "xdg");
  fs::create_directories(folder);
  fs::create_directory_symlink(scratch_ / "an old installation", folder / "data");
  ASSERT_EQ(Run(environment), 0);
  EXPECT_EQ(Report(), Expected(folder));

  // Reached through a link elsewhere, as a games folder may hold it, it still finds its prefix.
  fs::create_symlink(prefix_ / "bin/vexadrome", scratch_ / "games link");
  ASSERT_EQ(Run(environment, scratch_ / "games link"), 0);
  EXPECT_EQ(Report(), Expected(folder));

  fs::remove(folder / "data");
  fs::create_directory(folder / "data");
  std::ofstream(folder / "data/own.png") << "mine";
  ASSERT_EQ(Run(environment), 0);
  EXPECT_EQ(Report(), folder.string() + "\nno-link\n<one><two words>\n");
  EXPECT_TRUE(fs::exists(folder / "data/own.png"));
}

}  // namespace
