// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the run without a window: a QCoreApplication that runs its event loop and nothing
// else, with a pseudo-terminal open, as the run has its port. It has no timer: what it costs is
// the machine's noise.

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::perror("tornasquillo-bench-bare-core: no pseudo-terminal");
        return 1;
    }
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    if (terminal < 0) {
        std::perror("tornasquillo-bench-bare-core: cannot open the pseudo-terminal");
        return 1;
    }
    const int status = app.exec();
    ::close(terminal);
    ::close(master);
    return status;
}
