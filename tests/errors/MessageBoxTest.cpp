#include "app/MessageBox.h"

#include <gtest/gtest.h>

#include "tests/errors/RecordingBoxes.h"

namespace {

TEST(AppMessageBox, CaptionAndDefaultIcon)
{
    const struct {
        MbIcon asked;
        MbButtons buttons;
        MbIcon shown;
    } cases[] = {
        {MbIcon::None, MbButtons::Ok, MbIcon::Warning},
        {MbIcon::None, MbButtons::OkCancel, MbIcon::Warning},
        {MbIcon::None, MbButtons::YesNo, MbIcon::Question},
        {MbIcon::Error, MbButtons::YesNo, MbIcon::Error},
        {MbIcon::Information, MbButtons::Ok, MbIcon::Information},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.asked) * 10 + static_cast<int>(c.buttons));
        CRecordingBoxes boxes(MbAnswer::Yes);
        CScopedMessageBoxes scope(&boxes);

        EXPECT_EQ(AppMessageBox("Go on?", c.asked, c.buttons), MbAnswer::Yes);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, "Professional Corvane");
        EXPECT_EQ(boxes.shown[0].text, "Go on?");
        EXPECT_EQ(boxes.shown[0].icon, c.shown);
        EXPECT_EQ(boxes.shown[0].buttons, c.buttons);
    }
}

TEST(ShowMessageBox, PassesTheBoxThroughUnchanged)
{
    CRecordingBoxes boxes(MbAnswer::Cancel);
    CScopedMessageBoxes scope(&boxes);

    EXPECT_EQ(ShowMessageBox("Error", "Unable to open communication port", MbIcon::None,
                             MbButtons::OkCancel),
              MbAnswer::Cancel);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Error");
    EXPECT_EQ(boxes.shown[0].text, "Unable to open communication port");
    EXPECT_EQ(boxes.shown[0].icon, MbIcon::None);
    EXPECT_EQ(boxes.shown[0].buttons, MbButtons::OkCancel);
}

TEST(ShowMessageBox, WithoutPresenterNothingIsConsentedTo)
{
    const struct {
        MbButtons buttons;
        MbAnswer answer;
    } cases[] = {
        {MbButtons::Ok, MbAnswer::Ok},
        {MbButtons::OkCancel, MbAnswer::Cancel},
        {MbButtons::YesNo, MbAnswer::No},
    };
    CScopedMessageBoxes none(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        EXPECT_EQ(ShowMessageBox("Confirm", "Update?", MbIcon::Question, c.buttons), c.answer);
        EXPECT_EQ(AppMessageBox("Update?", MbIcon::None, c.buttons), c.answer);
    }
}

TEST(ShowMessageBox, ScopedPresentersNestAndRestore)
{
    CRecordingBoxes outer(MbAnswer::Yes);
    CRecordingBoxes inner(MbAnswer::No);
    CScopedMessageBoxes outer_scope(&outer);
    {
        CScopedMessageBoxes inner_scope(&inner);
        EXPECT_EQ(AppMessageBox("a", MbIcon::None, MbButtons::YesNo), MbAnswer::No);
    }
    EXPECT_EQ(AppMessageBox("b", MbIcon::None, MbButtons::YesNo), MbAnswer::Yes);
    EXPECT_EQ(inner.shown.size(), 1u);
    EXPECT_EQ(outer.shown.size(), 1u);
}

}  // namespace
