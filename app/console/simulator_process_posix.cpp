#include "app/console/simulator_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>

extern char** environ;

namespace vn::sim {

SimulatorProcess::SimulatorProcess(const std::string& program, const std::vector<std::string>& arguments) {
  for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] != "--adapter-tick-ms") continue;
    const double milliseconds = std::strtod(arguments[i + 1].c_str(), nullptr);
    if (milliseconds > 0) adapterTick_ = std::chrono::microseconds(std::llround(milliseconds * 1000));
  }
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  output_ = pipeFds[0];
  if (spawned != 0) {
    pid_ = -1;
    return;
  }
  const std::string first = ReadLine(std::chrono::seconds(10));
  if (first.rfind("PTY ", 0) == 0) pty_ = first.substr(4);
}

SimulatorProcess::~SimulatorProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (output_ >= 0) close(output_);
}

void SimulatorProcess::Terminate() {
  if (pid_ > 0) kill(pid_, SIGTERM);
}

std::string SimulatorProcess::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const std::size_t end = buffered_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || output_ < 0) return {};
    pollfd readable{output_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[512];
    const ssize_t count = read(output_, chunk, sizeof chunk);
    if (count <= 0) return {};
    buffered_.append(chunk, static_cast<std::size_t>(count));
  }
}

std::string SimulatorProcess::Summary(std::chrono::milliseconds limit) {
  if (summary_.empty()) summary_ = ReadLine(limit);
  return summary_;
}

std::string SummaryField(const std::string& summary, const std::string& name) {
  const std::string key = "\"" + name + "\":";
  const std::size_t at = summary.find(key);
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size();
  const std::size_t end = summary.find_first_of(",}", start);
  return summary.substr(start, end - start);
}

}  // namespace vn::sim
