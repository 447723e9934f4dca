#include "window.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "ui_requests.h"
#include "wide_text.h"

namespace {

// The open windows and their layouts, in the order opened (UI thread).
std::vector<Window*> openWindows;

Window* openWindowWith(HWND root) {
  for (Window* window : openWindows)
    if (window->hwnd() == root) return window;
  return nullptr;
}

// Esc pressed in a window (or one of its units) whose layout lets Esc close.
bool closesOnEscape(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  const Window* window = openWindowWith(root);
  if (!window || !window->layout().escapeCloses) return false;
  PostMessageW(root, WM_CLOSE, 0, 0);
  return true;
}

// One message through; false on WM_QUIT (which is left in the queue for
// the outer loop when `repostQuit`).
bool pumpMessage(bool repostQuit) {
  MSG message;
  if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
    if (repostQuit) PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (closesOnEscape(message)) return true;
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

BOOL CALLBACK collectTopLevel(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

HICON iconOf(const char* resource, int size) {
  if (!resource) return nullptr;
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), widen(resource).c_str(), IMAGE_ICON, size, size, 0));
}

}  // namespace

void EnabledStates::disableOthers(HWND modal) {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), collectTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    if (window == modal) continue;
    saved_.push_back({window, IsWindowEnabled(window) != FALSE});
    EnableWindow(window, FALSE);
  }
}

void EnabledStates::restore() {
  for (const Saved& entry : saved_)
    if (IsWindow(entry.window)) EnableWindow(entry.window, entry.wasEnabled);
  saved_.clear();
}

Window::Window(const WindowLayout& layout, const WindowEvents& events)
    : layout_(layout),
      events_(events),
      background_(layout.background ? CreateSolidBrush(*layout.background) : nullptr),
      largeIcon_(iconOf(layout.icon, 32)),
      smallIcon_(iconOf(layout.icon, 16)) {}

bool Window::build() {
  // The class keeps no brush or icon of ours: those belong to this window
  // and go with it, while the class outlives it.
  registerClass(layout_.className, nullptr);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - layout_.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - layout_.height) / 2;
  const DWORD exStyle = (layout_.style & WS_CAPTION) ? 0 : WS_EX_APPWINDOW;
  if (!create(exStyle, layout_.className, layout_.title, layout_.style, left, top, layout_.width,
              layout_.height, nullptr, nullptr))
    return false;
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  createUnits();
  return true;
}

void Window::createUnits() {
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);
  for (const LabelLayout& label : layout_.labels)
    labels_.push_back(std::make_unique<Label>(hwnd(), label));
  if (layout_.pictureBox) {
    pictureBox_ = std::make_unique<PictureBox>(hwnd(), *layout_.pictureBox);
    pictureBox_->onRightButtonUp = events_.pictureRightButtonUp;
  }
  if (layout_.progressBar)
    progressBar_ = std::make_unique<ProgressBar>(hwnd(), *layout_.progressBar);
  if (layout_.popupMenu) popupMenu_.emplace(*layout_.popupMenu);
  if (layout_.hasFileDialog) fileDialog_.emplace();
}

void Window::attach(std::unique_ptr<WindowAttachment> attachment) {
  attachments_.push_back(std::move(attachment));
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client,
               background_ ? background_.get() : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CLOSE:  // Esc, the close button, Alt+F4, the taskbar: the may-close event first
      if (mayClose()) destroy();
      return 0;
    case kDestroyRequest:
      destroy();
      return 0;
    case kSessionHoldMessage: {
      const Text& reason = *reinterpret_cast<const Text*>(lParam);
      if (reason.empty()) ShutdownBlockReasonDestroy(hwnd());
      else ShutdownBlockReasonCreate(hwnd(), widen(reason).c_str());
      return 0;
    }
    case WM_QUERYENDSESSION: return !events_.sessionMayEnd || events_.sessionMayEnd();
    case WM_ENDSESSION:
      if (wParam && events_.sessionEnding) events_.sessionEnding();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && lParam == 0) menuCommand(LOWORD(wParam));
      return 0;
    case WM_CONTEXTMENU:
      if (GET_X_LPARAM(lParam) != -1 || GET_Y_LPARAM(lParam) != -1 || !events_.menuKey)
        return defaultHandling(message, wParam, lParam);
      events_.menuKey();
      return 0;
    case WM_DESTROY:  // units still exist here
      if (events_.aboutToBeDestroyed) events_.aboutToBeDestroyed();
      for (const auto& attachment : attachments_) attachment->windowGoing();
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = defaultHandling(message, wParam, lParam);
      destroyed();
      return result;
    }
    default: return defaultHandling(message, wParam, lParam);
  }
}

// While a window goes, Windows activates another one, and only an enabled
// window can be activated: a modal window therefore gives the others back
// their enabled state first, as the dialog manager does. Otherwise the
// main window would drop behind other programs' windows.
void Window::destroy() {
  if (modalOver_) modalOver_->restore();
  DestroyWindow(hwnd());
}

// A chosen popup-menu item: its event.
void Window::menuCommand(UINT id) {
  if (!popupMenu_) return;
  const int command = popupMenu_->commandOf(id);
  for (const MenuBinding& binding : events_.menuItems)
    if (command && binding.command == command && binding.chosen) binding.chosen();
}

bool Window::mayClose() const { return !events_.mayClose || events_.mayClose(); }

// The last message: the window leaves the open windows (deleting this
// object) and, when none is left, the message loop is asked to end.
void Window::destroyed() {
  const auto self = std::find(openWindows.begin(), openWindows.end(), this);
  if (self == openWindows.end()) return;  // not registered: its creator deletes it
  openWindows.erase(self);
  if (openWindows.empty()) PostQuitMessage(0);
  delete this;  // the forwarding point touches nothing after WM_NCDESTROY
}

bool loadWindow(const WindowLayout& layout, const WindowEvents& events, HWND, bool modal) {
  if (Window* open = openWindow(layout)) {
    SetForegroundWindow(open->hwnd());
    BringWindowToTop(open->hwnd());
    return true;
  }
  // Open (and owned by the open windows) from here on; its last message
  // deletes it.
  Window* created = new Window(layout, events);
  openWindows.push_back(created);
  if (!created->build()) {
    // A creation that failed after WM_NCCREATE has had its WM_NCDESTROY,
    // which took the window out and freed it already.
    const auto still = std::find(openWindows.begin(), openWindows.end(), created);
    if (still != openWindows.end()) {
      openWindows.erase(still);
      delete created;
    }
    return false;
  }
  HWND handle = created->hwnd();
  if (events.created) events.created();
  if (!IsWindow(handle)) return true;  // the created handler closed it
  ShowWindow(handle, SW_SHOW);
  UpdateWindow(handle);
  if (!modal) return true;
  EnabledStates others;  // outlives the window: the loop runs until it is gone
  others.disableOthers(handle);
  created->setModalOver(&others);
  while (IsWindow(handle) && pumpMessage(true)) {
  }
  others.restore();  // when it went without destroy(): nothing left to do otherwise
  return true;
}

Window* openWindow(const WindowLayout& layout) {
  for (Window* window : openWindows)
    if (&window->layout() == &layout) return window;
  return nullptr;
}

void popupMenu(Window& window, PopupMenu& menu, std::optional<int> x, std::optional<int> y) {
  POINT cursor{};
  GetCursorPos(&cursor);
  HMENU built = menu.build();
  // Needed so that the menu closes when the user clicks elsewhere.
  SetForegroundWindow(window.hwnd());
  TrackPopupMenu(built, TPM_RIGHTBUTTON, x.value_or(cursor.x + 3), y.value_or(cursor.y + 3), 0,
                 window.hwnd(), nullptr);
  PostMessageW(window.hwnd(), WM_NULL, 0, 0);
  DestroyMenu(built);
}

HWND windowHandle(const PictureBox* unit) { return unit ? unit->hwnd() : nullptr; }
HWND windowHandle(const ProgressBar* unit) { return unit ? unit->hwnd() : nullptr; }

void runMessageLoop() {
  while (pumpMessage(false)) {
  }
}
