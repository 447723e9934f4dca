#include "window.h"

#include <commdlg.h>

#include <array>
#include <atomic>
#include <vector>

#include "event_bindings.h"

namespace {

constexpr UINT kDestroyRequest = WM_APP + 1;

// The open windows, one slot per layout. Written on the UI thread, read
// from the worker too (closeWindow, showProgress).
std::array<std::atomic<Window*>, 3> openWindows{};

std::atomic<Window*>& slotOf(WindowId id) { return openWindows[static_cast<int>(id)]; }

bool anyWindowOpen() {
  for (auto& slot : openWindows)
    if (slot.load()) return true;
  return false;
}

void raiseCreated(WindowId id) {
  const EventBindings& on = eventBindings();
  switch (id) {
    case WindowId::Main: raise(on.mainCreated); break;
    case WindowId::About: raise(on.aboutCreated); break;
    case WindowId::Busy: raise(on.busyCreated); break;
  }
}

void raiseMenuCommand(MenuCommand command) {
  const EventBindings& on = eventBindings();
  switch (command) {
    case MenuCommand::Start: raise(on.startChosen); break;
    case MenuCommand::ChoosePicture: raise(on.choosePictureChosen); break;
    case MenuCommand::About: raise(on.aboutChosen); break;
    case MenuCommand::None: break;
  }
}

// Esc pressed in a window (or one of its units) whose layout lets Esc close.
bool closesOnEscape(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  for (auto& slot : openWindows) {
    Window* window = slot.load();
    if (window && window->hwnd() == root && window->layout().escapeCloses) {
      PostMessageA(root, WM_CLOSE, 0, 0);
      return true;
    }
  }
  return false;
}

// One message through; false on WM_QUIT (which is left in the queue for
// the outer loop when `repostQuit`).
bool pumpMessage(bool repostQuit) {
  MSG message;
  if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
    if (repostQuit) PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (closesOnEscape(message)) return true;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return true;
}

BOOL CALLBACK collectTopLevel(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

HICON programIcon(int size) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), "DEFAULT_ICON", IMAGE_ICON, size, size, 0));
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

Window::Window(const WindowLayout& layout) : layout_(layout) {}

Window::~Window() {
  if (background_) DeleteObject(background_);
  if (largeIcon_) DestroyIcon(largeIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

bool Window::build() {
  background_ = layout_.background ? CreateSolidBrush(*layout_.background) : nullptr;
  largeIcon_ = programIcon(32);
  smallIcon_ = programIcon(16);
  // The class keeps no brush or icon of ours: those belong to this window
  // and go with it, while the class outlives it.
  registerClass(layout_.className, nullptr);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - layout_.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - layout_.height) / 2;
  const DWORD exStyle = (layout_.style & WS_CAPTION) ? 0 : WS_EX_APPWINDOW;
  if (!create(exStyle, layout_.className, layout_.title, layout_.style, left, top, layout_.width,
              layout_.height, nullptr, nullptr))
    return false;
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  createUnits();
  return true;
}

void Window::createUnits() {
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);
  for (const LabelLayout& label : layout_.labels)
    labels_.push_back(std::make_unique<Label>(hwnd(), label));
  if (layout_.pictureBox) {
    pictureBox_ = std::make_unique<PictureBox>(hwnd(), *layout_.pictureBox);
    pictureBox_->onRightButtonUp = eventBindings().pictureRightButtonUp;
  }
  if (layout_.progressBar)
    progressBar_ = std::make_unique<ProgressBar>(hwnd(), *layout_.progressBar);
  if (layout_.popupMenu) popupMenu_.emplace(*layout_.popupMenu);
  if (layout_.hasFileDialog) fileDialog_.emplace();
  if (layout_.dropTarget) {
    const std::vector<std::uint8_t>& record = layout_.dropTarget->record;
    dropTarget_ = std::make_unique<DropTargetControl>(
        readDropTargetRecord(record.data(), record.size()), eventBindings().filesDropped);
  }
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client,
               background_ ? background_ : GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CLOSE:  // Esc, the close button, Alt+F4, the taskbar: the may-close event first
      if (mayClose()) destroy();
      return 0;
    case kDestroyRequest:
      destroy();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && lParam == 0)
        raiseMenuCommand(PopupMenu::commandOf(LOWORD(wParam)));
      return 0;
    case WM_DESTROY:  // units still exist here
      if (layout_.id == WindowId::Main) raise(eventBindings().mainAboutToBeDestroyed);
      if (dropTarget_) dropTarget_->revoke();
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

bool Window::mayClose() const {
  const EventBindings& on = eventBindings();
  bool (*handler)() = layout_.id == WindowId::Main ? on.mainMayClose
                      : layout_.id == WindowId::Busy ? on.busyMayClose : nullptr;
  return !handler || handler();
}

// The last message: the slot is freed (deleting this object) and, when no
// window is left, the message loop is asked to end.
void Window::destroyed() {
  std::atomic<Window*>& slot = slotOf(layout_.id);
  Window* self = slot.exchange(nullptr);
  if (!anyWindowOpen()) PostQuitMessage(0);
  delete self;  // the forwarding point touches nothing after WM_NCDESTROY
}

bool loadWindow(WindowId id, HWND, bool modal) {
  if (Window* open = slotOf(id).load()) {
    SetForegroundWindow(open->hwnd());
    BringWindowToTop(open->hwnd());
    return true;
  }
  // Owned by its slot from here on; its last message deletes it.
  Window* created = new Window(layoutOf(id));
  slotOf(id) = created;
  if (!created->build()) {
    // A creation that failed after WM_NCCREATE has had its WM_NCDESTROY,
    // which freed the slot and the object already.
    if (slotOf(id).exchange(nullptr) == created) delete created;
    return false;
  }
  HWND handle = created->hwnd();
  raiseCreated(id);
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

void closeWindow(WindowId id, bool atOnce) {
  Window* window = slotOf(id).load();
  if (!window) return;  // already gone: nothing to close
  if (atOnce) window->destroy();
  else PostMessageA(window->hwnd(), kDestroyRequest, 0, 0);
}

void popupMenu(WindowId id, PopupMenu& menu, std::optional<int> x, std::optional<int> y) {
  Window* window = slotOf(id).load();
  if (!window) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  HMENU built = menu.build();
  // Needed so that the menu closes when the user clicks elsewhere.
  SetForegroundWindow(window->hwnd());
  TrackPopupMenu(built, TPM_RIGHTBUTTON, x.value_or(cursor.x + 3), y.value_or(cursor.y + 3), 0,
                 window->hwnd(), nullptr);
  PostMessageA(window->hwnd(), WM_NULL, 0, 0);
  DestroyMenu(built);
}

HWND windowHandle(WindowId id) {
  Window* window = slotOf(id).load();
  return window ? window->hwnd() : nullptr;
}

HWND windowHandle(const PictureBox* unit) { return unit ? unit->hwnd() : nullptr; }

OPENFILENAMEA openFileRequest(const FileDialog& dialog, OpenFileBuffers& buffers) {
  lstrcpynA(buffers.fileName, dialog.fileName.c_str(), MAX_PATH);
  buffers.filter = dialogFilter(dialog.filter);
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;  // no owner, default title and folder
  request.lpstrFilter = buffers.filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = buffers.fileName;
  request.nMaxFile = MAX_PATH;
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  return request;
}

bool openFileDialog(FileDialog& dialog) {
  OpenFileBuffers buffers;
  OPENFILENAMEA request = openFileRequest(dialog, buffers);
  if (!GetOpenFileNameA(&request)) return false;
  dialog.fileName = buffers.fileName;
  return true;
}

Window* openWindow(WindowId id) { return slotOf(id).load(); }

void runMessageLoop() {
  while (pumpMessage(false)) {
  }
}
