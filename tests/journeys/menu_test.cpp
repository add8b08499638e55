// The popup menu under a right double click on the split picture, with the
// clicks coming from the window system at a person's speeds.
#include "journey_fixture.h"

namespace qel {
namespace {

// The first click of the double click opens the menu; its second click,
// quick or slow, belongs to the menu and leaves it open, as a modal menu
// would. Once the menu is closed, the next click on the picture only takes
// back the menu's mark and zooms nothing; the next right double click opens
// the menu again.
TEST_F(JourneyTest, ARightDoubleClickOnTheSplitPictureLeavesTheMenuOpen) {
    start();
    QMenu* menu = qel->mainWindow().popupMenu();
    const QPoint at(200, 150), elsewhere(600, 450);
    ulong ms = 1'000'000;  // later than every stamp other tests gave
    for (int gap : {80, 150, 80}) {
        SCOPED_TRACE(std::to_string(gap) + " ms between the clicks");
        ms += 10'000;
        bool openAfterBoth = false;
        bool menuOpenAfterBoth = false;
        QTimer::singleShot(gap, [&] {
            systemMouse(QEvent::MouseButtonPress, at, Qt::RightButton, ms + gap);
            systemMouse(QEvent::MouseButtonRelease, at, Qt::RightButton, ms + gap + 20);
            QTest::qWait(50);
            openAfterBoth = menu->isVisible();
            menuOpenAfterBoth = s().menuOpen;
            QTest::keyClick(menu, Qt::Key_Escape);
        });
        systemMouse(QEvent::MouseButtonPress, at, Qt::RightButton, ms);
        systemMouse(QEvent::MouseButtonRelease, at, Qt::RightButton, ms + 20);  // runs the menu's loop
        EXPECT_TRUE(openAfterBoth);
        EXPECT_TRUE(menuOpenAfterBoth);
        EXPECT_FALSE(menu->isVisible());

        const double radius = s().radius;
        systemMouse(QEvent::MouseButtonPress, elsewhere, Qt::LeftButton, ms + 2000);
        systemMouse(QEvent::MouseButtonRelease, elsewhere, Qt::LeftButton, ms + 2020);
        EXPECT_FALSE(s().menuOpen);
        EXPECT_EQ(s().radius, radius);
    }
    EXPECT_TRUE(platform->messages.empty());
}

}  // namespace
}  // namespace qel
