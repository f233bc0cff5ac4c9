#include "ui/start_picture.h"

#include "resources/resource.h"

namespace {

struct PictureSize {
  int first_resource;  // the picture of state 0; states 1 and 2 follow it
  LayoutSize size;
};

// Smallest first.
constexpr PictureSize kSizes[] = {{IDB_START, {155, 66}},
                                  {IDB_START_125, {194, 83}},
                                  {IDB_START_150, {233, 99}},
                                  {IDB_START_200, {310, 132}}};

}  // namespace

int StartPictureResource(int state, LayoutSize button) {
  int chosen = kSizes[0].first_resource;
  for (const PictureSize& picture : kSizes) {
    if (picture.size.cx <= button.cx && picture.size.cy <= button.cy) chosen = picture.first_resource;
  }
  return chosen + state;
}
