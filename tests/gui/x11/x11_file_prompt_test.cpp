// The file prompt against fake chooser programs (shell scripts put first on
// PATH) that record their arguments and answer, fail or never end.
#include "gui/x11/x11_file_prompt.h"

#include <dirent.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::Not;
using R = X11FilePromptResult;

int OpenDescriptors() {
  int count = 0;
  DIR* pDir = opendir("/proc/self/fd");
  while (pDir && readdir(pDir)) ++count;
  if (pDir) closedir(pDir);
  return count;
}

class X11FilePrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/skylane-file-prompt-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mScratch = std::filesystem::canonical(pattern).string();
    std::filesystem::create_directories(mScratch + "/bin");
    std::filesystem::create_directories(mScratch + "/real/folder.fxp");
    std::ofstream(mScratch + "/real/a.fxp") << "x";
    std::ofstream(mScratch + "/real/notes.txt") << "x";
    std::filesystem::create_symlink(mScratch + "/real/a.fxp", mScratch + "/link.fxp");
    std::filesystem::create_directory_symlink(mScratch + "/real", mScratch + "/via");
    mOldPath = getenv("PATH");
    mOldHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("PATH", (mScratch + "/bin").c_str(), 1);
    setenv("HOME", (mScratch + "/home").c_str(), 1);
    mDescriptors = OpenDescriptors();
  }

  void TearDown() override {
    EXPECT_EQ(OpenDescriptors(), mDescriptors);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // no child left, not even a zombie
    EXPECT_EQ(errno, ECHILD);
    setenv("PATH", mOldPath.c_str(), 1);
    if (!mOldHome.empty()) setenv("HOME", mOldHome.c_str(), 1);
    std::filesystem::remove_all(mScratch);
  }

  // A fake chooser that records its arguments (one a line) and then its pid,
  // then runs body.
  void Fake(const char* name, const std::string& body) {
    const std::string path = mScratch + "/bin/" + name;
    std::ofstream(path) << "#!/bin/sh\nPATH=/usr/bin:/bin\ncd '" << mScratch << "'\n"
                        << "printf '%s\\n' \"$@\" > args\necho $$ > pid.tmp && mv pid.tmp pid\n"
                        << body << "\n";
    chmod(path.c_str(), 0755);
  }

  R Prompt(SkyString* pFile, EFileAction action, SkyString* pDir, const char* types,
           const std::function<bool()>& stop = {}) {
    std::filesystem::remove(mScratch + "/args");
    return X11PromptForFile(
        true, 1234, pFile, action, pDir, types, [this] { ++mTicks; }, stop);
  }

  std::vector<std::string> Args() {
    std::vector<std::string> args;
    std::ifstream in(mScratch + "/args");
    for (std::string line; std::getline(in, line);) args.push_back(line);
    return args;
  }

  bool Ran() { return std::filesystem::exists(mScratch + "/args"); }

  std::string mScratch;
  std::string mOldPath;
  std::string mOldHome;
  int mDescriptors = 0;
  int mTicks = 0;
};

TEST_F(X11FilePrompt, OpenResolvesLinksAndStartsAtTheGivenFile) {
  Fake("zenity", "echo " + mScratch + "/link.fxp");
  SkyString file("old.fxp");
  SkyString dir((mScratch + "/start/").c_str());
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, " fxp  *.fxb bad|type"), R::kChosen);
  EXPECT_STREQ(file.Get(), (mScratch + "/real/a.fxp").c_str());
  EXPECT_STREQ(dir.Get(), (mScratch + "/real/").c_str());
  const std::vector<std::string> args = Args();
  EXPECT_THAT(args, Contains("--file-selection"));
  EXPECT_THAT(args, Contains("--filename=" + mScratch + "/start/old.fxp"));
  EXPECT_THAT(args, Contains("--file-filter=fxp fxb | *.fxp *.fxb"));
  EXPECT_THAT(args, Not(Contains("--save")));

  // A full path from an earlier choice is the start by itself.
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, "fxp"), R::kChosen);
  EXPECT_THAT(Args(), Contains("--filename=" + mScratch + "/real/a.fxp"));
}

TEST_F(X11FilePrompt, SaveKeepsTheTypedNameInTheResolvedFolder) {
  Fake("zenity", "echo " + mScratch + "/via/preset");
  SkyString file;
  SkyString dir("~/songs");
  EXPECT_EQ(Prompt(&file, kFileSave, &dir, "fxp fxb"), R::kChosen);
  EXPECT_STREQ(file.Get(), (mScratch + "/real/preset.fxp").c_str());
  EXPECT_STREQ(dir.Get(), (mScratch + "/real/").c_str());
  EXPECT_THAT(Args(), Contains("--save"));
  EXPECT_THAT(Args(), Contains("--filename=" + mScratch + "/home/songs/"));

  Fake("zenity", "echo " + mScratch + "/via/Preset.FXB");
  EXPECT_EQ(Prompt(&file, kFileSave, &dir, "fxp fxb"), R::kChosen);
  EXPECT_STREQ(file.Get(), (mScratch + "/real/Preset.FXB").c_str());
}

TEST_F(X11FilePrompt, CancelsAndRefusedAnswersLeaveTheFileEmpty) {
  const std::string real = mScratch + "/real/";
  const std::string answers[] = {
      "echo " + real + "a.fxp; exit 1",                          // cancelled by the exit status
      "echo " + real + "notes.txt",                              // not one of the types
      "echo " + real + "folder.fxp",                             // a folder
      "echo " + real + "missing.fxp",                            // nothing there
      "echo " + mScratch + "/nowhere/x.fxp",                     // a save into no folder
      "head -c 70000 /dev/zero | tr '\\0' a; echo; sleep 1000",  // too much output
  };
  for (const std::string& answer : answers) {
    SCOPED_TRACE(answer);
    Fake("zenity", answer);
    SkyString file("old.fxp");
    SkyString dir("/start/");
    const EFileAction action = answer.find("nowhere") != std::string::npos ? kFileSave : kFileOpen;
    EXPECT_EQ(Prompt(&file, action, &dir, "fxp"), R::kCancelled);
    EXPECT_TRUE(Ran());
    EXPECT_STREQ(file.Get(), "");
    EXPECT_STREQ(dir.Get(), "/start/");
  }
}

TEST_F(X11FilePrompt, EmptyFolderStartsOnTheDesktopAndNullsAreSafe) {
  Fake("zenity", "exit 1");
  SkyString file;
  SkyString dir;
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, ""), R::kCancelled);
  EXPECT_STREQ(dir.Get(), (mScratch + "/home/Desktop").c_str());
  EXPECT_THAT(Args(), Contains("--filename=" + mScratch + "/home/Desktop/"));
  EXPECT_THAT(Args(), Not(Contains(::testing::StartsWith("--file-filter"))));

  unsetenv("HOME");
  dir.Set("");
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, nullptr), R::kCancelled);
  EXPECT_STREQ(dir.Get(), (std::string(getpwuid(getuid())->pw_dir) + "/Desktop").c_str());

  Fake("zenity", "echo " + mScratch + "/real/notes.txt");
  EXPECT_EQ(Prompt(&file, kFileOpen, nullptr, nullptr), R::kChosen);
  EXPECT_STREQ(file.Get(), (mScratch + "/real/notes.txt").c_str());
  EXPECT_EQ(Prompt(nullptr, kFileOpen, nullptr, nullptr), R::kCancelled);
  EXPECT_FALSE(Ran());
}

TEST_F(X11FilePrompt, NothingRunsWithoutAWindowOrAChooser) {
  Fake("zenity", "echo " + mScratch + "/real/a.fxp");
  SkyString file("old.fxp");
  SkyString dir("/start/");
  EXPECT_EQ(X11PromptForFile(false, 0, &file, kFileOpen, &dir, "fxp", {}, {}), R::kNoWindow);
  EXPECT_FALSE(Ran());
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(dir.Get(), "/start/");

  std::filesystem::remove(mScratch + "/bin/zenity");
  file.Set("old.fxp");
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, "fxp"), R::kNoChooser);
  EXPECT_STREQ(file.Get(), "");
}

TEST_F(X11FilePrompt, KdialogServesWhenZenityIsMissing) {
  Fake("kdialog", "echo " + mScratch + "/link.fxp");
  SkyString file;
  SkyString dir("/start");
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, "fxp fxb"), R::kChosen);
  EXPECT_STREQ(file.Get(), (mScratch + "/real/a.fxp").c_str());
  EXPECT_THAT(Args(), ::testing::ElementsAre(::testing::StartsWith("--title="), "--attach=1234",
                                             "--getopenfilename", "/start/", "*.fxp *.fxb"));
  file.Set("");
  EXPECT_EQ(Prompt(&file, kFileSave, &dir, "fxp"), R::kChosen);
  EXPECT_THAT(Args(), Contains("--getsavefilename"));
}

TEST_F(X11FilePrompt, AHostThatIgnoresChildrenStillGetsTheAnswer) {
  // Children are then reaped by the system, so no exit status comes back.
  struct sigaction ignore {};
  struct sigaction old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGCHLD, &ignore, &old);
  Fake("zenity", "echo " + mScratch + "/link.fxp");
  SkyString file;
  SkyString dir("/start/");
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, "fxp"), R::kChosen);
  EXPECT_STREQ(file.Get(), (mScratch + "/real/a.fxp").c_str());
  Fake("zenity", "exit 1");
  EXPECT_EQ(Prompt(&file, kFileOpen, &dir, "fxp"), R::kCancelled);
  EXPECT_STREQ(file.Get(), "");
  sigaction(SIGCHLD, &old, nullptr);
}

// Gone, or a zombie left to whoever adopted it.
bool Ended(pid_t pid) {
  std::string name, state;
  std::ifstream("/proc/" + std::to_string(pid) + "/stat") >> pid >> name >> state;
  return state.empty() || state == "Z";
}

TEST_F(X11FilePrompt, StoppingEndsAChooserThatNeverExits) {
  // The chooser's own child holds the output pipe too; the second chooser
  // ignores SIGTERM and needs the SIGKILL.
  for (const char* body : {"", "trap '' TERM; "}) {
    SCOPED_TRACE(body);
    Fake("zenity",
         body + std::string("sleep 1000 & echo $! > child.tmp && mv child.tmp child; wait"));
    const std::string childFile = mScratch + "/child";
    std::filesystem::remove(childFile);
    mTicks = 0;
    const auto stop = [&] { return mTicks >= 3 && std::filesystem::exists(childFile); };
    SkyString file;
    SkyString dir("/start/");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Prompt(&file, kFileOpen, &dir, "fxp", stop), R::kCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_STREQ(file.Get(), "");
    pid_t pid = 0;
    pid_t child = 0;
    std::ifstream(mScratch + "/pid") >> pid;
    std::ifstream(childFile) >> child;
    ASSERT_GT(pid, 0);
    ASSERT_GT(child, 0);
    EXPECT_EQ(kill(pid, 0), -1);  // gone and reaped
    EXPECT_EQ(errno, ESRCH);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Ended(child) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(Ended(child));
  }
}

}  // namespace
