#pragma once

#include "CItem.h"
#include "TextDecoration.h"

#include <QFont>

#include <cstdint>

// The character format of a text item, with the fields of the rich-edit
// format record the text dialog fills in.
struct CharFormat
{
    static constexpr uint32_t kBold = 1;
    static constexpr uint32_t kItalic = 2;
    static constexpr uint32_t kUnderline = 4;
    // Mask bits of the fields beside the style bits (which mask themselves).
    static constexpr uint32_t kFaceMask = 0x20000000;
    static constexpr uint32_t kColourMask = 0x40000000;
    static constexpr uint32_t kSizeMask = 0x80000000;

    uint32_t size = 60;   // size of the record
    uint32_t mask = 0;    // which fields are valid
    uint32_t effects = 0; // kBold, kItalic, kUnderline
    int32_t height = 240; // twips (1/20 point); one point is one pixel here
    int32_t offset = 0;   // baseline offset, twips
    uint32_t colour = 0;  // 0x00BBGGRR
    uint8_t charSet = 1;  // default character set
    uint8_t pitchAndFamily = 0;
    QString faceName = "굴림"; // up to 32 characters

    bool operator==(const CharFormat&) const = default;
};

// Text on the picture, drawn as its filled glyph outline in the format's
// colour at the item's opacity, over its decoration (outline, shadow, box).
class CTextItem : public CItem
{
public:
    CTextItem() : CItem(CItem::Text) {}

    std::unique_ptr<CItem> Duplicate() const override;
    void Draw(QPainter& painter) const override;
    // Inside the bounds of the outline: left and top inclusive, right and
    // bottom exclusive.
    bool HitTest(double x, double y) const override;
    QRectF DrawnBounds() const override;

    const QString& Text() const { return text_; }
    void SetText(const QString& text) { text_ = text; }
    const CharFormat& Format() const { return format_; }
    void SetFormat(const CharFormat& format) { format_ = format; }
    const TextDecoration& Decoration() const { return decoration_; }
    void SetDecoration(const TextDecoration& decoration) { decoration_ = decoration; }
    // Rebuilds the outline from the text and format with the top-left of the
    // text's layout box at `origin`, or, with keepPlace, at the top-left of
    // the current outline's bounds.
    void MakeOutline(const QPointF& origin, bool keepPlace = false);
    // The glyph outline of the last MakeOutline with the top-left of its
    // layout box at (0, 0), and that box: as wide as the widest line, one
    // line spacing per line.
    const QPainterPath& Layout() const { return layout_; }
    const QRectF& LayoutBox() const { return layoutBox_; }
    // The transform that took the layout to the outline (moves, turns,
    // mirrors, scales and shears since); a plain move when the outline is no
    // transform of the layout.
    QTransform Placement() const;
    // The text's first line that is not blank, trimmed and cut to
    // kNameLength characters: what the item lists show for it.
    QString Name() const;
    static constexpr int kNameLength = 20;
    // The font of the format: face, pixel size twips × 0.05, style bits.
    QFont Font() const;
    static QFont FontFor(const CharFormat& format);
    // The fill colour: the format's colour at alpha opacity × 255 × 0.01, truncated.
    QColor FillColour() const;

private:
    QString text_;
    CharFormat format_;
    TextDecoration decoration_;
    QPainterPath layout_;
    QRectF layoutBox_;
};
