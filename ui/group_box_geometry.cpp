#include "ui/group_box_geometry.h"

namespace {

// Left edge of the caption along [left, right), keeping inset from either end.
int CaptionLeft(int left, int right, int width, int alignment, int inset) {
  if (alignment == 1) return left + (right - left - width) / 2;
  if (alignment == 2) return right - inset - width;
  return left + inset;
}

}  // namespace

GroupBoxGeometry GroupBoxLayout(const LayoutRect& client, LayoutSize caption, int box_kind, int alignment,
                                int dpi) {
  // One pixel inside the client area, so the pen stays within it.
  LayoutRect work{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  GroupBoxGeometry geometry;
  geometry.frame = work;
  if (box_kind == 0) {
    geometry.frame.top += caption.cy / 2;
    geometry.caption.left = CaptionLeft(work.left, work.right, caption.cx, alignment, ScaleForDpi(10, dpi));
    geometry.caption.top = work.top;
  } else {
    int bar_bottom = work.top + caption.cy + ScaleForDpi(4, dpi);
    geometry.body = {work.left, bar_bottom, work.right, work.bottom};
    geometry.caption.left = CaptionLeft(work.left, work.right, caption.cx, alignment, ScaleForDpi(2, dpi));
    geometry.caption.top = work.top + ScaleForDpi(2, dpi);
  }
  geometry.caption.right = geometry.caption.left + caption.cx;
  geometry.caption.bottom = geometry.caption.top + caption.cy;
  return geometry;
}
