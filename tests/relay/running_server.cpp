#include "tests/relay/running_server.h"

#include <gtest/gtest.h>

namespace relay_test {

RunningServer::RunningServer(std::vector<relay::Device> devices, relay::ServerConfig config) {
  log_ = tmpfile();
  config.port = 0;
  config.log = log_;
  server_ = std::make_unique<relay::Server>(config, std::move(devices));
  std::string error;
  opened_ = server_->Open(&error);
  EXPECT_TRUE(opened_) << error;
  if (opened_) thread_ = std::thread([this] { server_->Run(); });
}

// The server's log thread writes to the file until the server is gone.
RunningServer::~RunningServer() {
  Stop();
  server_.reset();
  fclose(log_);
}

void RunningServer::Stop() {
  server_->RequestStop();
  if (thread_.joinable()) thread_.join();
}

// Reads the file from the start, once the lines logged so far are written.
std::string RunningServer::Log() {
  server_->FlushLog(5000);
  std::string text;
  flockfile(log_);
  const long end = ftell(log_);
  rewind(log_);
  char line[1024];
  while (ftell(log_) < end && fgets(line, sizeof line, log_)) text += line;
  fseek(log_, end, SEEK_SET);
  funlockfile(log_);
  return text;
}

}  // namespace relay_test
