#include "Messages.h"

#include <map>
#include <mutex>
#include <string>

namespace msg {

Message Make(unsigned id, long wparam, long lparam)
{
    Message message;
    message.id = id;
    message.wparam = wparam;
    message.lparam = lparam;
    return message;
}

Message WithIndexes(unsigned id, long wparam, IndexList indexes)
{
    Message message = Make(id, wparam);
    message.indexes = std::move(indexes);
    return message;
}

Message WithDrop(ItemDropRequest request)
{
    Message message = Make(kPlaceItems, static_cast<long>(request.entries.size()));
    message.drop = std::move(request);
    return message;
}

long MakeLong(int low, int high)
{
    return static_cast<long>((static_cast<uint32_t>(high & 0xFFFF) << 16) |
                             static_cast<uint32_t>(low & 0xFFFF));
}

int LowWord(long value)
{
    return static_cast<int>(static_cast<uint32_t>(value) & 0xFFFF);
}

int HighWord(long value)
{
    return static_cast<int>((static_cast<uint32_t>(value) >> 16) & 0xFFFF);
}

unsigned RegisterMessage(std::string_view name)
{
    static std::mutex lock;
    static std::map<std::string, unsigned, std::less<>> registered;
    const std::scoped_lock guard(lock);
    if (const auto found = registered.find(name); found != registered.end()) {
        return found->second;
    }
    const unsigned id = 0xC000 + static_cast<unsigned>(registered.size());
    registered.emplace(std::string(name), id);
    return id;
}

} // namespace msg
