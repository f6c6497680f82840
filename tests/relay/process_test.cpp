// Runs the skylane-relay executable as a real process.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/relay/test_client.h"

namespace {

using relay_test::Record;
using relay_test::TestClient;

// A child process with pipes on its standard input, output and error.
class Relay {
 public:
  explicit Relay(std::vector<std::string> args) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      std::vector<char*> argv = {const_cast<char*>(SKYLANE_RELAY_PATH)};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
  }
  ~Relay() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {stdin_, stdout_, stderr_})
      if (fd >= 0) close(fd);
  }

  // Reads standard output up to the end of the next line.
  std::string ReadLine(int timeoutMs = 5000) {
    std::string line;
    char c;
    while (Readable(stdout_, timeoutMs) && read(stdout_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // The port from the first line, "skylane-relay listening on 127.0.0.1:PORT ...".
  int ReadPort() {
    const std::string line = ReadLine();
    const size_t colon = line.find("127.0.0.1:");
    return colon == std::string::npos ? -1 : std::atoi(line.c_str() + colon + 10);
  }
  // Waits for the exit (and reads what is left); returns the exit code or -1.
  int Wait(int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        output_ = Drain(stdout_);
        errors_ = Drain(stderr_);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  void Signal(int sig) { kill(pid_, sig); }
  int stdinFd() const { return stdin_; }
  void CloseStdin() {
    close(stdin_);
    stdin_ = -1;
  }
  const std::string& output() const { return output_; }
  const std::string& errors() const { return errors_; }

 private:
  static bool Readable(int fd, int timeoutMs) {
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0;
  }
  static std::string Drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while (Readable(fd, 100) && (n = read(fd, buffer, sizeof buffer)) > 0)
      text.append(buffer, static_cast<size_t>(n));
    return text;
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int stdin_ = -1, stdout_ = -1, stderr_ = -1;
  std::string output_, errors_;
};

TEST(RelayProcess, HelpDescribesTheSourcesAndExitsZero) {
  for (const char* flag : {"--help", "-h"}) {
    Relay relay({flag});
    EXPECT_EQ(relay.Wait(), 0) << flag;
    EXPECT_EQ(relay.output().rfind("Usage: skylane-relay [options] [sources]\n", 0), 0u) << flag;
    EXPECT_EQ(relay.errors(), "") << flag;
    for (const char* word : {"--tone", "--file", "--stdin", "--loopback", "--impulse", "--jack",
                             "--jack-capture", "--list-jack", "--port", "--stats"})
      EXPECT_NE(relay.output().find(word), std::string::npos) << word;
  }
}

TEST(RelayProcess, BadCommandLinesExitWithTwoAndAMessage) {
  const std::string text = ::testing::TempDir() + "relay_text.txt";
  FILE* f = fopen(text.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("plain text\n", f);
  fclose(f);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--frobnicate"}, "unknown option: --frobnicate"},
      {{"--tone"}, "--tone wants a value"},
      {{"--port", "99999"}, "bad port"},
      {{"--file", "Song=/nonexistent/song.wav"}, "/nonexistent/song.wav"},
      {{"--file", "Text=" + text}, "relay_text.txt"},
      {{"--file", "NoPath"}, "NAME=PATH"},
      {{"--tone", "A", "--tone", "A"}, "used twice"},
  };
  for (const auto& [args, message] : cases) {
    Relay relay(args);
    EXPECT_EQ(relay.Wait(), 2) << args[0];
    EXPECT_EQ(relay.errors().rfind("skylane-relay: ", 0), 0u) << relay.errors();
    EXPECT_NE(relay.errors().find(message), std::string::npos) << relay.errors();
    EXPECT_EQ(relay.output(), "") << args[0];
  }
  Relay usage({"--jack", "A=x,y,z"});
  EXPECT_EQ(usage.Wait(), 2);
  EXPECT_EQ(usage.errors(),
            "skylane-relay: --jack wants NAME, NAME=PORT or NAME=PORT_L,PORT_R, got: A=x,y,z\n"
            "Try 'skylane-relay --help'.\n");
}

TEST(RelayProcess, ServesTheDemoToneAndStopsCleanlyOnSigterm) {
  Relay relay({"--port", "0"});
  const int port = relay.ReadPort();
  ASSERT_GT(port, 0);
  {
    TestClient client;
    ASSERT_TRUE(client.Connect(port));
    ASSERT_TRUE(client.SendRequest(0, 0));
    Record r;
    ASSERT_TRUE(client.ReadRecord(&r));
    EXPECT_EQ(r.type(), 1);
    EXPECT_EQ(r.text(), "Skylane Demo Tone");
    std::vector<float> s;
    ASSERT_TRUE(client.ReadFrames(1024, &s));
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.25f, 0.01f);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  relay.Signal(SIGTERM);
  EXPECT_EQ(relay.Wait(), 0);
  EXPECT_NE(relay.output().find("client 1 connected"), std::string::npos) << relay.output();
  EXPECT_NE(relay.output().find("client 1 disconnected"), std::string::npos) << relay.output();
}

TEST(RelayProcess, StreamsStandardInputAndStopsOnSigint) {
  Relay relay({"--port", "0", "--stdin", "Pipe", "--stats"});
  const int port = relay.ReadPort();
  ASSERT_GT(port, 0);
  std::vector<float> frames(2 * 4410);
  for (size_t i = 0; i < frames.size(); i += 2) {
    frames[i] = 0.125f;
    frames[i + 1] = -0.375f;
  }
  TestClient client;
  ASSERT_TRUE(client.Connect(port));
  ASSERT_TRUE(client.SendRequest(0, 0));
  Record r;
  ASSERT_TRUE(client.ReadRecord(&r));
  EXPECT_EQ(r.text(), "Pipe");
  ASSERT_EQ(write(relay.stdinFd(), frames.data(), frames.size() * 4),
            static_cast<ssize_t>(frames.size() * 4));
  bool heard = false;
  for (int i = 0; i < 200 && !heard; ++i) {
    ASSERT_TRUE(client.ReadRecord(&r));
    heard = r.header > 0 && r.samples[0] == 0.125f && r.samples[1] == -0.375f;
  }
  EXPECT_TRUE(heard);
  std::string line;
  for (int i = 0; i < 10 && line.rfind("stats:", 0) != 0; ++i) line = relay.ReadLine(3000);
  EXPECT_EQ(line.rfind("stats: 1 clients, 1 streaming; last second: ", 0), 0u) << line;
  relay.CloseStdin();
  const std::string ended = "device \"Pipe\": standard input ended; the device plays silence";
  for (int i = 0; i < 20 && line.rfind(ended, 0) != 0; ++i) line = relay.ReadLine(3000);
  EXPECT_EQ(line.rfind(ended, 0), 0u) << line;
  relay.Signal(SIGINT);
  EXPECT_EQ(relay.Wait(), 0);
  EXPECT_EQ(relay.output().find(ended), std::string::npos) << "said once";
}

TEST(RelayProcess, ABusyPortIsARuntimeError) {
  Relay first({"--port", "0"});
  const int port = first.ReadPort();
  ASSERT_GT(port, 0);
  Relay second({"--port", std::to_string(port)});
  EXPECT_EQ(second.Wait(), 1);
  EXPECT_NE(second.errors().find("cannot listen"), std::string::npos) << second.errors();
}

}  // namespace
