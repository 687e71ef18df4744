// Opening and shaping pseudo-terminals; raw mode with restore.
#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace asmora::console {

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(other.master_), slave_(other.slave_), slaveName_(std::move(other.slaveName_)) {
    other.master_ = other.slave_ = -1;
}

PseudoTerminal::~PseudoTerminal() {
    closeSlave();
    if (master_ >= 0) close(master_);
}

void PseudoTerminal::closeSlave() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
}

std::optional<PseudoTerminal> PseudoTerminal::openLike(int terminal, std::string& error) {
    PseudoTerminal pair;
    char name[128];
    pair.master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pair.master_ < 0 || grantpt(pair.master_) != 0 || unlockpt(pair.master_) != 0 ||
        ptsname_r(pair.master_, name, sizeof name) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    pair.slaveName_ = name;
    pair.slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pair.slave_ < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    termios settings{};
    if (tcgetattr(terminal, &settings) != 0) tcgetattr(pair.slave_, &settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(IUTF8);
    tcsetattr(pair.slave_, TCSANOW, &settings);
    copyWindowSize(terminal, pair.master_);
    fcntl(pair.master_, F_SETFL, fcntl(pair.master_, F_GETFL) | O_NONBLOCK);
    return pair;
}

void writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return;
        done += static_cast<std::size_t>(wrote);
    }
}

void copyWindowSize(int from, int to) {
    winsize size{};
    if (ioctl(from, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) ioctl(to, TIOCSWINSZ, &size);
}

RawTerminalMode::RawTerminalMode(int terminal) : terminal_(terminal) {
    termios settings{};
    if (tcgetattr(terminal_, &settings) != 0) return;
    saved_ = settings;
    cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    tcsetattr(terminal_, TCSANOW, &settings);
}

RawTerminalMode::~RawTerminalMode() {
    if (saved_) tcsetattr(terminal_, TCSADRAIN, &*saved_);
}

}  // namespace asmora::console
