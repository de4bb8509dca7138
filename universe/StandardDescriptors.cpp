#include "StandardDescriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool EnsureStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lower descriptors are open by now, so the lowest free number,
        // which open() takes, is fd itself; dup2 covers it all the same.
        const int opened = ::open("/dev/null", (fd == STDIN_FILENO ? O_WRONLY : O_RDONLY) | O_NOCTTY);
        if (opened < 0) return false;
        if (opened != fd) {
            const int moved = ::dup2(opened, fd);
            ::close(opened);
            if (moved != fd) return false;
        }
    }
    return true;
}
