#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "components/win/font.h"
#include "toolkit/toolkit.h"

namespace vn {

// What a window component asks of the hint manager that made its tooltip.
class THintInterface {
 public:
  virtual ~THintInterface() = default;
  virtual std::unique_ptr<toolkit::Tooltip> CreateTool(toolkit::Window& control) = 0;
  virtual void DestroyTool(std::unique_ptr<toolkit::Tooltip> tool) = 0;
  // The tool keeps its own copy of the text.
  virtual void SetToolText(toolkit::Tooltip& tool, std::string_view text) = 0;
  virtual void ToolEnter(toolkit::Tooltip& tool) = 0;
  virtual void ToolLeave(toolkit::Tooltip& tool) = 0;
  virtual void ToolMove(toolkit::Tooltip& tool, std::int16_t x, std::int16_t y) = 0;
};

// Makes one tooltip window of its own for every control that has a hint.
// One instance serves the whole program: the entry point creates it before
// the main scheme, and it lives until the process ends.
class TVNHintManager final : public THintInterface {
 public:
  TVNHintManager();

  toolkit::Color BackColor;
  std::int32_t InitialDelay = 500;
  std::int32_t AutoPopDelay = 5000;
  std::int32_t Margin = 0;
  TFontRec Font;  // its colour is the tip text's colour

  // Starts the common controls and makes the global manager (once).
  static TVNHintManager& CreateGlobal();
  // The global manager, or none before CreateGlobal.
  static TVNHintManager* Global();

  std::unique_ptr<toolkit::Tooltip> CreateTool(toolkit::Window& control) override;
  void DestroyTool(std::unique_ptr<toolkit::Tooltip> tool) override;
  void SetToolText(toolkit::Tooltip& tool, std::string_view text) override;
  // The platform's tooltip follows the control by itself.
  void ToolEnter(toolkit::Tooltip& /*tool*/) override {}
  void ToolLeave(toolkit::Tooltip& /*tool*/) override {}
  void ToolMove(toolkit::Tooltip& /*tool*/, std::int16_t /*x*/, std::int16_t /*y*/) override {}
};

}  // namespace vn
