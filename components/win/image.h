#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "components/win/win.h"
#include "core/point_link.h"
#include "toolkit/toolkit.h"

namespace vn {

// Shows a picture scaled into its area.
class TVNImage : public TVNWin {
 public:
  using TPaintRoutine = std::function<void(toolkit::Canvas&)>;

  explicit TVNImage(toolkit::Window& parentWindow);

  std::unique_ptr<toolkit::Bitmap> Picture;  // none: the empty picture
  std::int32_t StretchMode = 0;  // 3 COLORONCOLOR, 4 HALFTONE
  TPaintRoutine PaintRoutine;    // draws a non-empty picture; the scheme gives FitRoutine()
  bool AutoSize = false;         // at Init, size the control to the picture
  TPointLink onClick;

  // A null bitmap changes nothing.
  void SetPicture(std::unique_ptr<toolkit::Bitmap> bitmap);
  // Halftone stretching where the system has it (the NT family), else the
  // plain colour-on-colour mode.
  void SetSmooth(bool smooth);
  bool PictureEmpty() const;

  // Draws the whole picture as large as it fits, centred, and fills the
  // bands it leaves with the background.
  void DrawPictureFit(toolkit::Canvas& canvas);
  TPaintRoutine FitRoutine();

  void Init() override;

 protected:
  void ClickHandler() override;
  void PaintHandler(toolkit::Canvas& canvas) override;
};

}  // namespace vn
