#pragma once
// What the program attaches to a window once it is built (the drop target
// on the main window's picture box): the window keeps it while it lives and
// tells it when it goes, while the units still exist.
class WindowAttachment {
 public:
  WindowAttachment() = default;
  WindowAttachment(const WindowAttachment&) = delete;
  WindowAttachment& operator=(const WindowAttachment&) = delete;
  virtual ~WindowAttachment() = default;
  virtual void windowGoing() = 0;
};
