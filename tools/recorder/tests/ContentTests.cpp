// RecordingContent.h: random access must agree with sequential generation.

#include "RecordingContent.h"
#include "TestSupport.h"

#include <set>
#include <vector>

using namespace rectest;

RECORDER_TEST(content_function)
{
    const std::string name = "1070683200.mpg";
    std::vector<char> whole(4096);
    recorder::recordingBytes(name, 0, whole.data(), whole.size());

    // Any offset and length, aligned or not, gives the same bytes.
    for (std::size_t offset : {0u, 1u, 7u, 8u, 9u, 13u, 100u, 1023u, 2048u})
        for (std::size_t n : {0u, 1u, 3u, 7u, 8u, 9u, 17u, 64u, 1000u}) {
            std::vector<char> part(n + 2, '\x5a');
            recorder::recordingBytes(name, offset, part.data() + 1, n);
            bool same = true;
            for (std::size_t i = 0; i < n; ++i)
                same = same && part[1 + i] == whole[offset + i];
            if (!CHECK(same))
                reportFailure(__FILE__, __LINE__, "offset " + std::to_string(offset) + " length " + std::to_string(n));
            // Nothing is written outside [out, out + n).
            CHECK(part[0] == '\x5a' && part[n + 1] == '\x5a');
        }

    // Deterministic across calls.
    std::vector<char> again(4096);
    recorder::recordingBytes(name, 0, again.data(), again.size());
    CHECK(again == whole);

    // Another recording has different content.
    std::vector<char> other(4096);
    recorder::recordingBytes("1070683201.mpg", 0, other.data(), other.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < whole.size(); ++i)
        differing += whole[i] != other[i];
    CHECK(differing > 3500);

    // Varied bytes, no short period: a broken mixer shows up here.
    std::vector<char> big(1 << 16);
    recorder::recordingBytes(name, 1ull << 32, big.data(), big.size());
    std::set<unsigned char> values(big.begin(), big.end());
    CHECK_EQ(values.size(), 256u);
    CHECK(!std::equal(whole.begin(), whole.begin() + 8, whole.begin() + 8));
}
