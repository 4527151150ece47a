#include "CBitmap.h"
#include "CImageEncoders.h"

#include <gtest/gtest.h>

TEST(EncoderChoiceTest, UpperCaseJpgExtensionChoosesJpeg)
{
    const EncoderChoice choice = CImageEncoders::ChooseEncoder("photo.JPG");
    EXPECT_TRUE(choice.found);
    EXPECT_EQ(choice.mimeType, "image/jpeg");
    EXPECT_EQ(choice.jpegQuality, 75);
}
