#include "layouts.h"

// The three windows as designed. The main title ends with the publisher's
// name; the About text's first three lines are ours to word.
namespace {

constexpr DWORD kMainStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kAboutStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kBusyStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr COLORREF kBusyBlue = RGB(128, 128, 255);
constexpr char kIcon[] = "DEFAULT_ICON";

const char kAboutText[] =
    "1、本软件由 Tarvex Forge 开发并拥有全部权利。\r\n"
    "2、官方网站：暂无\r\n"
    "3、QQ群：暂无\r\n"
    "4、本软件只能制作图片的高和宽是4的倍数的图片！\r\n"
    "5、开始制作后，会有一段时间等待，这取决于你的图片大小和电脑配置！";

WindowLayout mainLayout() {
  return {
      .className = "TarvexForgeMain",
      .title = "Tarvex载入背景制作【将图片拖入下方即可-右键操作】BY：Tarvex Forge",
      .width = 555,
      .height = 436,
      .style = kMainStyle,
      .escapeCloses = false,
      .icon = kIcon,
      .pictureBox = PictureBoxLayout{.name = "图片框1", .rect = {2, 0, 545, 355}},
      .progressBar = ProgressBarLayout{.name = "进度条1", .rect = {2, 359, 545, 15}, .minimum = 0, .maximum = 100,
                                       .position = 100},
      .popupMenu = PopupMenuLayout{.caption = "右键",
                                   .items = {{.caption = "开始制作", .command = MenuCommand::Start},
                                             {.caption = "-"},
                                             {.caption = "手动选择图片", .command = MenuCommand::ChoosePicture},
                                             {.caption = "-"},
                                             {.caption = "关于", .command = MenuCommand::About}}},
      .hasFileDialog = true,
      // Version 1; text, HTML and URL off, files on.
      .dropTarget = DropTargetLayout{.name = "拖放对象1",
                                     .record = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
  };
}

WindowLayout aboutLayout() {
  return {
      .className = "TarvexForgeAbout",
      .title = "关于",
      .width = 375,
      .height = 123,
      .style = kAboutStyle,
      .escapeCloses = true,
      .icon = kIcon,
      .labels = {{.name = "标签1", .rect = {0, 0, 368, 96}, .text = kAboutText,
                  .font = {.face = "宋体", .height = -15}, .wordWrap = true}},
  };
}

WindowLayout busyLayout() {
  return {
      .className = "TarvexForgeBusy",
      .title = "",
      .width = 295,
      .height = 130,
      .style = kBusyStyle,
      .escapeCloses = true,
      .background = kBusyBlue,
      .icon = kIcon,
      .labels = {{.name = "标签1", .rect = {15, 37, 264, 56}, .text = "正在制作,请稍候...",
                  .font = {.face = "新宋体", .height = -27}, .background = kBusyBlue,
                  .verticalAlign = VerticalAlign::Center}},
  };
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
