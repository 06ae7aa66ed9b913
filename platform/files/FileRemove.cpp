#include "FileRemove.h"

#include "FileLinks.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deeper than any folder the program makes; a deeper tree is left rather than followed without end.
constexpr int kWholeDepth = 64;

bool Gone() { return errno == ENOENT; }

// Removes the entry `name` of the folder open at parent. A folder is opened without following a link, so a
// folder swapped for a link meanwhile is refused rather than entered.
bool RemoveAt(int parent, const char *name, int depth, int maxDepth)
{
    struct stat st {};
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Gone();
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(parent, name, 0) == 0 || Gone();
    if (depth >= maxDepth)
        return false;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Gone();
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    // The names are read first: removing entries while the folder is being read may skip some.
    std::vector<std::string> names;
    while (const dirent *e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    bool ok = true;
    for (const std::string &n : names)
        ok = RemoveAt(::dirfd(dir), n.c_str(), depth + 1, maxDepth) && ok;
    ::closedir(dir);
    return ok && (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || Gone());
}

} // namespace

bool RemoveTree(const QString &path, TreeDepth depth)
{
    const QString p = Unslashed(path);
    return !p.isEmpty() &&
           RemoveAt(AT_FDCWD, QFile::encodeName(p).constData(), 0, depth == TreeDepth::Whole ? kWholeDepth : 1);
}
