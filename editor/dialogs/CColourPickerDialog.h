#pragma once

#include "CColourValue.h"

#include <QDialog>

#include <array>

class CColourSpectrum;
class CHoneycomb;
class CLuminanceBar;
class CNumberEdit;
class QLineEdit;
class QTabWidget;

// "색 선택": a honeycomb of standard colours on one page, and on the other a
// hue/saturation spectrum, a luminance bar and six fields (hue, saturation,
// luminance, red, green, blue; each 0 … 255 with spin buttons) with a field
// for the colour as "#RRGGBB". The working colour starts as the caller's
// colour and is returned on OK.
class CColourPickerDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Field
    {
        Hue,
        Saturation,
        Luminance,
        Red,
        Green,
        Blue
    };
    enum Page
    {
        StandardPage = 0,
        CustomPage = 1
    };

    explicit CColourPickerDialog(ColourRef current, QWidget* parent = nullptr);

    ColourRef Colour() const { return working_.Colour(); }
    const CColourValue& Working() const { return working_; }
    ColourRef Current() const { return current_; }

    CNumberEdit* FieldEdit(Field field) const { return fields_[std::size_t(field)]; }
    QLineEdit* HexEdit() const { return hexEdit_; }
    QTabWidget* Pages() const { return pages_; }
    CHoneycomb* Honeycomb() const { return honeycomb_; }
    CColourSpectrum* Spectrum() const { return spectrum_; }
    CLuminanceBar* LuminanceBar() const { return luminanceBar_; }

private:
    QWidget* MakeStandardPage();
    QWidget* MakeCustomPage();
    QWidget* MakeFieldRow(Field field, const QString& label);
    QWidget* MakeHexRow();
    QWidget* MakeSwatchColumn();

    void FieldTyped(Field field);
    void HexTyped();
    void Step(Field field, int delta);
    void ApplyField(Field field, int value);
    int FieldValue(Field field) const;
    // Shows the working colour everywhere except in the field being typed in.
    void Refresh(const QWidget* typing = nullptr);

    ColourRef current_;
    CColourValue working_;
    std::array<CNumberEdit*, 6> fields_{};
    QLineEdit* hexEdit_ = nullptr;
    QTabWidget* pages_ = nullptr;
    CHoneycomb* honeycomb_ = nullptr;
    CColourSpectrum* spectrum_ = nullptr;
    CLuminanceBar* luminanceBar_ = nullptr;
    QWidget* swatch_ = nullptr;
    bool opened_ = false;
};
