#include "layout.h"

// The three windows as designed. The main title ends with the publisher's
// name; the About text's first three lines are ours to word.
namespace {

constexpr DWORD kMainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kAboutStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kBusyStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr COLORREF kBusyBlue = RGB(128, 128, 255);

const char kAboutText[] =
    "1、本软件由 Tarvex Forge 开发并拥有全部权利。\r\n"
    "2、官方网站：暂无\r\n"
    "3、QQ群：暂无\r\n"
    "4、本软件只能制作图片的高和宽是4的倍数的图片！\r\n"
    "5、开始制作后，会有一段时间等待，这取决于你的图片大小和电脑配置！";

WindowLayout frame(WindowId id, const char* className, const char* title, int width, int height,
                   DWORD style, bool escapeCloses) {
  WindowLayout layout{};
  layout.id = id;
  layout.className = className;
  layout.title = title;
  layout.width = width;
  layout.height = height;
  layout.style = style;
  layout.escapeCloses = escapeCloses;
  return layout;
}

LabelLayout label(const char* name, Rect rect, const char* text, FontSpec font) {
  LabelLayout layout{};
  layout.name = name;
  layout.rect = rect;
  layout.text = text;
  layout.font = font;
  return layout;
}

WindowLayout mainLayout() {
  WindowLayout main = frame(WindowId::Main, "TarvexForgeMain",
                            "Tarvex载入背景制作【将图片拖入下方即可-右键操作】BY：Tarvex Forge",
                            555, 436, kMainStyle, false);
  main.pictureBox = PictureBoxLayout{"图片框1", {2, 0, 545, 355}};
  main.progressBar = ProgressBarLayout{"进度条1", {2, 359, 545, 15}, 0, 100, 100};
  main.popupMenu = PopupMenuLayout{"右键",
                                   {{"开始制作", MenuCommand::Start},
                                    {"-"},
                                    {"手动选择图片", MenuCommand::ChoosePicture},
                                    {"-"},
                                    {"关于", MenuCommand::About}}};
  main.hasFileDialog = true;
  // Version 1; text, HTML and URL off, files on.
  main.dropTarget = DropTargetLayout{"拖放对象1", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}};
  return main;
}

WindowLayout aboutLayout() {
  WindowLayout about =
      frame(WindowId::About, "TarvexForgeAbout", "关于", 375, 123, kAboutStyle, true);
  about.labels.push_back(label("标签1", {0, 0, 368, 96}, kAboutText, {"宋体", -15}));
  about.labels.back().wordWrap = true;
  return about;
}

WindowLayout busyLayout() {
  WindowLayout busy = frame(WindowId::Busy, "TarvexForgeBusy", "", 295, 130, kBusyStyle, true);
  busy.background = kBusyBlue;
  LabelLayout text = label("标签1", {15, 37, 264, 56}, "正在制作,请稍候...", {"新宋体", -27});
  text.background = kBusyBlue;
  text.verticalAlign = VerticalAlign::Center;
  busy.labels.push_back(text);
  return busy;
}

}  // namespace

const WindowLayout& layoutOf(WindowId id) {
  static const WindowLayout main = mainLayout(), about = aboutLayout(), busy = busyLayout();
  switch (id) {
    case WindowId::About: return about;
    case WindowId::Busy: return busy;
    default: return main;
  }
}
