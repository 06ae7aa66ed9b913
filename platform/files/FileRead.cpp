#include "FileRead.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool OpenRegularFile(QFile &file, const QString &path)
{
    return OpenRegularFileFor(file, path) == ReadOpening::Opened;
}

ReadOpening OpenRegularFileFor(QFile &file, const QString &path, int *error)
{
    // Without O_NONBLOCK the open itself blocks on a pipe, before its kind can be asked.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return ReadOpening::Missing;
        if (error)
            *error = errno;
        return errno == ENXIO ? ReadOpening::NotRegularFile : ReadOpening::Failed; // a socket
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadOpening::NotRegularFile;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (error)
            *error = errno;
        ::close(fd);
        return ReadOpening::Failed;
    }
    return ReadOpening::Opened;
}
