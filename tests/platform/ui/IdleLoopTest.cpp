#include <QDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

#include "platform/ui/IdleLoop.h"

TEST(IdleLoop, RunsAgainAtOnceWhileTheHandlerAsksForMore) {
    int passes = 0;
    IdleLoop loop([&passes](LONG) {
        ++passes;
        return TRUE;
    });
    loop.Start();
    EXPECT_TRUE(QTest::qWaitFor([&passes] { return passes > 10; }, 5000));
    loop.Stop();
    const int stopped = passes;
    QTest::qWait(20);
    EXPECT_EQ(passes, stopped);
}

TEST(IdleLoop, HandlerThatIsDoneWaitsForTheNextEvent) {
    int passes = 0;
    IdleLoop loop([&passes](LONG) {
        ++passes;
        return FALSE;
    });
    loop.Start();
    EXPECT_TRUE(QTest::qWaitFor([&passes] { return passes > 0; }, 5000));
    QTest::qWait(30);
    EXPECT_EQ(passes, 1);
}

TEST(IdleLoop, CountStartsOverAfterInput) {
    std::vector<LONG> counts;
    IdleLoop loop([&counts](LONG count) {
        counts.push_back(count);
        return TRUE;
    });
    loop.Start();
    ASSERT_TRUE(QTest::qWaitFor([&counts] { return counts.size() >= 3; }, 5000));
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(counts[2], 2);
    QWidget target;
    QTest::keyClick(&target, Qt::Key_A);
    counts.clear();
    EXPECT_TRUE(QTest::qWaitFor([&counts] { return !counts.empty(); }, 5000));
    loop.Stop();
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts[0], 0);
}

TEST(IdleLoop, ModalDialogSuspendsThePasses) {
    int passes = 0;
    IdleLoop loop([&passes](LONG) {
        ++passes;
        return TRUE;
    });
    loop.Start();
    QDialog dialog;
    int whenOpen = -1;
    int beforeClose = -1;
    QTimer::singleShot(30, &dialog, [&] { whenOpen = passes; });
    QTimer::singleShot(130, &dialog, [&] {
        beforeClose = passes;
        dialog.accept();
    });
    dialog.exec();
    EXPECT_GE(whenOpen, 0);
    EXPECT_EQ(beforeClose, whenOpen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return passes > beforeClose; }, 5000)) << "the passes resume";
    loop.Stop();
}
