// Where the controls of a resized dialog go: the rule behind the main window and the to-do list.

#include <gtest/gtest.h>

#include "ui/layout_rules.h"

namespace {

// The main window's client area at 96 DPI as the template makes it, its list and its first
// button.
constexpr int kWidth = 661;
constexpr int kHeight = 124;
constexpr LayoutBox kList{5, 5, 580, 122};
constexpr LayoutBox kButton{584, 5, 656, 25};

TEST(LayoutRules, ListFillsAndButtonsKeepToTheRightEdge) {
    const struct {
        const char* what;
        int width;
        int height;
        LayoutBox list;
        LayoutBox button;
    } cases[] = {
        {"the template's size", kWidth, kHeight, kList, kButton},
        {"wider only", kWidth + 300, kHeight, {5, 5, 880, 122}, {884, 5, 956, 25}},
        {"taller only", kWidth, kHeight + 200, {5, 5, 580, 322}, kButton},
        {"maximized", 1280, 990, {5, 5, 1199, 988}, {1203, 5, 1275, 25}},
        // The minimum size keeps these away; the rule still gives no inverted rectangle.
        {"narrower by a little", kWidth - 10, kHeight - 4, {5, 5, 570, 118}, {574, 5, 646, 25}},
        {"no room at all", 0, 0, {5, 5, 5, 5}, {-77, 5, -5, 25}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnchoredBox(kList, LayoutAnchor::kFills, kWidth, kHeight, c.width, c.height),
                  c.list)
            << c.what;
        EXPECT_EQ(
            AnchoredBox(kButton, LayoutAnchor::kRightColumn, kWidth, kHeight, c.width, c.height),
            c.button)
            << c.what;
    }
}

// A line of text over the list and one under it, as the last restart's window has them.
TEST(LayoutRules, LinesOfTextTakeTheWidthAndTheLowerOneKeepsToTheBottom) {
    constexpr LayoutBox kOver{5, 5, 580, 25};
    constexpr LayoutBox kUnder{5, 105, 580, 120};
    const struct {
        const char* what;
        int width;
        int height;
        LayoutBox over;
        LayoutBox under;
    } cases[] = {
        {"the template's size", kWidth, kHeight, kOver, kUnder},
        {"wider only", kWidth + 300, kHeight, {5, 5, 880, 25}, {5, 105, 880, 120}},
        {"taller only", kWidth, kHeight + 200, kOver, {5, 305, 580, 320}},
        {"maximized", 1280, 990, {5, 5, 1199, 25}, {5, 971, 1199, 986}},
        {"no room at all", 0, 0, {5, 5, 5, 25}, {5, -19, 5, -4}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnchoredBox(kOver, LayoutAnchor::kAcrossTop, kWidth, kHeight, c.width, c.height),
                  c.over)
            << c.what;
        EXPECT_EQ(
            AnchoredBox(kUnder, LayoutAnchor::kAcrossBottom, kWidth, kHeight, c.width, c.height),
            c.under)
            << c.what;
    }
}

TEST(LayoutRules, PathColumnTakesTheChangeInTheListsWidth) {
    const struct {
        const char* what;
        int column;
        int listBefore;
        int listNow;
        int widened;
    } cases[] = {
        {"the list grows", 300, 575, 875, 600},
        {"and shrinks back", 600, 875, 575, 300},
        {"a width the user gave it is kept beside the change", 120, 575, 675, 220},
        {"the same width", 300, 575, 575, 300},
        {"never below nothing", 50, 875, 575, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WidenedColumn(c.column, c.listBefore, c.listNow), c.widened) << c.what;
    }
}

}  // namespace
