#include "framework/AfxApp.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <tuple>

// The application's name is the executable's base name, and the message box's caption.
TEST(AfxApp, MessageBoxHasOneOkButtonAndTheAppNameAsCaption)
{
    EXPECT_STREQ("test_framework", AfxGetAppName());
    int answer = 0;
    std::vector<MessageBoxInfo> boxes = AnswerMessageBoxesDuring([&] { answer = AfxMessageBox("Hello 你好"); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(std::make_tuple(std::string("Hello 你好"), std::string("test_framework"), IDOK),
              std::make_tuple(boxes[0].text, boxes[0].caption, answer));
}
