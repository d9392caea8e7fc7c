#pragma once

#include <optional>
#include <string>
#include <string_view>

// A window's placement as the settings keep it ([Settings] WindowPos):
// "flags,show,minX,minY,maxX,maxY,left,top,right,bottom".

namespace lp {

inline constexpr int kPlacementFlagMaximised = 2;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimised = 2;
inline constexpr int kShowMaximised = 3;
inline constexpr int kShowRestore = 9;

struct WindowPlacement {
  unsigned flags = 0;
  unsigned show = kShowNormal;
  int min_x = -1, min_y = -1, max_x = -1, max_y = -1;
  int left = 0, top = 0, right = 0, bottom = 0;

  bool operator==(const WindowPlacement&) const = default;
};

[[nodiscard]] std::string FormatPlacement(const WindowPlacement& placement);
// nullopt for a text that is not ten numbers or has an empty rectangle.
[[nodiscard]] std::optional<WindowPlacement> ParsePlacement(std::string_view text);
// The placement stored on closing: flags 2 when maximised; a minimised
// window is stored with the restore state so that the next start shows it.
[[nodiscard]] WindowPlacement PlacementOnClose(bool maximised, bool minimised, int left, int top, int right,
                                               int bottom);

}  // namespace lp
