#include "tools/ProgressBar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr int kBarCells = 24;

std::string clock(long seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    }
    return text;
}

// The number of UTF-8 characters (columns, for the names this shows) of text.
std::size_t characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The last `keep` characters of text behind "…".
std::string tail(const std::string& text, std::size_t keep) {
    std::size_t at = text.size();
    for (std::size_t kept = 0; at > 0 && kept < keep; --at) {
        kept += (static_cast<unsigned char>(text[at - 1]) & 0xC0) != 0x80 ? 1 : 0;
    }
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        ++at;
    }
    return "…" + text.substr(at);
}

int terminalWidth(int fd) {
    winsize size{};
    return ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, std::size_t total, bool shown, Clock::duration after)
    : m_stream(stream),
      m_total(total),
      m_enabled(shown && ::isatty(::fileno(stream)) == 1),
      m_after(after),
      m_start(Clock::now()),
      m_drawn(m_start - std::chrono::seconds(1)) {}

void ProgressBar::update(std::size_t done, const std::string& current) {
    const Clock::time_point now = Clock::now();
    if (!m_enabled || now - m_start < m_after ||
        (m_visible && now - m_drawn < std::chrono::milliseconds(100))) {
        return;
    }
    m_drawn = now;
    const std::string text =
        line(done, m_total, now - m_start, current, terminalWidth(::fileno(m_stream)));
    std::fprintf(m_stream, "\r%s\x1b[K", text.c_str());
    std::fflush(m_stream);
    m_visible = true;
}

void ProgressBar::clear() {
    if (m_visible) {
        std::fputs("\r\x1b[K", m_stream);
        std::fflush(m_stream);
        m_visible = false;
    }
}

std::string ProgressBar::line(std::size_t done, std::size_t total, Clock::duration elapsed,
                              const std::string& current, int width) {
    const std::size_t filled = total == 0 ? kBarCells : done * kBarCells / total;
    std::string text = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') +
                       "] " + std::to_string(done) + "/" + std::to_string(total);
    const double seconds = std::chrono::duration<double>(elapsed).count();
    if (done > 0 && seconds > 0) {
        const double rate = static_cast<double>(done) / seconds;
        char perSecond[32];
        std::snprintf(perSecond, sizeof perSecond, rate >= 10 ? "%.0f" : "%.1f", rate);
        text += "  " + std::string(perSecond) + " files/s  " +
                clock(static_cast<long>(static_cast<double>(total - done) / rate + 0.5)) + " left";
    }
    // The file's name, cut from the left to what the terminal's line has room for.
    const std::size_t room = static_cast<std::size_t>(std::max(width - 1, 0));
    const std::size_t used = characters(text) + 2;
    if (!current.empty() && used + 2 <= room) {
        const std::size_t left = room - used;
        text += "  " + (characters(current) <= left ? current : tail(current, left - 1));
    }
    // On a narrow terminal the line is cut rather than wrapped (all of it ASCII up to here).
    return characters(text) <= room ? text : text.substr(0, room);
}
