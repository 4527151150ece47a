// libFuzzer target for the update information parser: the input is the
// fetched body; it is read and decided on as the updater does, and values
// are extracted with every key and a search position from the input.
// Crashes, sanitizer reports and hangs are faults.

#include "CUpdateInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    UpdateInfo info;
    if (CUpdateInfo::Decide(body, "1.0", info) && info.paths.empty()) {
        __builtin_trap(); // an update is never decided without a path
    }
    for (const char* key : {"VERSION:", "UPDATE_DATE:", "UPDATE_URL:", "UPDATE_PATH:"}) {
        std::string value;
        size_t position = size > 0 ? size_t(data[0]) % (size + 1) : 0;
        while (CUpdateInfo::ExtractValue(body, key, "\r\n", value, &position)) {
            if (position > body.size() || value.size() > body.size()) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
