// The GUI application: common controls, the rich edit, the main window and its message loop.
#include <memory>
#include <string>

#include "platform/ui.h"
#include "platform/win32/dialog/updater_window.h"
// After win32.h (through updater_window.h), which sets the macros the rich edit header depends on.
#include <richedit.h>

namespace qnd::platform {

namespace {

// Loaded from the system folder by its full path, so no DLL of that name beside the program (an
// installer's folder) is taken instead.
bool LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  return ::LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str()) != nullptr;
}

// The newest rich edit the system has: 4.1 (Msftedit.dll) since Windows XP SP1, else 2.0.
const wchar_t* LoadRichEdit() {
  if (LoadSystemLibrary(L"Msftedit.dll")) return MSFTEDIT_CLASS;
  LoadSystemLibrary(L"Riched20.dll");
  return RICHEDIT_CLASSW;
}

}  // namespace

int RunUpdaterApplication(int argc, char** argv, const WindowDesign& design,
                          const FormCreateFunction& formCreate) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);

  win32::Win32UpdaterWindow window(design, LoadRichEdit());
  if (!window.Created()) return 1;
  const std::unique_ptr<WindowEvents> events =
      formCreate(window, std::vector<std::string>(argv, argv + argc));
  window.SetEvents(events.get());
  window.Show();

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) window.Dispatch(message);
  return static_cast<int>(message.wParam);
}

}  // namespace qnd::platform
