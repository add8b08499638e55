// The popup menu's zoom to the nearest minibrot in the whole program: the
// item below "座標軸", the view it draws from the point where the menu was
// opened, a right click that stops its search, and its message where there
// is no minibrot.
#include <QAction>

#include "journey_fixture.h"

namespace qel {
namespace {

class MinibrotJourney : public JourneyTest {
public:
    void moveTo(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, picture()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(picture(), &move);
    }
    // The menu opened with a right click where the pointer is, `at`, and
    // the item chosen. A menu chosen from before has its mark taken back
    // by a click first, as the next click on the picture does.
    void chooseTheItemAt(QPoint at) {
        if (s().menuOpen) QTest::mouseClick(picture(), Qt::LeftButton, {}, at);
        whenShown(openMenu, [](QWidget* menu) {
            QAction* item = menu->findChild<QAction*>("mnuminibrot");
            ASSERT_NE(item, nullptr);
            menu->hide();
            if (item->isEnabled()) item->trigger();
        });
        rightClick(at);
        expectAllShown();
    }
};

TEST_F(MinibrotJourney, TheItemStandsBelowTheAxes) {
    start();
    std::vector<std::string> names, texts;
    for (QAction* a : qel->mainWindow().popupMenu()->actions()) {
        names.push_back(a->objectName().toStdString());
        texts.push_back(a->text().toStdString());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"mnugh", "mnuzen", "mnuyomi", "mnuhozon", "mnuza", "mnuminibrot",
                                               "sepa", "hlp", "mnuowli"}));
    EXPECT_EQ(texts[5], "近くのMinibrotへ拡大");
}

// 16 pixels from the period-3 minibrot on the start view's split screen
// (pixels of 0.01): its view, centred on the nucleus, whose period the
// cursor read-out shows; the previous screen returns to the start view.
TEST_F(MinibrotJourney, BesideThePeriod3MinibrotItsViewIsDrawnAndGoneBackFrom) {
    start();
    const Surface startView = p().picture1;
    moveTo(QPoint(200 - 176, 150 - 1));
    chooseTheItemAt(QPoint(200 - 176, 150 - 1));
    EXPECT_TRUE(platform->messages.empty());
    EXPECT_NEAR(s().cur.centerX, -1.7548776662466927600, 5e-15);
    EXPECT_EQ(s().cur.centerY, 0.0);
    EXPECT_EQ(title().substr(0, std::string("M: 中心(-1.75487766624669 , 0): 倍率").size()),
              "M: 中心(-1.75487766624669 , 0): 倍率");
    moveTo(QPoint(200, 450));
    EXPECT_NE(title().find(" 周期 3("), std::string::npos) << title();

    QTest::mouseClick(picture(), Qt::LeftButton, {}, QPoint(200, 450));  // takes back the menu's mark
    chooseFromMenu("mnuzen");
    EXPECT_EQ(std::tuple(s().cur.centerX, s().radius), std::tuple(0.0, 2.0));
    EXPECT_TRUE(p().picture1 == startView);
}

// Inside the main cardioid, on a picture whose limit would let the search
// run for seconds: a right click stops it; far outside the set a message
// says there is no minibrot. Either way the title and the view stay.
TEST_F(MinibrotJourney, ARightClickStopsTheSearchAndFarOutsideThereIsNone) {
    start();
    s().cur.maxIter = 1e7;
    moveTo(QPoint(170, 130));
    const std::string before = title();
    bool searching = false;
    platform->afterCaption = [&](const std::string& caption) {
        if (searching || caption.rfind("Minibrot探索中: ", 0) != 0) return;
        searching = true;
        const QPointF at(170, 130), global = picture()->mapToGlobal(at);
        QCoreApplication::postEvent(
            picture(), new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton, {}));
        QCoreApplication::postEvent(
            picture(), new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::RightButton, Qt::NoButton, {}));
    };
    const View shown = s().cur;
    chooseTheItemAt(QPoint(170, 130));
    EXPECT_TRUE(searching);
    EXPECT_TRUE(platform->messages.empty());
    EXPECT_EQ(title(), before);
    EXPECT_EQ(s().cur, shown);
    EXPECT_FALSE(s().busy);

    platform->afterCaption = nullptr;
    moveTo(QPoint(200 + 150, 150 - 140));
    const std::string outside = title();
    chooseTheItemAt(QPoint(200 + 150, 150 - 140));
    ASSERT_EQ(platform->messages.size(), 1u);
    EXPECT_EQ(platform->messages[0].text, "近くにMinibrotが見つかりませんでした");
    EXPECT_EQ(title(), outside);
    EXPECT_EQ(s().cur, shown);
}

}  // namespace
}  // namespace qel
