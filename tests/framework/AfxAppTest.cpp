#include "framework/AfxApp.h"
#include "support/Dialogs.h"

#include <gtest/gtest.h>

TEST(AfxApp, AppNameIsTheExecutableBaseName)
{
    EXPECT_STREQ("test_framework", AfxGetAppName());
}

TEST(AfxApp, MessageBoxHasOneOkButtonAndTheAppNameAsCaption)
{
    int answer = 0;
    std::vector<MessageBoxInfo> boxes = AnswerMessageBoxesDuring([&] {
        answer = AfxMessageBox("Hello 你好");
    });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Hello 你好", boxes[0].text);
    EXPECT_EQ("test_framework", boxes[0].caption);
    EXPECT_EQ(IDOK, answer);
}
