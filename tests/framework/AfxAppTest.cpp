#include "framework/AfxApp.h"

#include <gtest/gtest.h>

TEST(AfxApp, AppNameIsTheExecutableBaseName)
{
    EXPECT_STREQ("test_framework", AfxGetAppName());
}
