// The run folder that "make data" prepares beside the test programs (build/run/), with the
// bundled phrasebook's files; empty when it has not been prepared.
#pragma once

#include <filesystem>
#include <system_error>

namespace testing_support {

inline std::filesystem::path BundledRunFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const std::filesystem::path run = exe.parent_path().parent_path() / "run";
    if (!std::filesystem::exists(run / "data.dat", error) ||
        !std::filesystem::exists(run / "MapEngSpec.data", error))
        return {};
    return run;
}

}  // namespace testing_support
