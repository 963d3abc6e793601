#include "app/console/port_listing.h"

#include "components/serial/com_async.h"
#include "core/conversions.h"
#include "core/point_link.h"
#include "core/scheme_lock.h"

namespace vn::console {
namespace {

struct Lister {
  std::vector<std::string> names;
  void doAdd(TData& data, std::uint16_t /*index*/) { names.emplace_back(ToString(data).view()); }
};

}  // namespace

std::vector<std::string> ListComNames(bool openable) {
  TVNComAsync port;
  port.EnumCheck = openable;
  Lister lister;
  port.onEnum = MakePoint<&Lister::doAdd>(0, &lister);
  SchemeChain chain;
  TData none;
  port.doEnum(none, 0);
  return lister.names;
}

}  // namespace vn::console
