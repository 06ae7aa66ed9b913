#include <QApplication>
#include <QFont>
#include <gtest/gtest.h>

// One application object for all tests of a program, set up as the program's main() does.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the program outside ctest's environment; the tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    return RUN_ALL_TESTS();
}
