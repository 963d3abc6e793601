#include "components/data/stream2hex.h"

#include "components/data/hex_text.h"
#include "core/dispatch.h"

namespace vn {

void TVNStream2Hex::doConvert(TData& data, std::uint16_t /*index*/) {
  const RcString bytes = ReadString(data, Data, RcString());
  DeferString(data, onResult, RcString(BytesToHex(bytes)));
}

}  // namespace vn
