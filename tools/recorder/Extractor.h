#pragma once
// "Tolvane ADDRESS -e NAME": writes a recording into the working directory
// at a set rate, so Kelvado can watch the file grow as with the real recorder.

#include "Fault.h"
#include "Recording.h"

#include <cstdint>

namespace recorder {

struct ExtractOptions {
    std::uint64_t bytesPerSecond = 0; // 0: no pacing
    FaultKind fault = FaultKind::None;
    std::uint64_t faultAmount = 0;
};

// Returns normally when the (possibly faulted) transfer ended with exit
// code 0; throws ToolError(1) on I/O errors and when a hang times out.
void extractRecording(const Recording& recording, const ExtractOptions& options);

// True for names that would leave the working directory or cannot be files.
bool isUnsafeFileName(const std::string& name);

} // namespace recorder
