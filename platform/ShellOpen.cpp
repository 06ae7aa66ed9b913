#include "ShellOpen.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

#include <utility>

namespace {

// The desktop launcher reports success as soon as it starts, even when nothing can show the file, so the
// registered program for the file's type is looked up first.
bool desktopOpen(const QString &path)
{
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mime});
    if (!query.waitForFinished(3000) || query.exitCode() != 0 ||
        query.readAllStandardOutput().trimmed().isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

ShellOpener g_opener = nullptr;

} // namespace

bool ShellOpen(const QString &path)
{
    return g_opener ? g_opener(path) : desktopOpen(path);
}

ShellOpener SetShellOpener(ShellOpener opener)
{
    return std::exchange(g_opener, opener);
}
