// The main window's buttons and radio buttons: each hands its work to
// RecorderCommands or the update check and keeps the controls in step. None
// waits: long work goes to a worker, whose end arrives as a message.
#include "app/RovelogDlg.h"

#include "resources/resource.h"
#include "ui/point_name_dlg.h"
#include "update/auto_updater.h"
#include "upload/service_address.h"

void CRovelogDlg::OnCommand(int id, int code) {
  // The closing window is hidden and takes no command, however it comes; a
  // disabled button's command (posted by another program) is refused too:
  // the state does not allow it.
  if (code != BN_CLICKED || closing_ || !ItemControl(id).IsEnabled()) return;
  switch (id) {
    case IDC_START:
      OnStartStop();
      break;
    case IDC_SAVE:
      OnSaveSettings();
      break;
    case IDC_OTHER_PORT:
      OnOtherPort();
      break;
    case IDC_BY_TIME:
    case IDC_BY_DISTANCE:
    case IDC_BY_HAND:
      OnSendMode(id);
      break;
    case IDC_SEND:
      OnSendNow();
      break;
    case IDC_POINT:
      OnCreatePoint();
      break;
    case IDC_NAMED_POINT:
      OnCreateNamedPoint();
      break;
    case IDC_UPDATE:
      OnCheckUpdate();
      break;
  }
}

RecorderCommands::View CRovelogDlg::CommandView() {
  RecorderCommands::View view;
  view.set_send_timer = [this](int period) {
    if (period > 0) {
      SetTimer(hwnd(), kSendTimer, static_cast<UINT>(period), nullptr);
    } else {
      KillTimer(hwnd(), kSendTimer);
    }
  };
  view.ask = [this](const std::wstring& caption, const std::wstring& text) {
    return MessageBoxW(hwnd(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  view.running_changed = [this](bool running) { OnRunningChanged(running); };
  return view;
}

void CRovelogDlg::OnRunningChanged(bool running) {
  // Settings cannot change under a running logger.
  ItemControl(IDC_SAVE).Enable(!running);
  if (running) {
    ShowPicture(1);
  } else {
    // The named-point button follows when the track thread reports state 0.
    ShowPicture(0);
    ItemControl(IDC_POINT).Enable(false);
    // A name given after the stop could make no point.
    if (point_dialog_) point_dialog_->EndDialog(IDCANCEL);
  }
  EnableStartAndSendButtons();
}

// From a stop until the stopped track is packed (its state 0 arrives) the
// start button stays disabled: no start waits for the previous recording.
// So does the send button: a pass by hand begun earlier would list ToSend
// without the stopped track.
void CRovelogDlg::EnableStartAndSendButtons() {
  bool running = commands_->running();
  bool stopped = commands_->CanStart();
  ItemControl(IDC_START).Enable(running || stopped);
  ItemControl(IDC_SEND).Enable(running || (stopped && !logger_->SendingByHand()));
}

void CRovelogDlg::OnStartStop() {
  bool starting = !commands_->running();
  if (starting && !commands_->CanStart()) return;
  if (starting) ShowPicture(1);
  const SettingsRecord record = settings_.record();
  commands_->StartStop(record);
  if (!starting) return;
  if (!commands_->running()) {
    // The port did not open: the log says so; the window stays stopped.
    ItemControl(IDC_SAVE).Enable(true);
    SetRecordingState(0);
  } else if (RecorderCommands::WarnsOfMissingInterval(record)) {
    OnLogChanged();  // the lines of the start show above the warning
    MessageBoxW(hwnd(), RecorderCommands::kMissingIntervalText, RecorderCommands::kMissingIntervalCaption,
                MB_ICONEXCLAMATION | MB_OK);
  }
}

void CRovelogDlg::OnSendNow() {
  if (commands_->running()) {
    commands_->SendNow(settings_.record());
    return;
  }
  HWND window = hwnd();
  bool began = commands_->SendNow(settings_.record(), [window] { PostMessageW(window, kPassEndedMessage, 0, 0); });
  if (began) ItemControl(IDC_SEND).Enable(false);
}

void CRovelogDlg::OnCreatePoint() { commands_->CreatePoint(); }

void CRovelogDlg::OnCreateNamedPoint() {
  PointNameDlg dialog(hwnd());
  point_dialog_ = &dialog;
  INT_PTR answer = dialog.DoModal();
  point_dialog_ = nullptr;
  if (answer == IDOK) commands_->CreateNamedPoint(dialog.name());
}

void CRovelogDlg::OnSendMode(int id) {
  int mode = id == IDC_BY_TIME ? kSendByTime : id == IDC_BY_DISTANCE ? kSendByDistance : kSendByHand;
  ShowSendModeLists(mode);
}

void CRovelogDlg::ShowSendModeLists(int mode) {
  ItemControl(IDC_INTERVAL).Enable(mode == kSendByTime);
  ItemControl(IDC_DISTANCE).Enable(mode == kSendByDistance);
}

void CRovelogDlg::SetSendModeRadio(int mode) {
  if (mode < kSendByTime || mode > kSendByHand) return;
  const int buttons[] = {IDC_BY_TIME, IDC_BY_DISTANCE, IDC_BY_HAND};
  CheckRadioButton(hwnd(), IDC_BY_TIME, IDC_BY_HAND, buttons[mode]);
}

void CRovelogDlg::OnOtherPort() {
  bool other = ItemControl(IDC_OTHER_PORT).IsChecked();
  ItemControl(IDC_OTHER_PORT_NAME).Enable(other);
  ItemControl(IDC_PORT_LIST).Enable(!other);
}

void CRovelogDlg::OnCheckUpdate() {
  ServiceAddress service = ParseServiceAddress(settings_.record().server);
  HWND window = hwnd();
  auto verdict = std::make_shared<UpdateVerdict>();
  bool began = update_check_.Run([verdict, service] { *verdict = CAutoUpdater(service).CheckForUpdate(); },
                                 [window] { PostMessageW(window, kUpdateCheckedMessage, 0, 0); });
  if (!began) return;
  update_verdict_ = verdict;
  ItemControl(IDC_UPDATE).Enable(false);
}

void CRovelogDlg::OnUpdateChecked() {
  ItemControl(IDC_UPDATE).Enable(true);
  if (closing_ || !update_verdict_) return;
  const UpdateVerdict& verdict = *update_verdict_;
  // Owned by the window like every box of ours: the window waits for it.
  if (verdict.kind == UpdateVerdictKind::kNoVerdict) {
    MessageBoxW(hwnd(), verdict.text.c_str(), L"Не удалось проверить обновление", MB_ICONERROR | MB_OK);
  } else {
    MessageBoxW(hwnd(), verdict.text.c_str(), verdict.caption.c_str(), MB_ICONINFORMATION | MB_OK);
  }
}
