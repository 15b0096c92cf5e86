#pragma once

#include <chrono>
#include <cstdio>
#include <string>

// One line on a terminal telling how far a run over many files has come: a bar, files done of
// the total, the rate, the time left and the file being worked on. Drawn only on a terminal,
// and only once the run has lasted `after`, so that short runs stay quiet.
class ProgressBar {
public:
    using Clock = std::chrono::steady_clock;

    // shown false (--quiet) or a stream that is no terminal draws nothing at all.
    ProgressBar(std::FILE* stream, std::size_t total, bool shown, Clock::duration after);
    ~ProgressBar() { clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws with done files finished and current being worked on, at most ten times a second.
    void update(std::size_t done, const std::string& current);
    // Takes the line away, before other text is written to the terminal; the next update draws
    // it again.
    void clear();

    // The line for a terminal of width columns, after elapsed; its own function to be testable.
    static std::string line(std::size_t done, std::size_t total, Clock::duration elapsed,
                            const std::string& current, int width);

private:
    std::FILE* m_stream;
    std::size_t m_total;
    bool m_enabled;
    Clock::duration m_after;
    Clock::time_point m_start;
    Clock::time_point m_drawn;
    bool m_visible = false;
};
