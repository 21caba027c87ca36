#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace recorder {

struct Recording {
    std::string title;
    std::string quality;  // "Standard", "Medium" or "High"
    std::string date;     // MM/DD/YYYY
    std::string time;     // HH:MM:SS
    std::string fileName; // name on the recorder, e.g. 1070683200.mpg
    std::uint32_t durationMinutes = 0;
    std::uint64_t sizeBytes = 0;
};

using Catalog = std::vector<Recording>;

// Exact match on the recorder file name; nullptr when absent.
const Recording* findRecording(const Catalog& catalog, const std::string& fileName);

} // namespace recorder
