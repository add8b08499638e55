#include <gtest/gtest.h>

#include <QFileDialog>
#include <QGroupBox>
#include <QTest>
#include <QTranslator>
#include <QVBoxLayout>
#include <cstdio>
#include <fstream>

#include "platform/qt_option_button.h"
#include "platform/qt_platform.h"
#include "platform/shift_jis.h"

using namespace qel;

TEST(OptionButton, RunsItsHandlerOnlyWhenItBecomesSelectedByCodeOrByAClick) {
    QGroupBox box;
    OptionButton a{"a", &box}, b{"b", &box};
    auto* l = new QVBoxLayout(&box);
    l->addWidget(&a);
    l->addWidget(&b);
    int aRuns = 0, bRuns = 0;
    QObject::connect(&a, &OptionButton::chosen, [&aRuns] { ++aRuns; });
    QObject::connect(&b, &OptionButton::chosen, [&bRuns] { ++bRuns; });
    box.show();

    a.select();
    a.select();
    EXPECT_EQ(aRuns, 1);
    b.select();
    // clearing runs nothing, leaves the group empty and still exclusive
    b.clear();
    EXPECT_FALSE(a.isChecked() || b.isChecked());
    EXPECT_EQ(bRuns, 1);
    QTest::mouseClick(&a, Qt::LeftButton);
    QTest::mouseClick(&a, Qt::LeftButton);
    EXPECT_TRUE(a.isChecked());
    EXPECT_EQ(aRuns, 2);
}

// The file dialogs show the filter "bitmap file(*.bmp)" once, and Qt's own
// buttons and labels in Japanese.
TEST(QtFileDialogs, ShowTheFilterOnceAndQtsTextsInJapanese) {
    EXPECT_EQ(QtPlatform::qtFilter("bitmap file(*.bmp)|*.bmp").toStdString(), "bitmap file(*.bmp)");
    EXPECT_EQ(QtPlatform::qtFilter("pictures|*.bmp").toStdString(), "pictures (*.bmp)");
    EXPECT_EQ(QtPlatform::qtFilter("bitmap file(*.bmp)|*.bmp|places|*.kfr|all(*)|*").toStdString(),
              "bitmap file(*.bmp);;places (*.kfr);;all(*)");
    QTranslator translator;
    ASSERT_TRUE(installJapaneseQtTexts(translator));
    EXPECT_EQ(QFileDialog::tr("Files of type:").toStdString(), "ファイルの種類:");
}

TEST(ShiftJis, DecodesJapaneseAndRefusesBrokenBytes) {
    EXPECT_EQ(shiftJisToUtf8("1 \x8e\x67"), std::optional<std::string>("1 使"));
    EXPECT_EQ(utf8ToShiftJis("1 使"), std::optional<std::string>("1 \x8e\x67"));
    EXPECT_FALSE(shiftJisToUtf8(std::string("\x82", 1)).has_value());
    EXPECT_FALSE(readShiftJisFile("/nonexistent/readme.txt").has_value());
    EXPECT_FALSE(readShiftJisFile("/tmp").has_value());  // a folder is not a manual
    // a manual with a lead byte lacking its second byte loses one character, the rest still reads
    const std::string path = ::testing::TempDir() + "qel-broken-readme.txt";
    std::ofstream(path, std::ios::binary) << "abc\x82 xyz\r\n\x88\xea";
    EXPECT_EQ(readShiftJisFile(path), std::optional<std::string>("abc\xEF\xBF\xBD xyz\r\n一"));
    std::remove(path.c_str());
}
