// The installed game's launcher, run in a scratch installation with a stand-in for the game:
// the player's folder, the link to the installed assets, where the game is started, and the
// options it answers itself.

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
         {prefix_ / "bin", prefix_ / "games", prefix_ / "libexec/vexadrome", assets_, elsewhere_}) {
      fs::create_directories(folder);
    }
    // The configured launcher, as installed: bin/ under a home prefix, games/ in the package.
    for (const char* command : {"bin/vexadrome", "games/vexadrome"}) {
      fs::copy_file(fs::path(VEXADROME_BINARY_DIR) / "packaging/vexadrome", prefix_ / command);
    }
    // The stand-in reports the folder it runs in, what its data leads to and its arguments.
    std::ofstream(prefix_ / "libexec/vexadrome/vexadrome")
        << "#!/bin/sh\n{ pwd; readlink data || echo no-link; printf '<%s>' \"$@\"; echo; } > "
        << Quoted(scratch_ / "report") << "\n";
    fs::permissions(prefix_ / "libexec/vexadrome/vexadrome", fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(scratch_); }

  // Runs the launcher from another folder with the given environment settings and arguments;
  // its status, and its standard output in `output_`.
  int Run(const std::string& environment, const fs::path& launcher = {},
          const std::string& arguments = "one 'two words'") {
    fs::remove(scratch_ / "report");
    fs::path program = launcher.empty() ? prefix_ / "bin/vexadrome" : launcher;
    std::string command = "cd " + Quoted(elsewhere_) + " && env -u XDG_DATA_HOME " + environment +
                          " " + Quoted(program) + " " + arguments + " 2>/dev/null > " +
                          Quoted(scratch_ / "output");
    int status = std::system(command.c_str());
    std::ifstream in(scratch_ / "output");
    output_ = std::string(std::istreambuf_iterator<char>(in), {});
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
  std::string output_;
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

  // From the package's games/, or reached through a link elsewhere, it still finds its prefix.
  ASSERT_EQ(Run(environment, prefix_ / "games/vexadrome"), 0);
  EXPECT_EQ(Report(), Expected(folder));
  fs::create_symlink(prefix_ / "bin/vexadrome", scratch_ / "a link");
  ASSERT_EQ(Run(environment, scratch_ / "a link"), 0);
  EXPECT_EQ(Report(), Expected(folder));

  fs::remove(folder / "data");
  fs::create_directory(folder / "data");
  std::ofstream(folder / "data/own.png") << "mine";
  ASSERT_EQ(Run(environment), 0);
  EXPECT_EQ(Report(), folder.string() + "\nno-link\n<one><two words>\n");
  EXPECT_TRUE(fs::exists(folder / "data/own.png"));
}

TEST_F(Launcher, AnswersHelpAndVersionWithoutStartingTheGame) {
  std::string environment = "XDG_DATA_HOME=" + Quoted(scratch_ / "xdg");
  ASSERT_EQ(Run(environment, {}, "--version"), 0);
  EXPECT_EQ(output_, "vexadrome " VEXADROME_VERSION "\n");
  for (const char* option : {"--help", "-h"}) {
    ASSERT_EQ(Run(environment, {}, option), 0);
    EXPECT_NE(output_.find("man 6 vexadrome"), std::string::npos) << output_;
  }
  EXPECT_FALSE(fs::exists(scratch_ / "report")) << "the game was started";
  EXPECT_FALSE(fs::exists(scratch_ / "xdg")) << "the player's folder was made";
}

}  // namespace
