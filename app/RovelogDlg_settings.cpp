// The settings form: the port list from the registry, and the form loaded
// from and saved to properties.ini through SettingsModel.
#include "app/RovelogDlg.h"
#include "base/text_case.h"

#include <vector>

#include "platform/serial_ports.h"
#include "platform/text.h"
#include "resources/resource.h"

namespace {

// The port of a list entry "COM3; \Device\Serial0".
std::wstring EntryPort(const std::wstring& entry) { return entry.substr(0, entry.find(L';')); }

// Selects the item equal to the text ignoring case; none when there is none.
void SelectExact(const ComboBox& combo, const std::wstring& text) {
  combo.SetCurSel(static_cast<int>(
      SendMessageW(combo.hwnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()))));
}

std::wstring SelectedText(const ComboBox& combo) {
  int index = combo.CurSel();
  return index < 0 ? std::wstring() : combo.ItemText(index);
}

}  // namespace

bool CRovelogDlg::EnumerateComPorts() {
  std::vector<platform::SerialPortEntry> ports;
  if (!platform::ListSerialPorts(&ports)) return false;
  ComboBox list = Combo(IDC_PORT_LIST);
  int position = 0;
  for (const platform::SerialPortEntry& port : ports) {
    list.InsertString(position++, port.port + L"; " + port.device);
  }
  return true;
}

void CRovelogDlg::ResetSettingsRecord() { settings_.ResetSettingsRecord(); }

void CRovelogDlg::ShowSettings() { ShowForm(settings_.ShowSettings()); }

void CRovelogDlg::ShowForm(const SettingsForm& form) {
  ItemControl(IDC_OTHER_PORT).SetCheck(form.other_port);
  ItemControl(IDC_OTHER_PORT_NAME).Enable(form.other_port);
  ItemControl(IDC_PORT_LIST).Enable(!form.other_port);
  if (form.other_port) {
    ItemControl(IDC_OTHER_PORT_NAME).SetText(form.other_port_text);
  } else {
    SelectPort(form.port_entry);
  }
  ItemControl(IDC_AUTO_TRACK).SetCheck(form.auto_track);
  ItemControl(IDC_LOGIN).SetText(form.login);
  ItemControl(IDC_PASSWORD).SetText(form.password);
  ItemControl(IDC_TRACK_NAME).SetText(form.track_name);
  ItemControl(IDC_THINNING).SetText(form.thinning_text);
  SelectExact(Combo(IDC_PRIVACY), form.privacy);
  if (form.send_mode == kSendModeNone) return;
  SetSendModeRadio(form.send_mode);
  ShowSendModeLists(form.send_mode);
  if (form.send_mode == kSendByTime) SelectExact(Combo(IDC_INTERVAL), form.interval);
  if (form.send_mode == kSendByDistance) SelectExact(Combo(IDC_DISTANCE), form.distance);
}

// The entry of exactly this port when the list has it (COM1 is never
// "COM10; ..."); otherwise the first entry the port text begins, searched
// from the second item on. An empty port selects nothing.
void CRovelogDlg::SelectPort(const std::wstring& port) {
  ComboBox list = Combo(IDC_PORT_LIST);
  list.SetCurSel(-1);
  if (port.empty()) return;
  for (int index = 0; index < list.Count(); ++index) {
    if (base::EqualsIgnoringCase(EntryPort(list.ItemText(index)), port)) {
      list.SetCurSel(index);
      return;
    }
  }
  list.SetCurSel(static_cast<int>(SendMessageW(list.hwnd(), CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str()))));
}

int CRovelogDlg::CheckedSendMode() const {
  if (ItemControl(IDC_BY_DISTANCE).IsChecked()) return kSendByDistance;
  if (ItemControl(IDC_BY_HAND).IsChecked()) return kSendByHand;
  return kSendByTime;
}

SettingsForm CRovelogDlg::ReadForm() const {
  SettingsForm form;
  form.other_port = ItemControl(IDC_OTHER_PORT).IsChecked();
  form.other_port_text = ItemControl(IDC_OTHER_PORT_NAME).Text();
  form.port_entry = SelectedText(Combo(IDC_PORT_LIST));
  form.auto_track = ItemControl(IDC_AUTO_TRACK).IsChecked();
  form.login = ItemControl(IDC_LOGIN).Text();
  form.password = ItemControl(IDC_PASSWORD).Text();
  form.track_name = ItemControl(IDC_TRACK_NAME).Text();
  form.thinning_text = ItemControl(IDC_THINNING).Text();
  form.privacy = SelectedText(Combo(IDC_PRIVACY));
  form.send_mode = static_cast<SendMode>(CheckedSendMode());
  form.interval = SelectedText(Combo(IDC_INTERVAL));
  form.distance = SelectedText(Combo(IDC_DISTANCE));
  return form;
}

void CRovelogDlg::OnSaveSettings() {
  std::wstring failure;
  ShowForm(settings_.SaveSettings(ReadForm(), &failure));
  if (failure.empty()) {
    MessageBoxW(hwnd(), L"Настройки сохранены", L"Настройки", MB_ICONINFORMATION | MB_OK);
  } else {
    // Our own box: the settings would otherwise vanish at the next start.
    std::wstring text = L"Не удалось сохранить настройки.\n" + failure;
    MessageBoxW(hwnd(), text.c_str(), L"Настройки", MB_ICONERROR | MB_OK);
  }
}
