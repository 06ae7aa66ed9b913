#include "TQuickIni.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TQuickIni iniOf(const char *text)
{
    TQuickIni ini;
    ini.LoadFromStream(QByteArray(text));
    return ini;
}

TEST(QuickIni, ReadsAsTheSkinModelExpects)
{
    const TQuickIni ini = iniOf("orphan=1\r\n"
                                "[Colours]\r\n"
                                "  ButtonFace   =   1,2,3  \r\n"
                                "; a comment\r\n"
                                "Empty=\r\nEmpty=5\r\n"
                                "Hex=0x1F\rShort=0x\nBig=99999999999\r\nBigHex=0x1FFFFFFFF\r\n"
                                "SysColour=0x80000005\r\nNeg=-12\r\nWord=abc\r\n"
                                "\r\n[Other]\r\nflag=1\r\n");
    EXPECT_EQ(ini.ReadSections(), QStringList({"Colours", "Other"}));
    const struct Case {
        const char *section, *key, *expected;
    } strings[] = {
        {"colours", "BUTTONFACE", "1,2,3"}, // section and key in any case, blanks round "=" trimmed
        {"Colours", "Empty", "dflt"},       // present but empty: the default, the later line never read
        {"Colours", "orphan", "dflt"},      // before the first header: in no section
        {"Missing", "x", "dflt"},
    };
    for (const Case &c : strings)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "dflt"), c.expected) << c.key;
    const struct IntCase {
        const char *key;
        int expected;
    } ints[] = {{"Hex", 31}, {"Short", -7}, {"Big", -7}, {"BigHex", -7}, {"SysColour", int(0x80000005u)},
                {"Neg", -12}, {"Word", -7}, {"Missing", -7}};
    for (const IntCase &c : ints)
        EXPECT_EQ(ini.ReadInteger("Colours", c.key, -7), c.expected) << c.key;
    EXPECT_TRUE(ini.ReadBool("Other", "flag", false));
    EXPECT_EQ(ini.ReadSection("colours"),
              QStringList({"buttonface", "empty", "empty", "hex", "short", "big", "bighex", "syscolour", "neg",
                           "word"}));
    EXPECT_EQ(ini.ReadSectionValues("other"), QStringList{"flag=1"});
    EXPECT_EQ(ini.Lines().size(), 14); // comment and blank lines are not kept
}

TEST(QuickIni, WritesKeepTheSectionIndexCurrent)
{
    TQuickIni ini = iniOf("[A]\r\nk=1\r\n[B]\r\nx=1\r\n[C]\r\ny=1\r\n");
    ini.WriteString("a", "New", "2");       // inserted before [B]
    ini.WriteString("A", "K", "3");         // replaced in place
    ini.WriteInteger("D", "n", 4);          // new section at the end
    ini.WriteBool("C", "b", true);          // appended at the end of the last section
    ini.WriteString("B", "", "ignored");    // an empty key writes nothing into an existing section
    ini.DeleteKey("B", "X");
    ini.EraseSection("a");
    EXPECT_TRUE(ini.Modified());
    EXPECT_EQ(ini.Lines(), QStringList({"[B]", "[C]", "y=1", "b=1", "[D]", "n=4"}));
    for (const QString &section : ini.ReadSections())
        EXPECT_EQ(ini.Lines()[ini.GetSectionIndex(section)], "[" + section + "]");
    EXPECT_EQ(ini.ReadInteger("d", "N", 0), 4);
    EXPECT_EQ(ini.GetSectionIndex("A"), -1);
}

TEST(QuickIni, CompressedSaveAndLoadRoundTrip)
{
    QTemporaryDir tmp;
    TQuickIni ini = iniOf("[皮肤]\r\n名称=墨韵\r\nWidth=12\r\n");
    ASSERT_TRUE(ini.SavetoZip(tmp.filePath("a.zip")));
    TQuickIni back;
    ASSERT_TRUE(back.LoadFromZip(tmp.filePath("a.zip")));
    EXPECT_EQ(back.Lines(), ini.Lines());
    EXPECT_EQ(back.ReadString("皮肤", "名称", ""), "墨韵");

    QFile bad(tmp.filePath("bad.zip"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("\xFF\xFF\xFF\x7F", 4) + QByteArray(100, 'x'));
    bad.close();
    EXPECT_FALSE(back.LoadFromZip(bad.fileName()));
    EXPECT_EQ(back.ReadString("皮肤", "名称", ""), "墨韵"); // a damaged file leaves the content
}

} // namespace
