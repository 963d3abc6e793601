#include <stop_token>
#include <thread>

#include "tests/components/serial/line_peer.h"
#include "tests/components/serial/pty_peer.h"

namespace vn::test {
namespace {

class PtyEchoPeer : public LinePeer {
 public:
  PtyEchoPeer()
      : echo_([this](std::stop_token stop) {
          while (!stop.stop_requested()) {
            const std::string bytes = pty_.ReadAvailable(std::chrono::milliseconds(10));
            if (!bytes.empty()) pty_.Write(bytes);
          }
        }) {}

  std::string PortName() const override { return "COM7"; }
  std::int32_t PortNumber() const override { return 7; }
  std::vector<std::string> LinesAtOpen() const override { return {}; }
  std::chrono::milliseconds Patience() const override { return kPatience; }

 private:
  PtyPeer pty_;
  ScopedPortMap map_{{pty_.Entry("COM7")}};
  std::jthread echo_;  // last: stops before the pseudo-terminal goes
};

}  // namespace

std::unique_ptr<LinePeer> MakeEchoingPeer() { return std::make_unique<PtyEchoPeer>(); }

}  // namespace vn::test
