// The relay's server on a thread of the test, on a free port, logging to a
// temporary file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "relay/server.h"

namespace relay_test {

class RunningServer {
 public:
  explicit RunningServer(std::vector<relay::Device> devices,
                         relay::ServerConfig config = relay::ServerConfig());
  ~RunningServer();
  RunningServer(const RunningServer&) = delete;
  RunningServer& operator=(const RunningServer&) = delete;

  int port() const { return server_->port(); }
  void Stop();
  // Everything logged so far.
  std::string Log();

 private:
  FILE* log_;
  bool opened_ = false;
  std::unique_ptr<relay::Server> server_;
  std::thread thread_;
};

}  // namespace relay_test
