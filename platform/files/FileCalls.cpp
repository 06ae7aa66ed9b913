#include "FileCalls.h"

#include <cerrno>
#include <cstdio> // renameat2

#include <fcntl.h>
#include <unistd.h>

FileCalls &FileCalls::real()
{
    static FileCalls calls;
    return calls;
}

bool FileCalls::step(const char *) { return true; }

int FileCalls::hardLink(const QByteArray &from, const QByteArray &to)
{
    return ::link(from.constData(), to.constData()) == 0 ? 0 : errno;
}

int FileCalls::renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int FileCalls::sync(int fd)
{
    while (::fsync(fd) != 0)
        if (errno != EINTR)
            return errno;
    return 0;
}
