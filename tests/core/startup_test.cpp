#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/startup.h"

namespace vn {
namespace {

struct Step {
  std::vector<std::string>* log;
  std::string name;
  Step* registersAnother = nullptr;
  void Run() {
    log->push_back(name);
    if (registersAnother != nullptr) RegisterStartup<&Step::Run>(registersAnother);
  }
};

TEST(Startup, RunsInOrderIncludingStepsRegisteredMeanwhile) {
  std::vector<std::string> log;
  Step late{&log, "late"};
  Step first{&log, "first", &late};
  Step second{&log, "second"};
  SetStarted(false);
  RegisterStartup<&Step::Run>(&first);
  RegisterStartup<&Step::Run>(&second);
  RunStartup();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "late"}));
  EXPECT_TRUE(Started());

  RunStartup();  // the list was emptied
  EXPECT_EQ(log.size(), 3u);
}

TEST(Startup, UnregisteredTargetIsSkipped) {
  std::vector<std::string> log;
  Step gone{&log, "gone"};
  Step kept{&log, "kept"};
  RegisterStartup<&Step::Run>(&gone);
  RegisterStartup<&Step::Run>(&kept);
  UnregisterStartup(&gone);
  RunStartup();
  EXPECT_EQ(log, (std::vector<std::string>{"kept"}));
}

}  // namespace
}  // namespace vn
