// Painting on a recording canvas; tooltips.

#include <algorithm>

#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit {

namespace hd = headless::detail;
using headless::DrawCall;

namespace {

constexpr std::uint32_t kPaint = 0x000F;  // WM_PAINT

class RecordingCanvas final : public Canvas {
 public:
  RecordingCanvas(Color background, std::vector<DrawCall>& calls) : background_(background), calls_(calls) {}

  void FillRect(const Rect& rect) override {
    DrawCall call;
    call.kind = DrawCall::Kind::FillRect;
    call.rect = rect;
    call.color = background_;
    calls_.push_back(call);
  }
  void SetStretchMode(std::int32_t mode) override {
    DrawCall call;
    call.kind = DrawCall::Kind::SetStretchMode;
    call.mode = mode;
    calls_.push_back(call);
  }
  void StretchDraw(const Bitmap& bitmap, const Rect& target) override {
    DrawCall call;
    call.kind = DrawCall::Kind::StretchDraw;
    call.rect = target;
    call.bitmapWidth = bitmap.Width();
    call.bitmapHeight = bitmap.Height();
    calls_.push_back(call);
  }

 private:
  Color background_;
  std::vector<DrawCall>& calls_;
};

class HeadlessTooltip final : public Tooltip {
 public:
  // The tip's looks are the platform's business; the screen keeps its text.
  explicit HeadlessTooltip(const hd::Node* node) {
    if (node != nullptr) {
      record_.node = node;
      record_.life = node->life;
    }
    hd::TheWorld().tooltips.push_back(&record_);
  }
  ~HeadlessTooltip() override { std::erase(hd::TheWorld().tooltips, &record_); }
  void SetText(std::string_view text) override { record_.text = text; }
  std::string Text() const override { return record_.text; }

 private:
  hd::TooltipRecord record_;
};

}  // namespace

namespace headless::detail {

std::vector<DrawCall> PaintNode(Node& node) {
  std::vector<DrawCall> calls;
  if (!node.exists) return calls;
  Watch watch(node);
  Message paint{kPaint, 0, 0, nullptr};
  if (Offer(node, paint) || watch.Gone() || node.handler == nullptr) return calls;
  RecordingCanvas canvas(node.color, calls);
  node.handler->Paint(canvas);
  return calls;
}

}  // namespace headless::detail

std::unique_ptr<Tooltip> Tooltip::Create(Window& control, const Style& /*style*/) {
  return std::make_unique<HeadlessTooltip>(hd::Lookup(&control));
}

}  // namespace vn::toolkit
