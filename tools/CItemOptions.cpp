#include "CItemOptions.h"

#include "CBitmap.h"
#include "CDecorationOptions.h"
#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CQuietStderr.h"
#include "CTextItem.h"
#include "CToolError.h"

#include <QColor>
#include <QStringList>

#include <vector>

namespace {

constexpr double kMaxCoordinate = 1e6;

// Comma-separated numbers, between `least` and `most` of them.
std::vector<double> Numbers(const QString& text, const QString& what, int least, int most)
{
    const QStringList parts = text.split(',');
    if (parts.size() < least || parts.size() > most) {
        throw CToolError(QString("%1 needs %2 comma-separated numbers, not '%3'")
                             .arg(what,
                                  least == most ? QString::number(least)
                                                : QString("%1 to %2").arg(least).arg(most),
                                  text));
    }
    std::vector<double> numbers;
    for (const QString& part : parts) {
        numbers.push_back(CToolArguments::ParseNumber(part, what, -kMaxCoordinate, kMaxCoordinate));
    }
    return numbers;
}

// "NAME@X,Y..." split at the last '@'.
std::pair<QString, QString> AtSplit(const QString& text, const QString& option, const char* form)
{
    const qsizetype at = text.lastIndexOf('@');
    if (at <= 0) {
        throw CToolError(QString("%1 needs %2, not '%3'").arg(option, form, text));
    }
    return {text.left(at), text.mid(at + 1)};
}

QColor ParseColour(const QString& text, const QString& what)
{
    const QColor colour(text);
    if (text.size() != 7 || !text.startsWith('#') || !colour.isValid()) {
        throw CToolError(QString("%1 needs a colour #RRGGBB, not '%2'").arg(what, text));
    }
    return colour;
}

QImage LoadPicture(const QString& path, const QString& option)
{
    CQuietStderr quiet;
    CBitmap bitmap = CBitmap::FromFile(path);
    if (bitmap.IsNull()) {
        throw CToolError(QString("%1: cannot read the picture '%2'").arg(option, path));
    }
    return std::move(bitmap.Image());
}

} // namespace

CItemOptions::CItemOptions(CItemCanvas& canvas) : canvas_(canvas) {}

CItem& CItemOptions::LastItem() const
{
    return *canvas_.ItemAt(last_);
}

bool CItemOptions::TakeOption(CToolArguments& arguments)
{
    const QString option = arguments.Peek();
    const auto value = [&] {
        arguments.Take(option);
        return arguments.Take("a value after " + option);
    };
    if (option == "--item") {
        AddItem(value());
    } else if (option == "--text") {
        AddText(value());
    } else if (option == "--move" || option == "--rotate" || option == "--flip") {
        arguments.Take(option);
        TransformLast(option, arguments);
    } else if (option == "--turn") {
        Turn(value());
    } else if (option == "--crop" || option == "--crop-merged") {
        Crop(value(), option == "--crop-merged");
    } else if (option == "--append") {
        Append(value());
    } else if (option == "--merge") {
        arguments.Take(option);
        canvas_.Merge(1, -1, true);
        last_ = 0;
    } else {
        return TakeTextOption(option, arguments);
    }
    return true;
}

void CItemOptions::AddItem(const QString& text)
{
    const auto [file, place] = AtSplit(text, "--item", "FILE@X,Y[,W,H]");
    const std::vector<double> numbers = Numbers(place, "--item", 2, 4);
    if (numbers.size() == 3) {
        throw CToolError("--item needs X,Y or X,Y,W,H");
    }
    const double width = numbers.size() == 4 ? numbers[2] : 0;
    const double height = numbers.size() == 4 ? numbers[3] : 0;
    if (numbers.size() == 4 && (width < 1 || height < 1)) {
        throw CToolError("--item: a width and height of at least 1 are needed");
    }
    const QImage picture = LoadPicture(file, "--item");
    if (canvas_.AddPictureBitmap(picture, numbers[0], numbers[1], width, height, file) == nullptr) {
        throw CToolError(QString("--item: not enough memory for '%1'").arg(file));
    }
    last_ = canvas_.Count() - 1;
}

void CItemOptions::AddText(const QString& value)
{
    const auto [text, place] = AtSplit(value, "--text", "TEXT@X,Y");
    const std::vector<double> numbers = Numbers(place, "--text", 2, 2);
    auto item = std::make_unique<CTextItem>();
    item->SetText(text);
    item->SetScale(float(canvas_.Zoom()));
    textOrigin_ = QPointF(numbers[0], numbers[1]);
    textTurned_ = false;
    item->MakeOutline(textOrigin_);
    canvas_.AddItem(std::move(item));
    last_ = canvas_.Count() - 1;
}

CTextItem& CItemOptions::LastText(const QString& option) const
{
    auto* text = dynamic_cast<CTextItem*>(&LastItem());
    if (text == nullptr) {
        throw CToolError(
            QString("%1 applies to a text item: add one with --text first").arg(option));
    }
    return *text;
}

bool CItemOptions::TakeTextOption(const QString& option, CToolArguments& arguments)
{
    static const QStringList kTextOptions = {"--font",   "--size",      "--bold",
                                             "--italic", "--underline", "--color"};
    if (CDecorationOptions::IsOption(option)) {
        // The decoration turns with the text: it may follow --rotate and --flip.
        CTextItem& text = LastText(option);
        TextDecoration decoration = text.Decoration();
        CDecorationOptions::TakeOption(arguments, decoration);
        text.SetDecoration(decoration);
        return true;
    }
    if (!kTextOptions.contains(option)) {
        return false;
    }
    arguments.Take(option);
    CTextItem* text = &LastText(option);
    if (textTurned_) {
        throw CToolError(
            QString("%1 must come before --rotate and --flip of the text item").arg(option));
    }
    CharFormat format = text->Format();
    if (option == "--font") {
        format.faceName = arguments.Take("a face name after --font");
        if (format.faceName.isEmpty() || format.faceName.size() > 31) {
            throw CToolError("--font needs a face name of 1 to 31 characters");
        }
    } else if (option == "--size") {
        format.height = int(arguments.TakeNumber(option, 1, 1000) * 20);
    } else if (option == "--color") {
        const QColor colour = ParseColour(arguments.Take("a colour after --color"), option);
        format.colour =
            uint32_t(colour.red()) | uint32_t(colour.green()) << 8 | uint32_t(colour.blue()) << 16;
    } else {
        format.effects |= option == "--bold"     ? CharFormat::kBold
                          : option == "--italic" ? CharFormat::kItalic
                                                 : CharFormat::kUnderline;
    }
    text->SetFormat(format);
    text->MakeOutline(textOrigin_);
    return true;
}

void CItemOptions::TransformLast(const QString& option, CToolArguments& arguments)
{
    CItem& item = LastItem();
    if (option == "--move") {
        const std::vector<double> d = Numbers(arguments.Take("DX,DY after --move"), option, 2, 2);
        item.TranslateOutline(d[0], d[1]);
        textOrigin_ += QPointF(d[0], d[1]);
        return;
    }
    textTurned_ = textTurned_ || dynamic_cast<CTextItem*>(&item) != nullptr;
    if (option == "--rotate") {
        item.RotateAboutCentre(arguments.TakeNumber(option, -360, 360));
        return;
    }
    const QString axis = arguments.Take("h or v after --flip");
    if (axis != "h" && axis != "v") {
        throw CToolError(QString("--flip needs h or v, not '%1'").arg(axis));
    }
    item.FlipAboutCentre(axis == "h");
}

void CItemOptions::Turn(const QString& value)
{
    static const std::pair<const char*, RotateFlipType> kTurns[] = {
        {"right", RotateFlipType::Rotate90FlipNone},  {"left", RotateFlipType::Rotate270FlipNone},
        {"180", RotateFlipType::Rotate180FlipNone},   {"mirror-h", RotateFlipType::RotateNoneFlipX},
        {"mirror-v", RotateFlipType::Rotate180FlipX},
    };
    for (const auto& [name, type] : kTurns) {
        if (value == name) {
            canvas_.TurnPicture(type);
            return;
        }
    }
    throw CToolError(
        QString("--turn needs right, left, 180, mirror-h or mirror-v, not '%1'").arg(value));
}

void CItemOptions::Crop(const QString& value, bool merged)
{
    const QString option = merged ? "--crop-merged" : "--crop";
    const std::vector<double> n = Numbers(value, option, 4, 4);
    const QRect rect{int(n[0]), int(n[1]), int(n[2]), int(n[3])};
    const QSizeF size = canvas_.BaseSize();
    if (rect.isEmpty() || !QRect(QPoint(0, 0), size.toSize()).contains(rect) ||
        QRectF(rect) != QRectF(n[0], n[1], n[2], n[3])) {
        throw CToolError(QString("%1 %2 must be a rectangle of whole pixels, not empty, inside "
                                 "the %3x%4 picture")
                             .arg(option, value)
                             .arg(size.width())
                             .arg(size.height()));
    }
    if (merged) {
        canvas_.Merge(1, -1, true);
        last_ = 0;
    }
    canvas_.CropPicture(rect);
}

void CItemOptions::Append(const QString& value)
{
    const QStringList parts = value.split(',');
    static const QStringList kSides = {"above", "below", "left", "right"};
    if (parts.size() < 2 || parts.size() > 5 || !kSides.contains(parts[1])) {
        throw CToolError(QString("--append needs FILE,above|below|left|right[,GAP[,#RRGGBB"
                                 "[,merge]]], not '%1'")
                             .arg(value));
    }
    const int gap =
        parts.size() > 2 ? int(CToolArguments::ParseNumber(parts[2], "--append gap", 0, 10000)) : 0;
    const QColor colour = parts.size() > 3 ? ParseColour(parts[3], "--append") : QColor(Qt::white);
    if (parts.size() > 4 && parts[4] != "merge") {
        throw CToolError(
            QString("--append: the last field may only be 'merge', not '%1'").arg(parts[4]));
    }
    const QImage picture = LoadPicture(parts[0], "--append");
    if (!canvas_.AppendPicture(0, picture, CItemCanvas::Side(kSides.indexOf(parts[1])), gap, colour,
                               parts.size() > 4)) {
        throw CToolError("--append: not enough memory for the joined picture");
    }
}
