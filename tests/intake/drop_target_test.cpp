#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "drop_target.h"

namespace {

// A data object offering a file list (CF_HDROP) or only text.
class TestDataObject : public IDataObject {
 public:
  explicit TestDataObject(std::vector<std::string> files, bool filesOffered = true)
      : files_(std::move(files)), filesOffered_(filesOffered) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    const bool files = format->cfFormat == CF_HDROP && filesOffered_;
    const bool text = format->cfFormat == CF_TEXT && !filesOffered_;
    return (files || text) && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK || format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
    std::string list;
    for (const std::string& file : files_) list += file + '\0';
    list += '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::vector<std::string> files_;
  bool filesOffered_;
};

std::vector<Text> delivered;
void record(const Text& paths) { delivered.push_back(paths); }

constexpr DropTargetSwitches kFilesOnly{false, false, false, true};
constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// A drag over a target: enter, then drop; returns Drop's effect.
DWORD dragAndDrop(EDropTarget& target, IDataObject& data, DWORD keys, HRESULT* dropResult = nullptr) {
  DWORD effect = kAll;
  target.DragEnter(&data, keys, {0, 0}, &effect);
  effect = kAll;
  const HRESULT result = target.Drop(&data, keys, {0, 0}, &effect);
  if (dropResult) *dropResult = result;
  return effect;
}

}  // namespace

TEST(DropTarget, LayoutRecordTurnsOnFilesOnly) {
  const std::uint8_t record[20] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  const DropTargetSwitches on = readDropTargetRecord(record, sizeof record);
  EXPECT_TRUE(on.files);
  EXPECT_FALSE(on.text || on.html || on.url);
  std::uint8_t version2[20] = {2};
  version2[16] = 1;
  EXPECT_FALSE(readDropTargetRecord(version2, sizeof version2).files);
  EXPECT_FALSE(readDropTargetRecord(nullptr, 0).files);
}

TEST(DropTarget, EffectTable) {
  EXPECT_EQ(dropEffectFor(false, 0, kAll), DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(dropEffectFor(true, 0, kAll), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(dropEffectFor(true, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK), DWORD(DROPEFFECT_MOVE));
  EXPECT_EQ(dropEffectFor(true, 0, DROPEFFECT_LINK), DWORD(DROPEFFECT_LINK));
  EXPECT_EQ(dropEffectFor(true, MK_CONTROL, kAll), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(dropEffectFor(true, MK_SHIFT, kAll), DWORD(DROPEFFECT_MOVE));
  EXPECT_EQ(dropEffectFor(true, MK_CONTROL | MK_SHIFT, kAll), DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(dropEffectFor(true, MK_SHIFT, DROPEFFECT_COPY), DWORD(DROPEFFECT_NONE));
}

TEST(DropTarget, OneFileTwoFilesAndTextOnly) {
  OleInitialize(nullptr);
  delivered.clear();
  auto* target = new EDropTarget(kFilesOnly, nullptr, record);
  TestDataObject one({"C:\\pictures\\a.png"});
  HRESULT result = S_OK;
  EXPECT_EQ(dragAndDrop(*target, one, 0, &result), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(result, E_FAIL);  // always, also after a delivery
  TestDataObject two({"C:\\a.png", "C:\\图片\\b.jpg"});
  dragAndDrop(*target, two, 0);
  ASSERT_EQ(delivered.size(), 2u);
  EXPECT_EQ(delivered[0], "C:\\pictures\\a.png");
  EXPECT_EQ(delivered[1], "C:\\a.png\r\nC:\\图片\\b.jpg\r\n");

  TestDataObject text({}, false);
  DWORD effect = kAll;
  target->DragEnter(&text, 0, {0, 0}, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  effect = kAll;
  target->DragOver(0, {0, 0}, &effect);  // still refused: the text was not accepted
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(dragAndDrop(*target, text, 0), DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(delivered.size(), 2u);
  target->Release();
}

TEST(DropTarget, CtrlShiftDeliversNothingAndShiftNeverReportsAMove) {
  delivered.clear();
  auto* target = new EDropTarget(kFilesOnly, nullptr, record);
  TestDataObject one({"C:\\a.png"});
  EXPECT_EQ(dragAndDrop(*target, one, MK_CONTROL | MK_SHIFT), DWORD(DROPEFFECT_NONE));
  EXPECT_TRUE(delivered.empty());
  DWORD effect = kAll;
  target->DragEnter(&one, MK_SHIFT, {0, 0}, &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));  // the cursor may say move
  EXPECT_EQ(dragAndDrop(*target, one, MK_SHIFT), DWORD(DROPEFFECT_COPY));  // the drop says copy
  EXPECT_EQ(delivered.size(), 1u);
  target->DragLeave();
  effect = kAll;
  target->DragOver(0, {0, 0}, &effect);  // the leave cleared the acceptance
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  target->Release();
}

TEST(DropTarget, NothingIsDroppedWhileTheWindowIsDisabled) {
  delivered.clear();
  HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
  auto* target = new EDropTarget(kFilesOnly, window, record);
  TestDataObject one({"C:\\a.png"});
  EnableWindow(window, FALSE);
  EXPECT_EQ(dragAndDrop(*target, one, 0), DWORD(DROPEFFECT_NONE));
  EXPECT_TRUE(delivered.empty());
  EnableWindow(window, TRUE);
  EXPECT_EQ(dragAndDrop(*target, one, 0), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(delivered.size(), 1u);
  target->Release();
  DestroyWindow(window);
}

TEST(DropTarget, RegistersOnceOnly) {
  OleInitialize(nullptr);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
  DropTargetControl control(kFilesOnly, record);
  EXPECT_TRUE(registerDropTarget(control, window));
  EXPECT_FALSE(registerDropTarget(control, window));
  auto* other = new EDropTarget(kFilesOnly, window, nullptr);
  EXPECT_EQ(RegisterDragDrop(window, other), DRAGDROP_E_ALREADYREGISTERED);
  control.windowGoing();  // what the window it is attached to tells it
  EXPECT_EQ(RegisterDragDrop(window, other), S_OK);  // revoking freed the window
  RevokeDragDrop(window);
  other->Release();
  DestroyWindow(window);
}
