#include "FileLinks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The system's own limit on links followed in one name.
constexpr int kMaxLinks = 40;

// The text a link holds; empty when path is no link.
QString ReadLink(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return {};
    QByteArray target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(native.constData(), target.data(), size_t(target.size()));
    return n > 0 && n < target.size() ? QFile::decodeName(target.left(n)) : QString();
}

} // namespace

QString LinkedPath(const QString &path)
{
    QString p = Unslashed(path);
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        const QString target = ReadLink(p);
        if (target.isEmpty())
            return p;
        const QString joined = Unslashed(QDir::isRelativePath(target) ? QFileInfo(p).absolutePath() + '/' + target : target);
        const QFileInfo next(joined);
        const QString name = next.fileName();
        // The folder part is resolved by the system, so that ".." goes up from where a linked folder leads.
        const QString folder = QFileInfo(next.path()).canonicalFilePath();
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            p = next.canonicalFilePath().isEmpty() ? joined : next.canonicalFilePath();
        else
            p = folder.isEmpty() ? joined : (folder == QLatin1String("/") ? folder : folder + '/') + name;
    }
    return Unslashed(path);
}

QString Unslashed(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}
