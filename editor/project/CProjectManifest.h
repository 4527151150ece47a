#pragma once

#include "ProjectContent.h"

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class CItem;

// The manifest of a project package (manifest.json): format version, base
// size and the items bottom to top with kind, source name, label, placement,
// outline corners, effects, and a text item's text and character format; a
// picture item names its bitmap entry. Outlines are kept as four corners in
// picture pixels; a text item's glyph outline is laid out again from its
// text and placed by those corners. Version 2 adds a text item's decoration
// (outline, shadow, box).
class CProjectManifest
{
public:
    // The newest version this program reads. A project is written with the
    // oldest version that holds it: 1 unless a text item is decorated, so
    // older programs still open what they can show.
    static constexpr int kVersion = 2;
    static constexpr int kPlainVersion = 1;
    static constexpr int kMaxItems = 10000;
    // No coordinate of a sane picture comes near this many pixels.
    static constexpr double kMaxCoordinate = 1e6;
    // The characters of all text items together.
    static constexpr int kMaxTextLength = 100000;

    // The reason given for a project beyond one of its budgets.
    static QString OverBudget();

    // The manifest of `content`; `bitmapNames` gives each picture item's
    // entry name, in item order (empty for text items).
    static QByteArray Write(const ProjectContent& content, const QStringList& bitmapNames);

    // What a manifest asks for, checked but without bitmaps yet.
    struct Parsed
    {
        QSizeF baseSize;
        QString documentPath;
        std::vector<std::unique_ptr<CItem>> items;
        QStringList bitmapNames; // per item; empty for text items
    };
    // Parses and checks a manifest; on refusal `error` holds the reason in
    // the user's words.
    static std::optional<Parsed> Read(const QByteArray& json, QString* error);

    // The corners of an item's outline: its own four for a picture item; for
    // a text item, the box of its text laid out afresh, carried by the
    // transform that took that layout to the outline.
    static std::array<QPointF, 4> Corners(const CItem& item);
    // Places an item by its corners (the inverse of Corners).
    static void PlaceByCorners(CItem& item, const std::array<QPointF, 4>& corners);
};
