#include "TFrmMain.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(MainWindow, CarriesTheProgramTitle)
{
    int argc = 1;
    char name[] = "test_app";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    TFrmMain w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Quorin 3.3"));
}
