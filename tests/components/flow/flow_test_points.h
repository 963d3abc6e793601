#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/tdata.h"
#include "tests/support/test_points.h"

namespace vn::test {

using Journal = std::vector<std::string>;

// A value and its chain as text, e.g. "I:5 S:ab N", taken while the nodes live.
inline std::string ChainText(const TData& data) {
  std::string text;
  for (const TData* n = &data; n != nullptr; n = n->Next) {
    if (!text.empty()) text += ' ';
    if (n->DataType == TagNull) text += "N";
    else if (n->DataType == TagInteger) text += "I:" + std::to_string(n->IData);
    else if (n->DataType == TagString) text += "S:" + n->SData.str();
    else text += "T" + std::to_string(n->DataType);
  }
  return text;
}

// Logs "name=<chain>" for each value it receives into a shared journal.
struct ChainLog {
  Journal* journal;
  std::string name;
  void doEvent(TData& data, std::uint16_t) { journal->push_back(name + "=" + ChainText(data)); }
  TPointLink Link() { return MakePoint<&ChainLog::doEvent>(0, this); }
};

// Overwrites the value it receives (defers 999 to nowhere).
struct Clobber {
  void doEvent(TData& data, std::uint16_t) { DeferInteger(data, TPointLink{}, 999); }
  TPointLink Link() { return MakePoint<&Clobber::doEvent>(0, this); }
};

// Links nodes the test owns into one chain and returns its head.
inline TData& LinkChain(std::vector<TData>& nodes) {
  for (std::size_t i = 0; i + 1 < nodes.size(); ++i) nodes[i].Next = &nodes[i + 1];
  return nodes[0];
}

// The text of a value handed back deferred to `link`, else "not deferred".
inline std::string DeferredTo(const TPointLink& link, TData value) {
  if ((value.DataType & DeferredFlag) == 0 || value.DeferredPoint != &link) return "not deferred";
  value.DataType &= ~DeferredFlag;
  return ChainText(value);
}

}  // namespace vn::test
