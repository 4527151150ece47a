#include "CContextItems.h"

#include "CommandIds.h"

#include <algorithm>
#include <utility>

namespace {

bool IsItem(long index, long count)
{
    return index >= 1 && index < count;
}

} // namespace

std::optional<uint32_t> CContextItems::First(long count) const
{
    const auto item = std::find_if(indexes_.begin(), indexes_.end(),
                                   [count](uint32_t index) { return IsItem(index, count); });
    return item != indexes_.end() ? std::optional<uint32_t>(*item) : std::nullopt;
}

CContextItems::Request CContextItems::Take(int id, long count)
{
    Request request;
    switch (id) {
    case cmd::kDeleteItem:
        request = Delete();
        break;
    case cmd::kFitToPicture:
        request.message = Fit(count);
        break;
    default:
        request.message = Move(id, count);
        break;
    }
    indexes_.clear();
    return request;
}

CContextItems::Request CContextItems::Delete()
{
    msg::IndexList indexes = indexes_;
    Request request;
    if (std::erase(indexes, 0u) > 0) {
        request.refusal = QStringLiteral("원본이미지는 삭제할 수 없습니다.");
    }
    request.message = msg::WithIndexes(msg::kDeleteItems, 0, std::move(indexes));
    return request;
}

std::optional<msg::Message> CContextItems::Move(int id, long count) const
{
    if (indexes_.empty()) {
        return std::nullopt;
    }
    const long from = indexes_.front();
    long to = 1;
    switch (id) {
    case cmd::kToFront:
        to = count - 1;
        break;
    case cmd::kOneUp:
        to = from + 1;
        break;
    case cmd::kOneDown:
        to = from - 1;
        break;
    default:
        break;
    }
    // Only items move, and only between the base picture and the top.
    if (!IsItem(from, count) || !IsItem(to, count) || from == to) {
        return std::nullopt;
    }
    return msg::WithIndexes(msg::kMoveItem, 0,
                            {static_cast<uint32_t>(from), static_cast<uint32_t>(to)});
}

std::optional<msg::Message> CContextItems::Fit(long count) const
{
    const std::optional<uint32_t> item = First(count);
    if (!item) {
        return std::nullopt;
    }
    return msg::WithIndexes(msg::kFitItem, 0, {*item});
}

msg::Message CContextItems::WithCleanDeleteList(msg::Message message, long count)
{
    if (message.indexes) {
        msg::IndexList& indexes = *message.indexes;
        std::erase_if(indexes, [count](uint32_t index) { return !IsItem(index, count); });
        std::sort(indexes.begin(), indexes.end(), std::greater<>());
        indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    }
    return message;
}
