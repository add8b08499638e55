// A person whose locale writes one half as "0,5" explores as anyone else:
// QApplication has switched the C library to that locale, and the titles,
// the saved file name and the dialog's fields still write and read "0.5".
#include "journey_fixture.h"
#include "user_locale.h"

namespace qel {
namespace {

class CommaLocaleJourney : public JourneyTest {
protected:
    void SetUp() override {
        locale.assertSet();
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }
    UserLocale locale{kCommaLocale};
};

TEST_F(CommaLocaleJourney, TitlesFileNamesAndFieldsKeepTheDecimalPoint) {
    start();
    leftClickAt(QPoint(150, 150));
    EXPECT_EQ(title(), "M: 中心(-0.5 , 0): 倍率8:" + kZoomHint8 + " 右ClickでMenu:");

    useSettings([this] {
        typeInto("Text1", "2.5");
        typeInto("Text3", "-1.9");
        typeInto("Text5", "0.25");
        typeInto("Text9", "1.5");
        clickControl("Command1");  // "描画開始"
    });
    expectAllShown();
    EXPECT_EQ(s().centerX, -1.9);
    EXPECT_EQ(s().centerY, 0.25);
    EXPECT_EQ(s().contourT, 1.5f);
    EXPECT_EQ(title(), "M: 中心(-1.9 , 0.25): 倍率20:" + kZoomHint8 + " 右ClickでMenu:");

    chooseFromMenu("mnuhozon");
    const std::filesystem::path saved = folder / "M0s20x-1p9y0p25k500t1p5.bmp";
    ASSERT_TRUE(std::filesystem::exists(saved));
    leftClickAt(QPoint(200, 150));  // used up by the open menu
    platform->openAnswer = saved.string();
    chooseFromMenu("mnuyomi");
    EXPECT_EQ(s().centerX, -1.9);
    EXPECT_EQ(s().contourT, 1.5f);
    EXPECT_EQ(s().radius, 0.1);
    EXPECT_TRUE(platform->messages.empty());
}

}  // namespace
}  // namespace qel
