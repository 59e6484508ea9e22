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

TEST(SetEdgeStyle, AControlWithoutItsWindowYetGetsTheEdgeWhenTheWindowIsMade) {
    FakeWindowApi api;
    FakeButton button;
    button.created = false;
    SetEdgeStyle(api, button, true);
    EXPECT_TRUE(api.styles.empty()) << "no window to style yet";
    api.styles[button.hwnd] = 0x10;  // the style the new window is made with
    button.Create();
    EXPECT_EQ(api.styles[button.hwnd], 0x10 | kWsExStaticEdge) << "added to the window's own";
    EXPECT_EQ(api.framesChanged, std::vector<std::uintptr_t>{button.hwnd});
}

TEST(EnableAutoComplete, PassesTheFlagsAndIsSilentWithoutCompletion) {
    FakeWindowApi api;
    FakeTextBox box;
    EnableAutoComplete(api, box, kShacfFileSystem);
    ASSERT_EQ(api.completions.size(), 1u);
    EXPECT_EQ(api.completions[0], std::make_pair(box.hwnd, 1u));

    // Missing completion stays silent also when it shows only as the box's window is made.
    api.autoCompleteAvailable = false;
    FakeTextBox later;
    later.created = false;
    EnableAutoComplete(api, later, kShacfFileSystem);
    later.Create();
    EXPECT_EQ(api.completions.size(), 1u);
    api.autoCompleteAvailable = true;
    FakeTextBox available;
    available.created = false;
    EnableAutoComplete(api, available, kShacfFileSystem);
    EXPECT_EQ(api.completions.size(), 1u);
    available.Create();
    EXPECT_EQ(api.completions.back(), std::make_pair(available.hwnd, 1u));
}

TEST(SelectAllAndFocus, SelectsEveryCharacterAsATextBoxCountsThem) {
    FakeTextBox box;
    // Characters, not bytes: one unit for a 3-byte character, two for a 4-byte one.
    for (const auto& [text, length] : std::vector<std::pair<std::string, int>>{
             {"", 0}, {"C:\\Programme\\Grüße\\gs.exe", 25}, {"C:\\€\\日本", 7}, {"C:\\𝄞\\a", 7}}) {
        box.text = text;
        SelectAllAndFocus(box);
        EXPECT_EQ(std::make_pair(box.selStart, box.selLength), std::make_pair(0, length)) << text;
        EXPECT_TRUE(box.focused);
    }
    box.canFocus = false;
    EXPECT_THROW(SelectAllAndFocus(box), toolkit::RuntimeError) << "reaches the caller";
}

}  // namespace vellum::shell
