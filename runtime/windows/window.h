#pragma once
// A top-level window built from its layout, with its units, raising the
// events it was handed; and the window requests the rest of the program
// uses. Nothing here knows which windows a program has.
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "file_dialog.h"
#include "gdi_owners.h"
#include "label.h"
#include "layout.h"
#include "picture_box.h"
#include "popup_menu.h"
#include "progress_bar.h"
#include "window_attachment.h"
#include "window_base.h"
#include "window_events.h"

// The enabled states of the thread's other top-level windows, saved while
// a modal window is up.
class EnabledStates {
 public:
  void disableOthers(HWND modal);
  void restore();  // once; later calls do nothing

 private:
  struct Saved {
    HWND window;
    bool wasEnabled;
  };
  std::vector<Saved> saved_;
};

class Window : public WindowBase {
 public:
  Window(const WindowLayout& layout, const WindowEvents& events);
  const WindowLayout& layout() const { return layout_; }
  const WindowEvents& events() const { return events_; }

  PictureBox* pictureBox() { return pictureBox_.get(); }
  ProgressBar* progressBar() { return progressBar_.get(); }
  PopupMenu* popupMenu() { return popupMenu_ ? &*popupMenu_ : nullptr; }
  FileDialog* fileDialog() { return fileDialog_ ? &*fileDialog_ : nullptr; }
  // Kept until the window goes, and told then (WM_DESTROY).
  void attach(std::unique_ptr<WindowAttachment> attachment);
  const std::vector<std::unique_ptr<Label>>& labels() const { return labels_; }

  // Creates the units; false when the window itself could not be made.
  bool build();
  // DestroyWindow, with the other windows enabled again first when this
  // one is modal.
  void destroy();
  // Set while the window is modal over the others.
  void setModalOver(EnabledStates* others) { modalOver_ = others; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void createUnits();
  void menuCommand(UINT id);
  void destroyed();
  bool mayClose() const;
  const WindowLayout& layout_;
  WindowEvents events_;
  EnabledStates* modalOver_ = nullptr;  // set by a modal loadWindow
  GdiObject<HBRUSH> background_;
  IconHandle largeIcon_, smallIcon_;
  std::vector<std::unique_ptr<Label>> labels_;
  std::unique_ptr<PictureBox> pictureBox_;
  std::unique_ptr<ProgressBar> progressBar_;
  std::optional<PopupMenu> popupMenu_;
  std::optional<FileDialog> fileDialog_;
  std::vector<std::unique_ptr<WindowAttachment>> attachments_;
};

// Window requests (UI thread).
// Creates and shows a window of the layout (created event before SW_SHOW).
// Modal: the thread's other top-level windows are disabled until it is
// destroyed, and the call returns then. A window of the layout already
// open is brought to the front instead. False when it cannot be created.
bool loadWindow(const WindowLayout& layout, const WindowEvents& events, HWND parent = nullptr,
                bool modal = false);
// The open window of the layout, or null.
Window* openWindow(const WindowLayout& layout);
// TrackPopupMenu at the cursor plus 3 (or x, y), TPM_RIGHTBUTTON, owned by
// the window; a chosen item's event runs on the window afterwards.
void popupMenu(Window& window, PopupMenu& menu, std::optional<int> x = std::nullopt,
               std::optional<int> y = std::nullopt);
// The unit's native handle, or NULL when it does not exist.
HWND windowHandle(const PictureBox* unit);
HWND windowHandle(const ProgressBar* unit);

// The UI thread's message loop; returns when the last window is gone.
void runMessageLoop();
