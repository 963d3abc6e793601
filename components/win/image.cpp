#include "components/win/image.h"

#include <utility>

#include "components/win/draw_fit.h"
#include "core/dispatch.h"

namespace vn {

namespace {
constexpr std::int32_t kColorOnColor = 3;
constexpr std::int32_t kHalftone = 4;
constexpr int kFirstNtVersionClass = 3;

bool IsEmpty(const toolkit::Rect& rect) { return rect.Width() <= 0 || rect.Height() <= 0; }
}  // namespace

TVNImage::TVNImage(toolkit::Window& parentWindow) : TVNWin(parentWindow) {}

void TVNImage::SetPicture(std::unique_ptr<toolkit::Bitmap> bitmap) {
  if (bitmap) Picture = std::move(bitmap);
}

void TVNImage::SetSmooth(bool smooth) {
  StretchMode = smooth && toolkit::Application::VersionClass() >= kFirstNtVersionClass
                    ? kHalftone
                    : kColorOnColor;
}

bool TVNImage::PictureEmpty() const {
  return !Picture || Picture->Width() <= 0 || Picture->Height() <= 0;
}

void TVNImage::DrawPictureFit(toolkit::Canvas& canvas) {
  if (PictureEmpty() || !Control) return;
  // The client area, not the outer size: a border must not push the
  // picture off centre.
  const toolkit::Rect client = Control->ClientRect();
  const TFitLayout layout =
      DrawFit(Picture->Width(), Picture->Height(), client.Width(), client.Height());
  for (const toolkit::Rect& band : layout.bands) {
    if (!IsEmpty(band)) canvas.FillRect(band);
  }
  canvas.SetStretchMode(StretchMode);
  canvas.StretchDraw(*Picture, layout.target);
}

TVNImage::TPaintRoutine TVNImage::FitRoutine() {
  return [this](toolkit::Canvas& canvas) { DrawPictureFit(canvas); };
}

void TVNImage::Init() {
  Control = toolkit::Control::Create(toolkit::ControlKind::Picture, *ParentWindow, "", {});
  TVNWin::Init();
  Control->SetColor(Color);
  if (AutoSize && !PictureEmpty()) {
    toolkit::Rect bounds = Control->Bounds();
    bounds.right = SaturatingAdd(bounds.left, Picture->Width());
    bounds.bottom = SaturatingAdd(bounds.top, Picture->Height());
    Control->SetBounds(bounds);
  }
}

void TVNImage::ClickHandler() { FireNull(onClick); }

void TVNImage::PaintHandler(toolkit::Canvas& canvas) {
  if (!PictureEmpty() && PaintRoutine) {
    PaintRoutine(canvas);
  } else if (Control) {
    canvas.FillRect(Control->ClientRect());
  }
}

}  // namespace vn
