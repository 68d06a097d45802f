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
    QTest::qWait(50);
    loop.Stop();
    EXPECT_GT(passes, 10);
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
    QTest::qWait(20);
    ASSERT_GE(counts.size(), 3u);
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(counts[2], 2);
    QWidget target;
    QTest::keyClick(&target, Qt::Key_A);
    counts.clear();
    QTest::qWait(20);
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
    QTest::qWait(20);
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
    QTest::qWait(30);
    loop.Stop();
    EXPECT_GT(passes, beforeClose) << "the passes resume once the dialog is gone";
}
