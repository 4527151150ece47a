#pragma once

#include <QString>

// The names of the undo steps, as the edit menu shows them after
// "실행 취소" and "다시 실행", and the merge ids of the steps that merge.
namespace step {

inline const QString kPlace = QStringLiteral("아이템 추가");
inline const QString kDelete = QStringLiteral("아이템 삭제");
inline const QString kMove = QStringLiteral("아이템 이동");
inline const QString kOrder = QStringLiteral("순서 변경");
inline const QString kText = QStringLiteral("텍스트");
inline const QString kEffects = QStringLiteral("효과 변경");
inline const QString kOpacity = QStringLiteral("투명도 변경");
inline const QString kRotate = QStringLiteral("회전");
inline const QString kMirror = QStringLiteral("대칭");
inline const QString kCrop = QStringLiteral("자르기");
inline const QString kAppend = QStringLiteral("그림 이어붙이기");
inline const QString kFit = QStringLiteral("사진에 맞추기");

// Releases of one slider on one item merge: the id is this plus the
// slider's id.
constexpr int kSliderMergeBase = 1000;
// The opacity slider of the items panel.
constexpr int kOpacitySlider = 1019;

} // namespace step
