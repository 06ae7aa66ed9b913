// Opening a file to be read: only a regular file (or a link to one) opens, and nothing else is waited on.
#include "FileRead.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

TEST(OpenRegularFile, OpensRegularFilesAndRefusesPipesDevicesAndFoldersAtOnce)
{
    QTemporaryDir dir;
    const auto at = [&](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    {
        QFile f(at("评语.rtf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 评语}");
    }
    ASSERT_TRUE(QFile::link(at("评语.rtf"), at("link.rtf")));
    ASSERT_TRUE(QFile::link(at("pipe.bmp"), at("link-to-pipe.bmp")));
    ASSERT_EQ(mkfifo(QFile::encodeName(at("pipe.bmp")).constData(), 0644), 0);
    ASSERT_TRUE(QDir().mkpath(at("folder.rtf")));
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray sockPath = QFile::encodeName(at("socket.rtf"));
    ASSERT_LT(size_t(sockPath.size()), sizeof addr.sun_path);
    memcpy(addr.sun_path, sockPath.constData(), size_t(sockPath.size()));
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);

    const struct {
        QString path;
        QByteArray content; // what opens; empty when the file is refused
    } rows[] = {
        {at("评语.rtf"), "{\\rtf1 评语}"},
        {at("link.rtf"), "{\\rtf1 评语}"},
        {at("pipe.bmp"), {}},
        {at("link-to-pipe.bmp"), {}},
        {at("folder.rtf"), {}},
        {at("socket.rtf"), {}},
        {QStringLiteral("/dev/zero"), {}},
        {at("missing.rtf"), {}},
    };
    alarm(30); // a pipe waited on after all ends the test program instead of hanging it
    for (const auto &row : rows) {
        QFile f;
        const bool opened = OpenRegularFile(f, row.path);
        EXPECT_EQ(opened, !row.content.isEmpty()) << row.path.toStdString();
        EXPECT_EQ(f.isOpen(), opened);
        if (opened)
            EXPECT_EQ(f.readAll(), row.content);
    }
    alarm(0);
    close(sock);
}

} // namespace
