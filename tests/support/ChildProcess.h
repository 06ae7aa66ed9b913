#pragma once

// A test's work done in a process of its own (rights given up, a file-size limit, a kill at some step), with
// the child's answer brought back to the test.

#include <functional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

// Runs body in a forked child and returns its answer once the child has ended; empty when the child ended
// before answering (killed). The child ends with _exit, without the parent's clean-up.
inline std::string AnswerFromChild(const std::function<std::string()> &body)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string answer = body();
        const bool written = write(fds[1], answer.data(), answer.size()) == ssize_t(answer.size());
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    std::string answer;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        answer.append(buf, size_t(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return answer;
}

// For a child: the administrator writes whatever the permissions say, so a test of a folder that cannot be
// written first becomes a plain user. False when the rights could not be given up.
inline bool GiveUpAdministratorRights() { return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0); }
