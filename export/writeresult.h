// What a writer reports: done, or a message saying what could not be written.
#pragma once

#include <string>
#include <utility>

namespace exporting {

struct WriteResult {
    bool ok = false;
    std::u16string message;  // empty when ok

    static WriteResult Done() { return {true, {}}; }
    static WriteResult Failed(std::u16string why) { return {false, std::move(why)}; }
};

}  // namespace exporting
