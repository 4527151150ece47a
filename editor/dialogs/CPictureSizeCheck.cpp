#include "CPictureSizeCheck.h"

#include "Refusal.h"

namespace {

bool SideFits(std::optional<int> side)
{
    return side && *side >= 1 && *side <= CPictureSizeCheck::kMaxSide;
}

} // namespace

bool CPictureSizeCheck::IsAcceptable(std::optional<int> width, std::optional<int> height)
{
    return SideFits(width) && SideFits(height) && qint64(*width) * *height <= kMaxPixels;
}

CPictureSizeCheck::Refused CPictureSizeCheck::Check(QWidget* parent, std::optional<int> width,
                                                    std::optional<int> height)
{
    if (!SideFits(width) || !SideFits(height)) {
        ShowRefusal(parent,
                    QStringLiteral("가로크기와 세로크기는 1 부터 %1 사이의 정수로 입력하십시오.")
                        .arg(kMaxSide));
        return SideFits(width) ? Refused::Height : Refused::Width;
    }
    if (!IsAcceptable(width, height)) {
        ShowRefusal(parent, QStringLiteral("그림이 너무 큽니다. 가로크기 × 세로크기가 6억 화소를 "
                                           "넘지 않도록 입력하십시오."));
        return Refused::Width;
    }
    return Refused::None;
}

void CPictureSizeCheck::ReportNoMemory(QWidget* parent)
{
    ShowRefusal(parent, QStringLiteral("메모리가 부족하여 이 크기의 그림을 만들 수 없습니다. "
                                       "더 작은 크기를 입력하십시오."));
}
