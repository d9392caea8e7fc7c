#include "app/window_placement.h"

#include <cstdio>
#include <string>

namespace lp {

std::string FormatPlacement(const WindowPlacement& p) {
  char text[160];
  std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.show, p.min_x, p.min_y, p.max_x,
                p.max_y, p.left, p.top, p.right, p.bottom);
  return text;
}

std::optional<WindowPlacement> ParsePlacement(std::string_view text) {
  const std::string copy(text);
  WindowPlacement p;
  char tail = 0;
  const int fields = std::sscanf(copy.c_str(), "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d%c", &p.flags, &p.show, &p.min_x,
                                 &p.min_y, &p.max_x, &p.max_y, &p.left, &p.top, &p.right, &p.bottom, &tail);
  if (fields != 10 || p.right <= p.left || p.bottom <= p.top) return std::nullopt;
  return p;
}

WindowPlacement PlacementOnClose(bool maximised, bool minimised, int left, int top, int right, int bottom) {
  WindowPlacement p;
  p.flags = maximised ? kPlacementFlagMaximised : 0;
  p.show = minimised ? kShowRestore : (maximised ? kShowMaximised : kShowNormal);
  p.left = left;
  p.top = top;
  p.right = right;
  p.bottom = bottom;
  return p;
}

}  // namespace lp
