#include "TLZH.h"
#include "TSkinReader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray frame(quint32 length, QByteArray stream)
{
    char b[4];
    qToLittleEndian(length, b);
    return QByteArray(b, 4) + stream;
}

QByteArray randomBytes(int n, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(n, '\0');
    for (char &c : out)
        c = static_cast<char>(gen.bounded(256));
    return out;
}

// Builds an expanded package by hand, so that the reader is checked against the layout, not the writer.
QByteArray rawPackage(quint32 version, int base, const QByteArray &list, const QList<quint32> &sizes,
                      const QByteArray &data)
{
    QByteArray p(base, '\x5A'); // unread header bytes and padding hold junk on purpose
    qToLittleEndian(version, p.data());
    qToLittleEndian(quint32(list.size()), p.data() + 4);
    p += list;
    for (quint32 s : sizes) {
        char b[4];
        qToLittleEndian(s, b);
        p.append(b, 4);
    }
    return p + data;
}

TEST(LzhCodec, HandDerivedStreamsDecode)
{
    // In the starting tree symbol 65 ('A') is the 9-bit code 111001101 and symbol 256 (a match of 3) the
    // 8-bit code 10001100; position 0 is 000 plus six 0 bits and points one byte behind the write position.
    struct Case {
        QByteArray stream;
        qint64 length;
        QByteArray expected;
    } cases[] = {
        {QByteArray("\xE6\x80", 2), 1, "A"},
        {QByteArray("\xE6", 1), 1, "@"},           // a left-out final byte reads as 0 bits
        {QByteArray("\x8C\x00\x00", 3), 3, "   "}, // a match at the start copies the ring's blanks
        {QByteArray("\x8C\x00\x00", 3), 2, "  "},  // and stops at the length asked for
        {QByteArray(), 0, ""},
    };
    for (const Case &c : cases) {
        QByteArray out;
        EXPECT_EQ(TLZH::LZHUnpack(c.stream, c.length, out), TLZH::Result::Ok) << c.expected.size();
        EXPECT_EQ(out, c.expected);
    }
}

TEST(LzhCodec, RoundTripsKeepEveryByte)
{
    const QByteArray text = QByteArray("[Personality]\r\nLeft=left.bmp\r\nLeftFrame=2\r\n").repeated(400);
    const QList<QByteArray> inputs = {
        QByteArray(),          QByteArray("x"),          randomBytes(4035, 1),       randomBytes(4036, 2),
        randomBytes(4037, 3),  text,                     randomBytes(200 * 1024, 4), QByteArray(300000, ' '),
        QByteArray(70000, 0),  QByteArray("ab").repeated(50000),
    };
    for (const QByteArray &in : inputs) {
        const QByteArray packed = SkinCompress(in);
        QByteArray out;
        ASSERT_TRUE(SkinDecompress(packed, out)) << in.size();
        EXPECT_EQ(out, in) << in.size();
    }
    // A long blank run packs to about one 48th, well inside the length cap.
    EXPECT_LT(SkinCompress(QByteArray(300000, ' ')).size(), 300000 / 40);
}

TEST(LzhCodec, DamagedFramesAreRefused)
{
    const QByteArray plain = randomBytes(20000, 7);
    const QByteArray good = SkinCompress(plain);
    const QByteArray stream = good.sliced(4);
    const struct Case {
        const char *what;
        QByteArray frame;
    } cases[] = {
        {"shorter than the length field", QByteArray("\x01\x00", 2)},
        {"cut in half", good.first(good.size() / 2)},
        {"cut by three bytes", good.first(good.size() - 3)},
        {"length above 64 x stream + 4096", frame(quint32(64 * 10 + 4097), QByteArray(10, '\xFF'))},
        {"length above 256 MiB", frame(quint32(256u * 1024 * 1024 + 1), QByteArray(5 * 1024 * 1024, '\0'))},
        {"length grown by a flipped bit", frame(quint32(plain.size()) | 0x10000, stream)},
    };
    for (const Case &c : cases) {
        QByteArray out;
        EXPECT_FALSE(SkinDecompress(c.frame, out)) << c.what;
        EXPECT_LE(out.size(), 256 * 1024 * 1024) << c.what;
    }
    // Flipped bits inside the stream change the output but never its length, and never read out of bounds.
    for (int bit = 0; bit < stream.size() * 8; bit += 997) {
        QByteArray bad = good;
        bad[4 + bit / 8] = static_cast<char>(bad[4 + bit / 8] ^ (1 << (bit % 8)));
        QByteArray out;
        if (SkinDecompress(bad, out)) {
            EXPECT_EQ(out.size(), plain.size());
        }
    }
}

TEST(SkinPackage, VersionsLayoutsAndNameRules)
{
    const QByteArray list = "Colours.INI\r\nTitle.bmp\r\nempty.bmp\r\nsecond.ini\r\n";
    const QList<quint32> sizes = {3, 4, 0, 2};
    const QByteArray data = "ini" "BMP!" "" "2d";
    struct Layout {
        quint32 version;
        int base;
    };
    for (const Layout l : {Layout{20000, 16}, Layout{30000, 272}, Layout{40000, 96}}) {
        TSkinReader reader;
        ASSERT_TRUE(reader.Loadfromstream(SkinCompress(rawPackage(l.version, l.base, list, sizes, data))));
        EXPECT_EQ(reader.names(), QStringList({"colours.ini", "title.bmp", "empty.bmp", "second.ini"}));
        QByteArray out = "stale";
        reader.readfile("TITLE.BMP", out);
        EXPECT_EQ(out, "BMP!");
        reader.readfile("empty.bmp", out);
        EXPECT_TRUE(out.isEmpty());
        reader.readfile("missing.bmp", out);
        EXPECT_TRUE(out.isEmpty());
        EXPECT_EQ(reader.readIni(".ini", out), "colours.ini"); // the first of two
        EXPECT_EQ(out, "ini");
        EXPECT_EQ(reader.readIni(".INI", out), ""); // the text is not lowered
        EXPECT_TRUE(out.isEmpty());
    }
    // Line counting: no member after a final break, an empty member for an empty line, bare LF and CR.
    const struct Lines {
        QByteArray list;
        int count;
    } lines[] = {{"a\r\nb", 2}, {"a\r\nb\r\n", 2}, {"a\r\n\r\n", 2}, {"a\nb\rc", 3}, {"", 0}};
    for (const Lines &c : lines) {
        TSkinReader reader;
        QList<quint32> zero(c.count, 0);
        ASSERT_TRUE(reader.Loadfromstream(SkinCompress(rawPackage(20000, 16, c.list, zero, {}))));
        EXPECT_EQ(reader.names().size(), c.count) << c.list.constData();
    }
}

TEST(SkinPackage, DamagedOrForeignPackagesFailCleanly)
{
    const QByteArray list = "a.ini\r\nb.bmp\r\n";
    QByteArray tooMany;
    for (int i = 0; i <= TSkinReader::MaxMembers; ++i)
        tooMany += "m\r\n";
    const struct Case {
        const char *what;
        QByteArray frame;
        SkinReadError error;
    } cases[] = {
        {"unknown version", SkinCompress(rawPackage(10000, 16, list, {1, 1}, "xy")), SkinReadError::Version},
        {"shorter than the header", SkinCompress("12345678"), SkinReadError::Damaged},
        {"name list past the end", SkinCompress(rawPackage(20000, 16, list, {}, {}).first(20)),
         SkinReadError::Damaged},
        {"size table past the end", SkinCompress(rawPackage(20000, 16, list, {1}, {})), SkinReadError::Damaged},
        {"member past the end", SkinCompress(rawPackage(20000, 16, list, {1, 0xFFFFFFFF}, "xy")),
         SkinReadError::Damaged},
        {"sizes summing past 32 bits",
         SkinCompress(rawPackage(20000, 16, list, {0x80000000, 0x80000000}, "xy")), SkinReadError::Damaged},
        {"more than the member limit",
         SkinCompress(rawPackage(20000, 16, tooMany, QList<quint32>(TSkinReader::MaxMembers + 1, 0), {})),
         SkinReadError::Damaged},
        {"not a frame", QByteArray("\x00\x10\x00\x00garbage", 11), SkinReadError::Damaged},
    };
    for (const Case &c : cases) {
        TSkinReader reader;
        QStringList messages;
        reader.setMessageHandler([&](const QString &m) { messages.append(m); });
        ASSERT_TRUE(reader.Loadfromstream(SkinCompress(rawPackage(20000, 16, "keep.ini\r\n", {1}, "k"))));
        EXPECT_FALSE(reader.Loadfromstream(c.frame)) << c.what;
        EXPECT_EQ(reader.lastError(), c.error) << c.what;
        EXPECT_FALSE(reader.errorText().isEmpty());
        EXPECT_EQ(reader.names(), QStringList{"keep.ini"}) << c.what; // the loaded package stays
        EXPECT_EQ(messages, c.error == SkinReadError::Version ? QStringList{"此文件版本不同\r请升级新版本 !"}
                                                              : QStringList{})
            << c.what;
    }
    TSkinReader reader;
    EXPECT_FALSE(reader.loadfromfile("/nonexistent/skin.skn"));
    EXPECT_EQ(reader.lastError(), SkinReadError::MissingFile);
}

int runSkinpack(const QStringList &args)
{
    QProcess p;
    p.start(SKINPACK_PATH, args);
    p.waitForFinished(30000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QMap<QString, QByteArray> folderContents(const QString &path)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(path).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile f(info.filePath());
        f.open(QIODevice::ReadOnly);
        files[info.fileName()] = f.readAll();
    }
    return files;
}

TEST(Skinpack, PacksAndUnpacksByteForByteAndRefusesUnsafeNames)
{
    QTemporaryDir tmp;
    const QString src = tmp.filePath("src"), out = tmp.filePath("out"), skn = tmp.filePath("a.skn");
    QDir().mkpath(src);
    const QMap<QString, QByteArray> files = {
        {"skin.ini", "[TitlebarSkin]\r\nSkinName=测试\r\n"}, {"Title.BMP", randomBytes(5000, 9)},
        {"empty.bmp", QByteArray()}, {"名字.bmp", QByteArray(9000, 'z')}};
    for (auto it = files.begin(); it != files.end(); ++it) {
        QFile f(src + "/" + it.key());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(it.value());
    }
    for (const QString version : {"20000", "30000", "40000"}) {
        ASSERT_EQ(runSkinpack({"pack", src, skn, version}), 0);
        QDir(out).removeRecursively();
        ASSERT_EQ(runSkinpack({"unpack", skn, out}), 0);
        EXPECT_EQ(folderContents(out), files) << version.toStdString();
    }

    const QString escape = tmp.filePath("escape");
    for (const QByteArray &name : {QByteArray("../x.bmp"), QByteArray("/tmp/x.bmp"), QByteArray("a\\b.bmp"),
                                  QByteArray("..") , QByteArray("bell\x07.bmp")}) {
        QByteArray package;
        QFile f(skn);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SkinCompress(rawPackage(20000, 16, name + "\r\n", {1}, "x")));
        f.close();
        EXPECT_EQ(runSkinpack({"unpack", skn, escape}), 1) << name.constData();
        EXPECT_FALSE(QDir(escape).exists()) << name.constData();
    }
    EXPECT_EQ(runSkinpack({"unpack", tmp.filePath("missing.skn"), out}), 1);
    EXPECT_EQ(runSkinpack({"pack", src, skn, "12345"}), 1);
}

} // namespace
