// Opening addresses and files through a stand-in xdg-open on PATH.
#include "gui/desktop_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

class DesktopOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/skylane-open-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    mDir = dir;
    const char* path = getenv("PATH");
    mOldPath = path ? path : "";
    setenv("PATH", mDir.c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", mOldPath.c_str(), 1);
    for (const char* name : {"/xdg-open", "/opened", "/pwned"}) unlink((mDir + name).c_str());
    rmdir(mDir.c_str());
  }
  // An opener that appends its one argument, as one line, to "opened".
  void InstallOpener(const char* firstLine = "#!/bin/sh") {
    const std::string script = mDir + "/xdg-open";
    std::ofstream(script) << firstLine << "\nprintf '%s\\n' \"$1\" >> \"" << mDir << "/opened\"\n";
    chmod(script.c_str(), 0755);
  }
  // The first line the opener wrote, waiting for it up to a generous deadline.
  std::string OpenedLine() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      std::ifstream in(mDir + "/opened");
      std::stringstream text;
      text << in.rdbuf();
      const std::string s = text.str();
      if (s.find('\n') != std::string::npos) return s.substr(0, s.find('\n'));
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return "(nothing opened)";
  }

  std::string mDir, mOldPath;
};

TEST_F(DesktopOpenTest, TheTargetReachesTheOpenerAsOneArgument) {
  InstallOpener();
  const std::string url = "https://example.com/a b?x=1;touch " + mDir + "/pwned;$(id)`id`'\"";
  EXPECT_TRUE(DesktopOpen(url.c_str()));
  EXPECT_EQ(OpenedLine(), url);
  EXPECT_NE(access((mDir + "/pwned").c_str(), F_OK), 0);
}

TEST_F(DesktopOpenTest, RefusedTargetsAndMissingOpenersFailCleanly) {
  EXPECT_FALSE(DesktopOpen("https://example.com"));  // no opener on PATH
  InstallOpener("#!/no/such/interpreter");
  EXPECT_FALSE(DesktopOpen("https://example.com"));  // the opener cannot start
  InstallOpener();
  for (const char* bad : {"", "--help", "/no/such/file.wav", "relative/missing"}) {
    EXPECT_FALSE(DesktopOpen(bad)) << bad;
  }
  EXPECT_FALSE(DesktopOpen(nullptr));
  EXPECT_TRUE(DesktopOpen(mDir.c_str()));  // an existing folder
  EXPECT_EQ(OpenedLine(), mDir);
}

}  // namespace
