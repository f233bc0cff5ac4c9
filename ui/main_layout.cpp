#include "ui/main_layout.h"

#include "resources/resource.h"

namespace {

// A window-less filler of width 0 that takes a row's spare width, pushing the field right.
constexpr unsigned kFiller = kFixedWidth | kFillWidth;

std::shared_ptr<Pane> LabelledRow(const LayoutMgr& layout, int label, int field, unsigned field_mode) {
  return layout.NewPane(kHorizontal, kFixedWidth, 5)
      ->Add(layout.NewItem(label, kNoResize))
      ->Add(layout.NewEmptyItem(kFiller))
      ->Add(layout.NewItem(field, field_mode));
}

// The control between two stretch spacers, so that it stays centred.
std::shared_ptr<Pane> CentredRow(const LayoutMgr& layout, unsigned mode, int id) {
  return layout.NewPane(kHorizontal, mode, 5)
      ->Add(layout.NewStretchSpacer(kHorizontal))
      ->Add(layout.NewItem(id, kNoResize))
      ->Add(layout.NewStretchSpacer(kHorizontal));
}

std::shared_ptr<Pane> LeftColumn(const LayoutMgr& layout) {
  auto tracker = layout.NewFramedPane(IDC_TRACKER_BOX, kVertical, kGreedy, 5, 10, 10)
                     ->Add(CentredRow(layout, kGreedy, IDC_START))
                     ->Add(layout.NewItem(IDC_LOG_LIST, kGreedy))
                     ->Add(layout.NewPane(kHorizontal, kGreedy, 5)
                               ->Add(layout.NewItem(IDC_POINT, kNoResize))
                               ->Add(layout.NewItem(IDC_NAMED_POINT, kNoResize))
                               ->Add(layout.NewStretchSpacer(kHorizontal))
                               ->Add(layout.NewItem(IDC_SEND, kNoResize)));
  auto about = layout.NewFramedPane(IDC_ABOUT_BOX, kHorizontal, kFixedWidth, 5, 10, 10)
                   ->Add(layout.NewStretchSpacer(kHorizontal))
                   ->Add(layout.NewItem(IDC_PROGRAM_ICON, kNoResize))
                   ->Add(layout.NewPane(kVertical, kFixedWidth, 5)
                             ->Add(layout.NewItem(IDC_NOTICE, kNoResize))
                             ->Add(layout.NewItem(IDC_WEB_ADDRESS, kNoResize)))
                   ->Add(layout.NewStretchSpacer(kHorizontal));
  return layout.NewPane(kVertical, kGreedy, 5)->Add(tracker)->Add(about)->Add(layout.NewEmptyItem(kNoResize));
}

std::shared_ptr<Pane> SettingsForm(const LayoutMgr& layout) {
  static constexpr int kRows[][2] = {
      {IDC_PORT_LABEL, IDC_PORT_LIST},   {IDC_OTHER_PORT, IDC_OTHER_PORT_NAME}, {IDC_LOGIN_LABEL, IDC_LOGIN},
      {IDC_PASSWORD_LABEL, IDC_PASSWORD}, {IDC_TRACK_LABEL, IDC_TRACK_NAME},     {IDC_PRIVACY_LABEL, IDC_PRIVACY},
      {IDC_THINNING_LABEL, IDC_THINNING}};
  auto form = layout.NewFramedPane(IDC_SETTINGS_BOX, kVertical, kGreedy, 5, 10, 10);
  for (const auto& row : kRows) form->Add(LabelledRow(layout, row[0], row[1], kNoResize));
  form->Add(layout.NewFramedPane(IDC_SENDING_BOX, kVertical, kGreedy, 5, 15, 5)
                ->Add(LabelledRow(layout, IDC_BY_TIME, IDC_INTERVAL, kGreedy))
                ->Add(LabelledRow(layout, IDC_BY_DISTANCE, IDC_DISTANCE, kGreedy))
                ->Add(layout.NewItem(IDC_BY_HAND, kNoResize)));
  form->Add(layout.NewItem(IDC_AUTO_TRACK, kNoResize))
      ->Add(layout.NewEmptyItem(kNoResize | kFillWidth))
      ->Add(CentredRow(layout, kFixedWidth, IDC_SAVE))
      ->Add(layout.NewItem(IDC_VERSION, kNoResize))
      ->Add(CentredRow(layout, kFixedWidth, IDC_UPDATE));
  return form;
}

}  // namespace

void BuildMainLayout(LayoutMgr& layout) {
  auto right = layout.NewPane(kVertical, kFixedWidth, 5)->Add(SettingsForm(layout))->Add(
      layout.NewEmptyItem(kNoResize));
  layout.MakeRoot(kHorizontal, 5, 0)->Add(LeftColumn(layout))->Add(right);
}
