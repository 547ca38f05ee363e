// The input method for real: a window of this process, its input context
// opened and closed through the library and read back through imm32 itself.
// Needs a display (the Windows suite runs under Xvfb). Other users: the
// portable InputMethod test.
#include <gtest/gtest.h>
#include <windows.h>

#include "gnutil/osresource.h"

namespace {

class InputMethodWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 50, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) GTEST_SKIP() << "no window (no display?)";
    imm_ = LoadLibraryA("imm32.dll");
    ASSERT_NE(imm_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }

  template <typename F>
  F Imm(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(imm_, name)));
  }

  // The open state as imm32 reports it, or -1 without an input context.
  int ReferenceState() {
    HIMC context = Imm<HIMC(WINAPI*)(HWND)>("ImmGetContext")(window_);
    if (context == nullptr) return -1;
    int open = Imm<BOOL(WINAPI*)(HIMC)>("ImmGetOpenStatus")(context) ? 1 : 0;
    Imm<BOOL(WINAPI*)(HWND, HIMC)>("ImmReleaseContext")(window_, context);
    return open;
  }

  long Handle() const { return static_cast<long>(reinterpret_cast<INT_PTR>(window_)); }

  HWND window_ = nullptr;
  HMODULE imm_ = nullptr;
};

TEST_F(InputMethodWindow, EastAsianUserOpensAndClosesWhatHasAContext) {
  const unsigned primary = GetUserDefaultLangID() & 0x3ff;  // Japanese, Korean, Chinese:
  if (primary != 17 && primary != 18 && primary != 4) GTEST_SKIP() << "not an East Asian user";
  ASSERT_NE(-1, ReferenceState()) << "the window has no input context";
  EXPECT_EQ(1, OSIMEOpenClose(Handle(), 1));
  EXPECT_EQ(1, ReferenceState());
  EXPECT_EQ(1, OSIMEGetState(Handle()));
  EXPECT_EQ(1, OSIMEOpenClose(Handle(), 0));
  EXPECT_EQ(0, ReferenceState());
  EXPECT_EQ(0, OSIMEGetState(Handle()));
  // No such window: no input context.
  EXPECT_EQ(0, OSIMEOpenClose(0x7ffffff0, 1));
  EXPECT_EQ(0, OSIMEGetState(0x7ffffff0));
}

}  // namespace
