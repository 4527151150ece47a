#include "CUnpackBudget.h"

#include "CUnpackRefused.h"

#include <algorithm>
#include <string>
#include <sys/statvfs.h>

namespace fs = std::filesystem;

namespace {

std::string Megabytes(uint64_t bytes)
{
    constexpr uint64_t kMegabyte = 1 << 20;
    return std::to_string((bytes + kMegabyte - 1) / kMegabyte) + " MB";
}

} // namespace

void CUnpackBudget::Check(uint64_t declared, uint64_t packageSize, uint64_t freeBytes)
{
    const uint64_t budget = std::max(packageSize * kRatio, kMinBudget);
    if (declared > budget) {
        throw CUnpackRefused("풀면 " + Megabytes(declared) + "가 되어 이 꾸러미에 허용되는 " +
                             Megabytes(budget) + "를 넘습니다.");
    }
    if (freeBytes < kFreeReserve || declared > freeBytes - kFreeReserve) {
        throw CUnpackRefused("디스크의 남은 공간(" + Megabytes(freeBytes) +
                             ")이 부족합니다: " + Megabytes(declared) + "를 풀고도 " +
                             Megabytes(kFreeReserve) + "가 남아야 합니다.");
    }
}

uint64_t CUnpackBudget::FreeBytes(const fs::path& folder)
{
    fs::path existing = folder.empty() ? fs::path(".") : fs::absolute(folder);
    std::error_code error;
    while (!fs::is_directory(existing, error) && existing.has_relative_path()) {
        existing = existing.parent_path();
    }
    struct statvfs info
    {
    };
    return statvfs(existing.c_str(), &info) == 0 ? uint64_t(info.f_bavail) * info.f_frsize : 0;
}
