#pragma once

#include <chrono>

#include "tools/ToolCommand.h"

// A command over several inputs at once: each input runs as if it were given alone, on up to
// `jobs` threads, its outputs named after it in the folders the output options name
// (stage1.map → OUT/stage1.png). What each run prints reaches the output in the order of the
// inputs, whatever order they finish in, so that the output never depends on the number of
// jobs; each error line is put as "INPUT: message". One failing input does not stop the
// others; the exit status is 1 when any failed.
namespace tool {

struct BatchSettings {
    int jobs = 1;
    bool quiet = false;  // neither progress nor summary
    // The progress bar shows only on a terminal, and only once the run has lasted this long.
    std::chrono::steady_clock::duration progressAfter = std::chrono::seconds(1);
};

// The run of command over options.positional, which names two or more inputs. Refused with
// kToolUsage, before anything is written, when an output option is missing or names a file,
// when two inputs would write the same output, or when an output would replace an input.
int runBatch(const ToolCommand& command, const ToolIo& io, const ToolOptions& options,
             const BatchSettings& settings);

}  // namespace tool
