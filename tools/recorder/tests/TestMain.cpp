// Runs one named case (as CTest does) or, without a name, all of them.

#include "TestSupport.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: recorder_tests BIN_DIR [CASE]\n";
        return 2;
    }
    // Children chdir before exec, so a relative folder would not resolve.
    rectest::binDir() = std::filesystem::absolute(argv[1]);
    const std::string only = argc == 3 ? argv[2] : "";
    int ran = 0;
    for (const auto& test : rectest::registeredTests()) {
        if (!only.empty() && test.name != only)
            continue;
        ++ran;
        const int before = rectest::failureCount();
        try {
            test.function();
        } catch (const rectest::RequireFailed&) {
        } catch (const std::exception& e) {
            rectest::reportFailure(__FILE__, __LINE__, std::string("exception: ") + e.what());
        }
        std::cout << (rectest::failureCount() == before ? "PASS " : "FAIL ") << test.name << std::endl;
    }
    if (ran == 0) {
        std::cerr << "no such case: " << only << '\n';
        return 2;
    }
    return rectest::failureCount() == 0 ? 0 : 1;
}
