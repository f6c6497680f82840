// The installed tree of `cmake --install` (what make install runs), the
// per-user installation, uninstalling both, the manual pages and --version.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using Files = std::set<std::string>;

struct Result {
  int status = -1;
  std::string output;  // standard output and error
};

// Runs a shell command line; the exit status and everything it printed.
Result Shell(const std::string& command) {
  Result r;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// A fresh, empty folder for one test.
std::string Scratch(const std::string& name) {
  const std::string dir = ::testing::TempDir() + "install_" + name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// Every file (and symbolic link) below ROOT, as paths relative to it.
Files FilesBelow(const std::string& root) {
  Files files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), root).string());
  return files;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool IsExecutable(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0 && (s.st_mode & 0111) == 0111;
}

std::string ExecStart(const std::string& unitPath) {
  std::smatch m;
  const std::string unit = ReadText(unitPath);
  return std::regex_search(unit, m, std::regex("\nExecStart=([^\n]*)")) ? m[1].str() : "";
}

// Installs this build folder with `cmake --install` under DESTDIR and PREFIX.
// Every install rule is in the default component; naming it makes cmake record
// the files in kManifest, so the test never touches the record of a real
// installation (install_manifest.txt) made from the same folder.
Result Install(const std::string& destdir, const std::string& prefix) {
  return Shell("DESTDIR=" + Quote(destdir) + " " + Quote(SKYLANE_CMAKE) + " --install " +
               Quote(SKYLANE_BUILD_DIR) + " --component Unspecified --prefix " + Quote(prefix));
}
const std::string kManifest = std::string(SKYLANE_BUILD_DIR) + "/install_manifest_Unspecified.txt";

Result Uninstall(const std::string& destdir, const std::string& manifest) {
  return Shell("DESTDIR=" + Quote(destdir) + " " + Quote(SKYLANE_CMAKE) +
               " -DMANIFEST=" + Quote(manifest) + " -P " +
               Quote(std::string(SKYLANE_SOURCE_DIR) + "/cmake/Uninstall.cmake"));
}

bool HaveSystemdAnalyze() { return Shell("command -v systemd-analyze").status == 0; }

// systemd's own check of a user unit: its keys, its ExecStart program (with
// %h as HOME, when given) and its manual page in MANPATH.
Result VerifyUnit(const std::string& unit, const std::string& manpath, const std::string& home) {
  const std::string runtime = Scratch("runtime");
  fs::permissions(runtime, fs::perms::owner_all);
  return Shell((home.empty() ? "" : "HOME=" + Quote(home) + " ") + "MANPATH=" + Quote(manpath) +
               " XDG_RUNTIME_DIR=" + Quote(runtime) + " systemd-analyze --user verify " +
               Quote(unit));
}

TEST(Install, EveryFileWhereItBelongsAndNothingElseThenUninstalled) {
  const std::string root = Scratch("tree");
  const Result install = Install(root, "/usr/local");
  ASSERT_EQ(install.status, 0) << install.output;
  const Files expected = {"usr/local/lib/vst/Skylane.so",
                          "usr/local/lib/lv2/Skylane.lv2/Skylane.so",
                          "usr/local/lib/lv2/Skylane.lv2/manifest.ttl",
                          "usr/local/lib/lv2/Skylane.lv2/skylane.ttl",
                          "usr/local/bin/skylane-relay",
                          "usr/local/bin/skylane-host",
                          "usr/local/share/man/man1/skylane-relay.1",
                          "usr/local/share/man/man1/skylane-host.1",
                          "usr/local/lib/systemd/user/skylane-relay.service",
                          "usr/local/share/doc/skylane/README.md"};
  EXPECT_EQ(FilesBelow(root), expected);
  for (const char* tool : {"skylane-relay", "skylane-host"})
    EXPECT_TRUE(IsExecutable(root + "/usr/local/bin/" + tool)) << tool;
  EXPECT_EQ(ExecStart(root + "/usr/local/lib/systemd/user/skylane-relay.service"),
            "/usr/local/bin/skylane-relay");

  // The record of this installation, as make install keeps it.
  const std::string manifest = root + "/installed-files.txt";
  fs::copy_file(kManifest, manifest);
  fs::create_directories(root + "/usr/local/share/man/man1/other");
  std::ofstream(root + "/usr/local/bin/other-tool") << "not ours\n";
  const Result uninstall = Uninstall(root, manifest);
  ASSERT_EQ(uninstall.status, 0) << uninstall.output;
  EXPECT_EQ(FilesBelow(root), (Files{"installed-files.txt", "usr/local/bin/other-tool"}));
  EXPECT_FALSE(fs::exists(root + "/usr/local/share/doc/skylane"));
  EXPECT_TRUE(fs::exists(root + "/usr/local/share/man/man1/other"));

  const Result again = Uninstall(root, root + "/absent.txt");
  EXPECT_NE(again.status, 0);
  EXPECT_NE(again.output.find("no record of an installation"), std::string::npos) << again.output;
}

TEST(Install, TheUnitStartsTheRelayOfItsOwnPrefixAndVerifiesClean) {
  const std::string prefix = Scratch("prefix") + "/opt/skylane";
  const Result install = Install("", prefix);
  ASSERT_EQ(install.status, 0) << install.output;
  const std::string unit = prefix + "/lib/systemd/user/skylane-relay.service";
  EXPECT_EQ(ExecStart(unit), prefix + "/bin/skylane-relay");
  if (!HaveSystemdAnalyze()) GTEST_SKIP() << "no systemd-analyze";
  const Result verify = VerifyUnit(unit, prefix + "/share/man", "");
  EXPECT_EQ(verify.status, 0) << verify.output;
  EXPECT_EQ(verify.output, "");
}

TEST(Install, ForTheUserWithoutRootThenUninstalled) {
  const std::string home = Scratch("home");
  const std::string script = Quote(std::string(SKYLANE_SOURCE_DIR) + "/packaging/install-user.sh") +
                             " " + Quote(SKYLANE_BUILD_DIR);
  const std::string env = "env -u XDG_CONFIG_HOME HOME=" + Quote(home) + " ";
  const Result install = Shell(env + script);
  ASSERT_EQ(install.status, 0) << install.output;
  const Files expected = {".vst/Skylane.so",
                          ".lv2/Skylane.lv2/Skylane.so",
                          ".lv2/Skylane.lv2/manifest.ttl",
                          ".lv2/Skylane.lv2/skylane.ttl",
                          ".local/bin/skylane-relay",
                          ".local/bin/skylane-host",
                          ".local/share/man/man1/skylane-relay.1",
                          ".local/share/man/man1/skylane-host.1",
                          ".config/systemd/user/skylane-relay.service"};
  EXPECT_EQ(FilesBelow(home), expected);
  EXPECT_TRUE(IsExecutable(home + "/.local/bin/skylane-relay"));
  EXPECT_EQ(Shell(Quote(home + "/.local/bin/skylane-relay") + " --version").status, 0);
  const std::string unit = home + "/.config/systemd/user/skylane-relay.service";
  EXPECT_EQ(ExecStart(unit), "%h/.local/bin/skylane-relay");
  if (HaveSystemdAnalyze()) {
    const Result verify = VerifyUnit(unit, home + "/.local/share/man", home);
    EXPECT_EQ(verify.status, 0) << verify.output;
    EXPECT_EQ(verify.output, "");
  }

  const Result uninstall = Shell(env + script + " --uninstall");
  ASSERT_EQ(uninstall.status, 0) << uninstall.output;
  EXPECT_EQ(FilesBelow(home), Files{});
}

// Every option --help names is described in the tool's manual page.
TEST(Install, ManualPagesDescribeEveryOptionOfHelp) {
  for (const std::string tool : {"relay", "host"}) {
    const std::string exe = tool == "relay" ? SKYLANE_RELAY_PATH : SKYLANE_HOST_PATH;
    const Result help = Shell(Quote(exe) + " --help");
    ASSERT_EQ(help.status, 0) << tool;
    const std::string page =
        ReadText(std::string(SKYLANE_BUILD_DIR) + "/packaging/skylane-" + tool + ".1");
    ASSERT_FALSE(page.empty()) << tool;
    EXPECT_NE(page.find("\"Skylane " SKYLANE_PROJECT_VERSION "\""), std::string::npos) << tool;
    const std::regex option("--([a-z][a-z0-9-]*)");
    int options = 0;
    for (std::sregex_iterator it(help.output.begin(), help.output.end(), option), end; it != end;
         ++it, ++options) {
      const std::string troff =
          "\\-\\-" + std::regex_replace((*it)[1].str(), std::regex("-"), "\\-");
      EXPECT_NE(page.find(troff), std::string::npos) << "skylane-" << tool << ".1 lacks " << troff;
    }
    EXPECT_GT(options, 10) << tool;
  }
}

// The tools and the Debian package carry the version the build sets.
TEST(Install, ToolsAndPackagePrintTheProductVersion) {
  for (const std::string& exe : {std::string(SKYLANE_RELAY_PATH), std::string(SKYLANE_HOST_PATH)}) {
    const Result r = Shell(Quote(exe) + " --version");
    EXPECT_EQ(r.status, 0) << exe;
    EXPECT_EQ(r.output, fs::path(exe).filename().string() + " " SKYLANE_PROJECT_VERSION "\n");
  }
  const std::string changelog = ReadText(std::string(SKYLANE_SOURCE_DIR) + "/debian/changelog");
  EXPECT_EQ(changelog.rfind("skylane (" SKYLANE_PROJECT_VERSION "-", 0), 0u)
      << changelog.substr(0, changelog.find('\n'));
}

}  // namespace
