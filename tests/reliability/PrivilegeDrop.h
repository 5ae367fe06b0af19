#pragma once
// File permissions do not bind root. Tests of unreadable and unwritable files call
// DropPrivileges in a child process (a death test) to become the unprivileged user "nobody"
// when they run as root; run as any other user, it changes nothing.

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <unistd.h>

namespace mapreg {

inline void DropPrivileges() {
    if (::geteuid() != 0) {
        return;
    }
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
        std::perror("cannot give up the privileges of root");
        std::_Exit(99);
    }
}

} // namespace mapreg
