#include "shell/window_helpers.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_shell.h"

namespace vellum::shell {

TEST(SetEdgeStyle, OnlyAddsEdgeBitsAndRedrawsTheFrame) {
    FakeWindowApi api;
    FakeButton button;
    api.styles[button.hwnd] = 0x10;
    SetEdgeStyle(api, button, true);
    SetEdgeStyle(api, button, true);
    EXPECT_EQ(api.styles[button.hwnd], 0x10 | kWsExStaticEdge) << "twice is as once";
    SetEdgeStyle(api, button, false);
    EXPECT_EQ(api.styles[button.hwnd], 0x10 | kWsExStaticEdge | kWsExClientEdge);
    EXPECT_EQ(api.framesChanged.size(), 3u);
}

TEST(EnableAutoComplete, PassesTheFlagsAndIsSilentWithoutCompletion) {
    FakeWindowApi api;
    FakeTextBox box;
    EnableAutoComplete(api, box, kShacfFileSystem);
    ASSERT_EQ(api.completions.size(), 1u);
    EXPECT_EQ(api.completions[0].second, 1u);
    api.autoCompleteAvailable = false;
    EXPECT_NO_THROW(EnableAutoComplete(api, box, kShacfFileSystem));
}

TEST(SelectAllAndFocus, SelectsEveryCharacter) {
    FakeTextBox box;
    SelectAllAndFocus(box);
    EXPECT_EQ(box.selStart, 0);
    EXPECT_EQ(box.selLength, 0);
    EXPECT_TRUE(box.focused);

    box.text = "C:\\Programme\\Grüße\\gs.exe";  // counted in characters, not bytes
    SelectAllAndFocus(box);
    EXPECT_EQ(box.selLength, 25);

    box.canFocus = false;
    EXPECT_THROW(SelectAllAndFocus(box), toolkit::RuntimeError) << "reaches the caller";
}

}  // namespace vellum::shell
