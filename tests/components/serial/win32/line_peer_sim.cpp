#include "tests/components/serial/line_peer.h"
#include "tests/components/serial/win32/sim_port.h"

namespace vn::test {
namespace {

// The harness starts the simulator with --echo; the pty shim reports its
// modem lines as all on.
class SimEchoPeer : public LinePeer {
 public:
  std::string PortName() const override { return kSimPort; }
  std::int32_t PortNumber() const override { return kSimPortNumber; }
  std::vector<std::string> LinesAtOpen() const override { return {"CTS:1", "DSR:1", "RLSD:1"}; }
  std::chrono::milliseconds Patience() const override { return kWinePatience; }
};

}  // namespace

std::unique_ptr<LinePeer> MakeEchoingPeer() { return std::make_unique<SimEchoPeer>(); }

}  // namespace vn::test
