// Another program on the clipboard, for the end-to-end tests:
//   clipboard_rival same|other DELAY_MS   runs until it is stopped
#include "support/x11_clipboard_rival.h"

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    XInitThreads();
    const auto kind = std::strcmp(argv[1], "same") == 0 ? X11ClipboardRival::Kind::SameText
                                                        : X11ClipboardRival::Kind::OtherText;
    X11ClipboardRival rival(kind, std::chrono::milliseconds(std::atoi(argv[2])), "OTHER TEXT");
    std::printf("ready\n"); // the rival sees every change of owner from now on
    std::fflush(stdout);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    const timespec tick{0, 10L * 1000 * 1000};
    for (int said = 0; sigtimedwait(&stop, nullptr, &tick) != SIGTERM;) {
        if (rival.retakes() != said) {
            said = rival.retakes();
            std::printf("took %d\n", said);
            std::fflush(stdout);
        }
    }
    return 0;
}
