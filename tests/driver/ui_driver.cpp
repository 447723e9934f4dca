#include "ui_driver.h"

#include <vector>

#include "wide_text.h"

namespace ui {

Process::Process(const std::string& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring line = widen(commandLine);
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &started)) {
    process_.reset(started.hProcess);
    CloseHandle(started.hThread);
    id_ = started.dwProcessId;
  }
}

DWORD Process::waitForExit(DWORD timeoutMs) {
  if (!process_) return STILL_ACTIVE;
  if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
    return STILL_ACTIVE;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

Process::~Process() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
    TerminateProcess(process_.get(), 99);
}

namespace {

struct WindowQuery {
  DWORD processId;
  const char* className;
  const char* title;
  HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<WindowQuery*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if ((query->processId && owner != query->processId) || !IsWindowVisible(window)) return TRUE;
  if (query->className && className(window) != query->className) return TRUE;
  if (query->title && windowText(window) != query->title) return TRUE;
  query->found = window;
  return FALSE;
}

}  // namespace

HWND waitForWindow(DWORD processId, const char* windowClass, const char* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    WindowQuery query{processId, windowClass, title};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&query));
    if (query.found) return query.found;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

HWND waitForAnyWindow(const char* windowClass, const char* title, DWORD timeoutMs) {
  return waitForWindow(0, windowClass, title, timeoutMs);
}

bool waitUntilGone(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

// Texts are read in UTF-16 and given as GBK, as the tests write theirs,
// whatever this process's code page.
std::string windowText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return narrow(text);
}

RECT windowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT rectInParent(HWND child) {
  RECT rect = windowRect(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND findChild(HWND parent, const char* windowClass) {
  return FindWindowExW(parent, nullptr, widen(windowClass).c_str(), nullptr);
}

void releaseRightButton(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
  PostMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, middle);
  PostMessageW(control, WM_RBUTTONUP, 0, middle);
}

void pressKey(HWND window, int virtualKey) {
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}

namespace {

INPUT keyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

void typeKeys(std::initializer_list<WORD> keys, WORD held) {
  std::vector<INPUT> inputs;
  if (held) inputs.push_back(keyInput(held, false));
  for (WORD key : keys) {
    inputs.push_back(keyInput(key, false));
    inputs.push_back(keyInput(key, true));
  }
  if (held) inputs.push_back(keyInput(held, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(100);  // taken in before the next keys or look
}

HWND waitForPopupMenu(DWORD processId, DWORD timeoutMs) {
  return waitForWindow(processId, "#32768", nullptr, timeoutMs);
}

std::string className(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return narrow(name);
}

std::string messageBoxText(HWND box) {
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  return narrow(text);
}

void pressButton(HWND dialog, int buttonId) {
  SendMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

}  // namespace ui
