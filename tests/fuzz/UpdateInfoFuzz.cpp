// libFuzzer target for the update information parser: the input is the
// fetched body; it is read and decided on as the updater does, values are
// extracted with every key and a search position from the input, and the
// input is checked as the information file's signature and as a public key.
// Crashes, sanitizer reports and hangs are faults.

#include "CMinisign.h"
#include "CUpdateInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    UpdateInfo info;
    if (CUpdateInfo::Decide(body, "1.0", info) &&
        (info.paths.empty() || info.hashes.size() != info.paths.size())) {
        __builtin_trap(); // an update has paths, each with its hash or none
    }
    for (const std::string& hash : info.hashes) {
        if (!hash.empty() && hash.size() != 64) {
            __builtin_trap();
        }
    }
    for (const char* key :
         {"VERSION:", "UPDATE_DATE:", "UPDATE_URL:", "UPDATE_PATH:", "UPDATE_SHA256:"}) {
        std::string value;
        size_t position = size > 0 ? size_t(data[0]) % (size + 1) : 0;
        while (CUpdateInfo::ExtractValue(body, key, "\r\n", value, &position)) {
            if (position > body.size() || value.size() > body.size()) {
                __builtin_trap();
            }
        }
    }
    // A forged signature never passes, whatever its form.
    const MinisignKey key;
    if (CMinisign::Verify(body, body, key) == SignatureCheck::Valid) {
        __builtin_trap();
    }
    CMinisign::KeyLineOfFile(body);
    return 0;
}
