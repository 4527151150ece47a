#include "CProjectManifest.h"

#include "CBitmap.h"
#include "CPictureItem.h"
#include "CTextItem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxTextLength = CProjectManifest::kMaxTextLength;
constexpr int kMaxFaceLength = 32;
// Twips of the largest size the font bar takes (1638 points).
constexpr int kMaxTextHeight = 1638 * 20;

const QString kPictureKind = QStringLiteral("picture");
const QString kTextKind = QStringLiteral("text");

// A refusal while reading, with the reason in the user's words.
struct Refusal
{
    QString reason;
};

const QString& BadManifest()
{
    static const QString text = QStringLiteral("프로젝트 설명(manifest.json)이 올바르지 않습니다.");
    return text;
}

[[noreturn]] void Refuse(const QString& reason = BadManifest())
{
    throw Refusal{reason};
}

QJsonArray PointArray(const QPointF& point)
{
    return {point.x(), point.y()};
}

QJsonObject EffectsObject(const ItemEffects& effects)
{
    return {{"hue", effects.hue},
            {"saturation", effects.saturation},
            {"brightness", effects.brightness},
            {"contrast", double(effects.contrast)},
            {"gamma", double(effects.gamma)},
            {"sharpenAmount", double(effects.sharpenAmount)},
            {"sharpenRadius", double(effects.sharpenRadius)},
            {"blurRadius", double(effects.blurRadius)},
            {"greyscale", effects.greyscale},
            {"invert", effects.invert},
            {"opacity", effects.opacity}};
}

QJsonObject FormatObject(const CharFormat& format)
{
    return {{"mask", double(format.mask)},
            {"effects", double(format.effects)},
            {"height", format.height},
            {"offset", format.offset},
            {"colour", double(format.colour)},
            {"charSet", format.charSet},
            {"pitchAndFamily", format.pitchAndFamily},
            {"face", format.faceName}};
}

// The parts of a decoration that differ from how they are made (off parts
// keep their settings too); nothing for a plain text.
QJsonObject DecorationObject(const TextDecoration& decoration)
{
    const TextDecoration plain;
    QJsonObject object;
    if (!(decoration.outline == plain.outline)) {
        const TextOutline& outline = decoration.outline;
        object.insert("outline", QJsonObject{{"on", outline.on},
                                             {"colour", double(outline.colour)},
                                             {"width", outline.width}});
    }
    if (!(decoration.shadow == plain.shadow)) {
        const TextShadow& shadow = decoration.shadow;
        object.insert("shadow", QJsonObject{{"on", shadow.on},
                                            {"colour", double(shadow.colour)},
                                            {"dx", shadow.dx},
                                            {"dy", shadow.dy},
                                            {"softness", shadow.softness}});
    }
    if (!(decoration.box == plain.box)) {
        const TextBox& box = decoration.box;
        object.insert("box", QJsonObject{{"on", box.on},
                                         {"colour", double(box.colour)},
                                         {"alpha", box.alpha},
                                         {"padding", box.padding},
                                         {"radius", box.radius}});
    }
    return object;
}

QJsonObject ItemObject(const CItem& item, const QString& bitmapName)
{
    QJsonArray corners;
    for (const QPointF& corner : CProjectManifest::Corners(item)) {
        corners.append(PointArray(corner));
    }
    const QRectF& rect = item.Rect();
    QJsonObject object{{"kind", item.GetKind() == CItem::Text ? kTextKind : kPictureKind},
                       {"label", item.Label()},
                       {"rect", QJsonArray{rect.x(), rect.y(), rect.width(), rect.height()}},
                       {"corners", corners},
                       {"effects", EffectsObject(item.Effects())}};
    if (const auto* picture = dynamic_cast<const CPictureItem*>(&item)) {
        object.insert("source", picture->SourceName());
        object.insert("bitmap", bitmapName);
    } else if (const auto* text = dynamic_cast<const CTextItem*>(&item)) {
        object.insert("text", text->Text());
        object.insert("format", FormatObject(text->Format()));
        if (const QJsonObject decoration = DecorationObject(text->Decoration());
            !decoration.isEmpty()) {
            object.insert("decoration", decoration);
        }
    }
    return object;
}

// ---- reading: every value is checked for its type and range

double Number(const QJsonValue& value, double min, double max)
{
    if (!value.isDouble()) {
        Refuse();
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < min || number > max) {
        Refuse();
    }
    return number;
}

// A field that may be left out (older writers, hand-made files) and then
// keeps its default.
double Optional(const QJsonObject& object, const char* name, double fallback, double min,
                double max)
{
    const QJsonValue value = object.value(QLatin1String(name));
    return value.isUndefined() ? fallback : Number(value, min, max);
}

int Whole(const QJsonObject& object, const char* name, int fallback, double min, double max)
{
    const double number = Optional(object, name, fallback, min, max);
    if (number != std::floor(number)) {
        Refuse();
    }
    return int(number);
}

bool Flag(const QJsonObject& object, const char* name)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isUndefined() && !value.isBool()) {
        Refuse();
    }
    return value.toBool();
}

QString Text(const QJsonObject& object, const char* name, int maxLength)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isUndefined() && !value.isString()) {
        Refuse();
    }
    const QString text = value.toString();
    if (text.size() > maxLength) {
        Refuse();
    }
    return text;
}

double Coordinate(const QJsonValue& value)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()) ||
        std::abs(value.toDouble()) > CProjectManifest::kMaxCoordinate) {
        Refuse(QStringLiteral("항목의 위치나 크기가 올바르지 않습니다."));
    }
    return value.toDouble();
}

std::array<QPointF, 4> ReadCorners(const QJsonValue& value)
{
    const QJsonArray corners = value.toArray();
    if (corners.size() != 4) {
        Refuse();
    }
    std::array<QPointF, 4> points;
    for (qsizetype i = 0; i < 4; ++i) {
        const QJsonArray pair = corners[i].toArray();
        if (pair.size() != 2) {
            Refuse();
        }
        points[size_t(i)] = QPointF(Coordinate(pair[0]), Coordinate(pair[1]));
    }
    return points;
}

QRectF ReadRect(const QJsonValue& value)
{
    const QJsonArray numbers = value.toArray();
    if (numbers.size() != 4) {
        Refuse();
    }
    const QRectF rect(Coordinate(numbers[0]), Coordinate(numbers[1]), Coordinate(numbers[2]),
                      Coordinate(numbers[3]));
    if (rect.width() < 0 || rect.height() < 0) {
        Refuse(QStringLiteral("항목의 위치나 크기가 올바르지 않습니다."));
    }
    return rect;
}

ItemEffects ReadEffects(const QJsonObject& object)
{
    // Generous bounds: every value the panels make, and nothing that would
    // make a filter run for ever (the radii).
    ItemEffects effects;
    effects.hue = Whole(object, "hue", effects.hue, -360, 360);
    effects.saturation = Whole(object, "saturation", effects.saturation, 0, 1000);
    effects.brightness = Whole(object, "brightness", effects.brightness, -1000, 1000);
    effects.contrast = float(Optional(object, "contrast", effects.contrast, 0, 100));
    effects.gamma = float(Optional(object, "gamma", effects.gamma, 0, 100));
    effects.sharpenAmount = float(Optional(object, "sharpenAmount", effects.sharpenAmount, 0, 100));
    effects.sharpenRadius = float(Optional(object, "sharpenRadius", effects.sharpenRadius, 0, 8));
    effects.blurRadius = float(Optional(object, "blurRadius", effects.blurRadius, 0, 8));
    effects.greyscale = Flag(object, "greyscale");
    effects.invert = Flag(object, "invert");
    effects.opacity = Whole(object, "opacity", effects.opacity, 0, 100);
    return effects;
}

CharFormat ReadFormat(const QJsonObject& object)
{
    CharFormat format;
    format.mask = uint32_t(Optional(object, "mask", format.mask, 0, UINT32_MAX));
    format.effects = uint32_t(Optional(object, "effects", format.effects, 0, UINT32_MAX));
    format.height = Whole(object, "height", format.height, 1, kMaxTextHeight);
    format.offset = Whole(object, "offset", format.offset, -kMaxTextHeight, kMaxTextHeight);
    format.colour = uint32_t(Optional(object, "colour", format.colour, 0, 0xFFFFFF));
    format.charSet = uint8_t(Whole(object, "charSet", format.charSet, 0, 255));
    format.pitchAndFamily = uint8_t(Whole(object, "pitchAndFamily", format.pitchAndFamily, 0, 255));
    if (object.contains("face")) {
        format.faceName = Text(object, "face", kMaxFaceLength);
    }
    return format;
}

TextDecoration ReadDecoration(const QJsonObject& object)
{
    TextDecoration decoration;
    TextOutline& outline = decoration.outline;
    const QJsonObject outlineObject = object.value("outline").toObject();
    outline.on = Flag(outlineObject, "on");
    outline.colour = uint32_t(Whole(outlineObject, "colour", int(outline.colour), 0, 0xFFFFFF));
    outline.width = Whole(outlineObject, "width", outline.width, 0, TextOutline::kMaxWidth);

    TextShadow& shadow = decoration.shadow;
    const QJsonObject shadowObject = object.value("shadow").toObject();
    shadow.on = Flag(shadowObject, "on");
    shadow.colour = uint32_t(Whole(shadowObject, "colour", int(shadow.colour), 0, 0xFFFFFF));
    const int offset = TextShadow::kMaxOffset;
    shadow.dx = Whole(shadowObject, "dx", shadow.dx, -offset, offset);
    shadow.dy = Whole(shadowObject, "dy", shadow.dy, -offset, offset);
    shadow.softness = Whole(shadowObject, "softness", shadow.softness, 0, TextShadow::kMaxSoftness);

    TextBox& box = decoration.box;
    const QJsonObject boxObject = object.value("box").toObject();
    box.on = Flag(boxObject, "on");
    box.colour = uint32_t(Whole(boxObject, "colour", int(box.colour), 0, 0xFFFFFF));
    box.alpha = Whole(boxObject, "alpha", box.alpha, 0, 255);
    box.padding = Whole(boxObject, "padding", box.padding, 0, TextBox::kMaxPadding);
    box.radius = Whole(boxObject, "radius", box.radius, 0, TextBox::kMaxRadius);
    return decoration;
}

std::unique_ptr<CItem> ReadItem(const QJsonObject& object, QString& bitmapName)
{
    static const QRegularExpression entryName(QStringLiteral("^bitmaps/[0-9a-f]{64}\\.png$"));
    const QString kind = Text(object, "kind", 16);
    std::unique_ptr<CItem> item;
    if (kind == kPictureKind) {
        auto picture = std::make_unique<CPictureItem>();
        picture->SetSourceName(Text(object, "source", 4096));
        bitmapName = Text(object, "bitmap", 128);
        if (!entryName.match(bitmapName).hasMatch()) {
            Refuse();
        }
        item = std::move(picture);
    } else if (kind == kTextKind) {
        auto text = std::make_unique<CTextItem>();
        text->SetText(Text(object, "text", kMaxTextLength));
        text->SetFormat(ReadFormat(object.value("format").toObject()));
        text->SetDecoration(ReadDecoration(object.value("decoration").toObject()));
        bitmapName.clear();
        item = std::move(text);
    } else {
        Refuse();
    }
    item->SetLabel(Text(object, "label", 4096));
    item->SetEffects(ReadEffects(object.value("effects").toObject()));
    item->SetRect(ReadRect(object.value("rect")));
    CProjectManifest::PlaceByCorners(*item, ReadCorners(object.value("corners")));
    return item;
}

// The text of all text items together stays within its budget; checked
// before any text is laid out into outlines.
void CheckTextBudget(const QJsonArray& items)
{
    qsizetype length = 0;
    for (const QJsonValue& item : items) {
        const QJsonObject object = item.toObject();
        if (object.value("kind").toString() == kTextKind) {
            length += object.value("text").toString().size();
        }
    }
    if (length > kMaxTextLength) {
        Refuse(CProjectManifest::OverBudget() + QLatin1Char('\n') +
               QStringLiteral("글자가 모두 %1자를 넘습니다.").arg(kMaxTextLength));
    }
}

CProjectManifest::Parsed ReadRoot(const QJsonObject& root)
{
    const QJsonValue version = root.value("version");
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != std::floor(version.toDouble())) {
        Refuse();
    }
    if (version.toDouble() > CProjectManifest::kVersion) {
        Refuse(QStringLiteral("더 새로운 버전의 Pixvel에서 저장된 프로젝트입니다."));
    }
    CProjectManifest::Parsed parsed;
    const QJsonArray base = root.value("base").toArray();
    if (base.size() != 2) {
        Refuse();
    }
    parsed.baseSize = QSizeF(Number(base[0], 1, CProjectManifest::kMaxCoordinate),
                             Number(base[1], 1, CProjectManifest::kMaxCoordinate));
    if (parsed.baseSize.width() * parsed.baseSize.height() > double(CBitmap::kMaxDecodePixels)) {
        Refuse(QStringLiteral("그림이 너무 큽니다."));
    }
    parsed.documentPath = Text(root, "document", 4096);
    const QJsonArray items = root.value("items").toArray();
    if (items.size() > CProjectManifest::kMaxItems) {
        Refuse(QStringLiteral("항목이 너무 많습니다 (%1개까지 열 수 있습니다).")
                   .arg(CProjectManifest::kMaxItems));
    }
    CheckTextBudget(items);
    for (const QJsonValue& value : items) {
        QString name;
        parsed.items.push_back(ReadItem(value.toObject(), name));
        parsed.bitmapNames.append(name);
    }
    // The base picture is the first item, and it is a picture.
    if (parsed.items.empty() || parsed.items.front()->GetKind() != CItem::Picture) {
        Refuse();
    }
    return parsed;
}

std::array<QPointF, 4> RectCorners(const QRectF& rect)
{
    return {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()};
}

} // namespace

QString CProjectManifest::OverBudget()
{
    return QStringLiteral("프로젝트 파일을 열 수 없습니다.");
}

QByteArray CProjectManifest::Write(const ProjectContent& content, const QStringList& bitmapNames)
{
    QJsonArray items;
    for (size_t i = 0; i < content.items.size(); ++i) {
        items.append(ItemObject(*content.items[i], bitmapNames.value(qsizetype(i))));
    }
    const bool decorated =
        std::any_of(content.items.begin(), content.items.end(), [](const auto& item) {
            const auto* text = dynamic_cast<const CTextItem*>(item.get());
            return text != nullptr && !(text->Decoration() == TextDecoration());
        });
    QJsonObject root{{"format", "pixvel-project"},
                     {"version", decorated ? kVersion : kPlainVersion},
                     {"base", QJsonArray{content.baseSize.width(), content.baseSize.height()}},
                     {"items", items}};
    if (!content.documentPath.isEmpty()) {
        root.insert("document", content.documentPath);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<CProjectManifest::Parsed> CProjectManifest::Read(const QByteArray& json,
                                                               QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    try {
        if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
            Refuse();
        }
        return ReadRoot(document.object());
    } catch (const Refusal& refusal) {
        if (error != nullptr) {
            *error = refusal.reason;
        }
        return std::nullopt;
    }
}

std::array<QPointF, 4> CProjectManifest::Corners(const CItem& item)
{
    if (const auto* text = dynamic_cast<const CTextItem*>(&item)) {
        const QTransform placement = text->Placement();
        std::array<QPointF, 4> corners = RectCorners(text->Layout().boundingRect());
        for (QPointF& corner : corners) {
            corner = placement.map(corner);
        }
        return corners;
    }
    const QPainterPath& outline = item.Outline();
    if (outline.elementCount() < 4) {
        return RectCorners(item.Rect());
    }
    return {outline.elementAt(0), outline.elementAt(1), outline.elementAt(2), outline.elementAt(3)};
}

void CProjectManifest::PlaceByCorners(CItem& item, const std::array<QPointF, 4>& corners)
{
    if (auto* text = dynamic_cast<CTextItem*>(&item)) {
        text->MakeOutline(QPointF(0, 0));
        const QPainterPath& layout = text->Layout();
        const std::array<QPointF, 4> box = RectCorners(layout.boundingRect());
        const QPointF move = corners[0] - box[0];
        const QTransform placement =
            AffineThrough({box[0], box[1], box[3]}, {corners[0], corners[1], corners[3]})
                .value_or(QTransform::fromTranslate(move.x(), move.y()));
        item.SetOutline(placement.map(layout));
        return;
    }
    QPainterPath outline;
    outline.moveTo(corners[0]);
    outline.lineTo(corners[1]);
    outline.lineTo(corners[2]);
    outline.lineTo(corners[3]);
    outline.closeSubpath();
    item.SetOutline(outline);
}
