// Drawing text needs the font database of a GUI application; no display is used.
#include <QFont>
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The charts name their face "宋体"; these are the faces that stand in for it here.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
