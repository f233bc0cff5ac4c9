// Builds a window's layout tree from its controls and lays it out. The window
// side (measuring real controls, the resizable host) is LayoutDialog's.
//
// Spacings, end borders, top insets and the root's borders are given as
// pixels at 96 DPI: the manager scales them to its DPI as it builds. Item
// sizes are pixels as they are (a control's measured size already has the
// window's DPI).
#pragma once

#include <functional>
#include <memory>

#include "ui/layout_panes.h"

class LayoutMgr {
 public:
  // Finds the control with an ID; null when the window has none.
  using ControlLookup = std::function<std::shared_ptr<LayoutControl>(int id)>;

  explicit LayoutMgr(ControlLookup lookup);

  // The DPI of the window the tree is built for; panes built later scale to it.
  void SetDpi(int dpi) { dpi_ = dpi; }
  int dpi() const { return dpi_; }
  // A figure of pixels at 96 DPI at the manager's DPI.
  int Scaled(int pixels) const { return ScaleForDpi(pixels, dpi_); }

  // Replaces any root with a new greedy pane and returns it.
  std::shared_ptr<Pane> MakeRoot(Orientation orientation, int spacing, int end_border);
  std::shared_ptr<Pane> NewPane(Orientation orientation, unsigned mode, int spacing, int end_border = 0,
                                int secondary = 0) const;
  // A pane framed by the control with the ID (a group box); top_inset is kept
  // free below the frame's top for its caption.
  std::shared_ptr<Pane> NewFramedPane(int id, Orientation orientation, unsigned mode, int spacing,
                                      int end_border, int top_inset, int secondary = 0) const;
  // An item for the control with the ID. Sizes of 0 mean the control's current
  // size, minimums of -1 too; an ID without a control gives a window-less item
  // that keeps the sizes given.
  std::shared_ptr<PaneBase> NewItem(int id, unsigned mode, int width = 0, int height = 0, int min_width = -1,
                                    int min_height = -1) const;
  // A window-less item of the sizes given.
  std::shared_ptr<PaneBase> NewEmptyItem(unsigned mode, int width = 0, int height = 0) const;
  // Empty, fixed at 0 across the orientation and greedy along it: soaks up spare space.
  std::shared_ptr<PaneBase> NewStretchSpacer(Orientation orientation) const;

  const std::shared_ptr<Pane>& root() const { return root_; }
  void ReleaseRoot() { root_.reset(); }

  // Width and height kept free around the root pane.
  LayoutSize root_borders() const { return {Scaled(5), Scaled(5)}; }
  // The area the layout uses in a client area of the size; with a size-grip
  // status bar of status_height pixels (0: none) the root reaches 5 pixels into it.
  LayoutRect LayoutArea(LayoutSize client, int status_height) const;
  // Smallest layout area size the root fits in (root minimum plus both borders).
  LayoutSize MinAreaSize() const;
  // Largest one; -1 in a direction where the root has no maximum.
  LayoutSize MaxAreaSize() const;
  // Lays the root out in the layout area (shrunk by the borders); nothing without a root.
  void LayOut(const LayoutRect& area) const;

 private:
  // The size across a pane, scaled unless it is a percentage.
  int ScaledSecondary(Orientation orientation, unsigned mode, int secondary) const;

  ControlLookup lookup_;
  int dpi_ = kBaseDpi;
  std::shared_ptr<Pane> root_;
};
