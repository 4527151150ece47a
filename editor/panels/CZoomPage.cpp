#include "CZoomPage.h"

#include "CMessageReceiver.h"
#include "CPageHeaderButton.h"
#include "CValueSlider.h"

#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <cmath>

CZoomPage::CZoomPage(CMessageReceiver* mainWindow, QWidget* parent)
    : CPanelPage(QStringLiteral("줌인/줌아웃"), false, parent), mainWindow_(mainWindow),
      text_(new QLineEdit(this)), minus_(AddButton(QStringLiteral("-"), QStringLiteral("줌아웃"),
                                                   QRect(49, 40, 13, 13), &ZoomOutStep)),
      slider_(new CValueSlider(kSlider, this)),
      plus_(AddButton(QStringLiteral("+"), QStringLiteral("줌인"), QRect(177, 40, 13, 13),
                      &ZoomInStep))
{
    Place(text_, QRect(10, 40, 35, 13), QStringLiteral("줌"));
    text_->setFrame(false);
    connect(text_, &QLineEdit::returnPressed, this, [this] {
        zoom_ = ParseZoomText(text_->text());
        Apply(true);
    });
    Place(slider_, QRect(65, 40, 109, 13), QStringLiteral("줌인/줌아웃"));
    slider_->setObjectName(QString::number(kSlider));
    slider_->SetRange(kMinimum, kMaximum);
    slider_->SetMarker(100);
    auto follow = [this](int, int position) {
        zoom_ = position;
        Apply(false);
    };
    connect(slider_, &CValueSlider::Moved, this, follow);
    connect(slider_, &CValueSlider::Set, this, follow);
    ShowZoom(zoom_);
}

QToolButton* CZoomPage::AddButton(const QString& text, const QString& name, const QRect& place,
                                  int (*step)(int))
{
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setFocusPolicy(Qt::StrongFocus);
    Place(button, place, name);
    connect(button, &QToolButton::clicked, this, [this, step] {
        zoom_ = step(zoom_);
        Apply(true);
    });
    return button;
}

int CZoomPage::ZoomOutStep(int zoom)
{
    if (zoom <= kMinimum) {
        return zoom;
    }
    if (zoom <= 100) {
        zoom -= zoom % 25 != 0 ? zoom % 25 : 25;
    } else if (zoom <= 200) {
        zoom = 100;
    } else {
        zoom = std::min(zoom - (zoom % 100 != 0 ? zoom % 100 : 100), kMaximum);
    }
    return std::max(zoom, kMinimum);
}

int CZoomPage::ZoomInStep(int zoom)
{
    if (zoom >= kMaximum) {
        return zoom;
    }
    if (zoom < 100) {
        return zoom - zoom % 25 + 25;
    }
    return std::min(zoom + 100 - zoom % 100, kMaximum);
}

int CZoomPage::ParseZoomText(const QString& text)
{
    QString number = text.trimmed();
    if (number.endsWith(QLatin1Char('%'))) {
        number.chop(1);
        number = number.trimmed();
    }
    // An optional sign, then the run of digits.
    qsizetype end = number.startsWith(QLatin1Char('-')) || number.startsWith(QLatin1Char('+'));
    const qsizetype first = end;
    while (end < number.size() && number[end] >= QLatin1Char('0') &&
           number[end] <= QLatin1Char('9')) {
        ++end;
    }
    const bool negative = number.startsWith(QLatin1Char('-'));
    // Runs longer than an int holds lie far outside the range anyway.
    int value = end - first > 6 ? kMaximum : number.mid(first, end - first).toInt();
    if (negative) {
        value = -value;
    }
    return std::clamp(value, kMinimum, kMaximum);
}

void CZoomPage::ShowZoom(int percent)
{
    zoom_ = percent;
    text_->setText(QStringLiteral("%1%").arg(zoom_));
    slider_->SetPosition(zoom_);
}

void CZoomPage::ShowZoomFactor(double factor)
{
    // A hair above the product, so that 0.29 shows 29 % and not 28 %.
    ShowZoom(int(std::floor(factor * 100 + 1e-6)));
}

void CZoomPage::Apply(bool moveSlider)
{
    text_->setText(QStringLiteral("%1%").arg(zoom_));
    if (moveSlider) {
        slider_->SetPosition(zoom_);
    }
    if (mainWindow_ != nullptr) {
        mainWindow_->Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, zoom_));
    }
}
