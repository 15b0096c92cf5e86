#include "tools/BatchRun.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "chips/KindTable.h"
#include "tools/ProgressBar.h"
#include "tools/ToolSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr const char kPrefix[] = "pelorin-tool: ";

// A stream into memory for one input's run, its text taken when the run is over.
class CapturedStream {
public:
    CapturedStream() : m_stream(::open_memstream(&m_data, &m_size)) {}
    ~CapturedStream() {
        close();
        std::free(m_data);
    }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* stream() const { return m_stream; }
    std::string take() {
        close();
        return m_data != nullptr ? std::string(m_data, m_size) : std::string();
    }

private:
    void close() {
        if (m_stream != nullptr) {
            std::fclose(m_stream);
            m_stream = nullptr;
        }
    }

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::FILE* m_stream;
};

struct Outcome {
    bool started = false;
    bool finished = false;
    int status = kToolOk;
    std::string out;
    std::string err;
};

// The error lines of one input's run as "INPUT: message"; lines that name the input first
// already are left as they are.
std::string attributed(const std::string& input, const std::string& text) {
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, sizeof kPrefix - 1, kPrefix) == 0) {
            line.erase(0, sizeof kPrefix - 1);
        }
        if (line.empty()) {
            continue;
        }
        const bool named = line.compare(0, input.size() + 1, input + ":") == 0;
        result += (named ? line : input + ": " + line) + "\n";
    }
    return result;
}

std::string normalised(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return (ec ? fs::absolute(path, ec) : absolute).lexically_normal().string();
}

// Each input's options: itself as the one input and its own outputs. False, with the reason,
// when outputs cannot be named as they must.
bool plan(const ToolCommand& command, const ToolOptions& options, std::vector<ToolOptions>& runs,
          std::vector<std::string>& folders, std::string& error) {
    const ToolOutputs outputs = command.outputs(options);
    if (!outputs.empty() && !options.has(outputs.front().option)) {
        error = std::string(command.name) + " over several inputs needs " + outputs.front().option +
                " FOLDER, where each output is written";
        return false;
    }
    std::map<std::string, std::string> writers;  // output → the input that writes it
    for (const std::string& input : options.positional) {
        writers.emplace(normalised(input), std::string());
    }
    for (const std::string& input : options.positional) {
        ToolOptions run = options;
        run.positional = {input};
        run.several = true;
        for (const ToolOutput& output : outputs) {
            if (!options.has(output.option)) {
                continue;
            }
            const std::string path = (fs::path(options.value(output.option)) /
                                      (fs::path(input).stem().string() + output.extension))
                                         .string();
            const auto [place, fresh] = writers.emplace(normalised(path), input);
            if (!fresh) {
                error = place->second.empty()
                            ? input + " would write " + path + ", which is one of the inputs"
                            : place->second + " and " + input + " would both write " + path;
                return false;
            }
            run.values[output.option] = path;
        }
        runs.push_back(std::move(run));
    }
    for (const ToolOutput& output : outputs) {
        if (!options.has(output.option)) {
            continue;
        }
        const std::string folder = options.value(output.option);
        std::error_code ec;
        if (fs::exists(folder, ec) && !fs::is_directory(folder, ec)) {
            error = output.option + " names a folder when there are several inputs, and " + folder +
                    " is a file";
            return false;
        }
        folders.push_back(folder);
    }
    return true;
}

// The inputs every run shares, read once before any run starts so that their faults are told
// once rather than for each input.
int readShared(const ToolIo& io, const ToolOptions& options) {
    if (options.has("--chips")) {
        const auto image = tool::decodeChipImage(options.value("--chips"), io.err());
        if (image.value == nullptr) {
            return io.inputError(image.why());
        }
    }
    KindTable kinds;
    if (options.has("--kinds")) {
        const platform::Outcome<bool> read = tool::loadKinds(options.value("--kinds"), kinds);
        if (!read.value) {
            return io.inputError(read.why());
        }
    }
    return kToolOk;
}

}  // namespace

namespace tool {

int runBatch(const ToolCommand& command, const ToolIo& io, const ToolOptions& options,
             const BatchSettings& settings) {
    std::vector<ToolOptions> runs;
    std::vector<std::string> folders;
    std::string error;
    if (!plan(command, options, runs, folders, error)) {
        return io.usageError(error);
    }
    std::vector<std::string> made;  // taken away again when the run is refused
    for (const std::string& folder : folders) {
        std::error_code ec;
        if (fs::create_directories(folder, ec)) {
            made.push_back(folder);
        }
        if (ec) {
            return io.inputError("cannot make the folder " + folder + ": " + ec.message());
        }
    }
    if (const int status = readShared(io, options); status != kToolOk) {
        return status;
    }

    const std::size_t count = runs.size();
    std::vector<Outcome> outcomes(count);
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    auto work = [&] {
        for (std::size_t i = next++; i < count && !stop; i = next++) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                outcomes[i].started = true;
            }
            CapturedStream out, err;
            const bool captured = out.stream() != nullptr && err.stream() != nullptr;
            const int status =
                captured ? command.run(ToolIo(out.stream(), err.stream()), runs[i]) : kToolBadInput;
            const std::lock_guard<std::mutex> lock(mutex);
            outcomes[i].status = status;
            outcomes[i].out = out.take();
            outcomes[i].err = captured ? err.take() : "not enough memory\n";
            outcomes[i].finished = true;
            changed.notify_all();
        }
    };
    const std::size_t threads =
        std::min(count, static_cast<std::size_t>(std::max(settings.jobs, 1)));
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }

    ProgressBar bar(io.err(), count, !settings.quiet, settings.progressAfter);
    std::size_t failed = 0;
    int usageStatus = kToolOk;
    for (std::size_t i = 0; i < count && usageStatus == kToolOk; ++i) {
        Outcome outcome;
        {
            std::unique_lock<std::mutex> lock(mutex);
            while (!outcomes[i].finished) {
                // The file worked on longest is the one shown.
                std::size_t done = 0, current = count;
                for (std::size_t k = 0; k < count; ++k) {
                    done += outcomes[k].finished ? 1 : 0;
                    current = current == count && outcomes[k].started && !outcomes[k].finished
                                  ? k
                                  : current;
                }
                const std::string name = current < count ? options.positional[current] : "";
                lock.unlock();
                bar.update(done, name);
                lock.lock();
                changed.wait_for(lock, std::chrono::milliseconds(100));
            }
            outcome = std::move(outcomes[i]);
        }
        if (!outcome.out.empty() || !outcome.err.empty()) {
            bar.clear();
        }
        if (outcome.status == kToolUsage) {
            // The options are wrong for every input alike: said once, and the run ends.
            std::fputs(outcome.err.c_str(), io.err());
            usageStatus = kToolUsage;
            stop = true;
            break;
        }
        std::fwrite(outcome.out.data(), 1, outcome.out.size(), io.out());
        std::fflush(io.out());
        std::fputs(attributed(options.positional[i], outcome.err).c_str(), io.err());
        failed += outcome.status == kToolOk ? 0 : 1;
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    bar.clear();
    if (usageStatus != kToolOk) {
        for (const std::string& folder : made) {
            std::error_code ec;
            fs::remove(folder, ec);  // only when nothing was written into it
        }
        return usageStatus;
    }
    if (!settings.quiet && (!command.findsFaults || failed > 0)) {
        const std::string summary =
            command.findsFaults
                ? std::to_string(count) + " files, " + std::to_string(failed) + " with findings"
                : std::to_string(count - failed) + " done, " + std::to_string(failed) + " failed";
        std::fprintf(io.err(), "%s: %s\n", command.name, summary.c_str());
    }
    return failed > 0 ? kToolBadInput : kToolOk;
}

}  // namespace tool
