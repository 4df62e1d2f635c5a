#pragma once

#include "config/options_page.h"

#include <QList>

#include <memory>

namespace Ui {
class ColoursPage;
}
class Dialogs;
class QFrame;

// "Decimal Places and Colours": the places of every kind of figure and the LED colours.
// A colour chosen goes into the edited settings at once, as the swatches show them.
class ColoursPage final : public OptionsPage {
    Q_OBJECT
public:
    ColoursPage(Dialogs& dialogs, typSettings& edited, QWidget* parent = nullptr);
    ~ColoursPage() override;

    void loadSettings(const typSettings& settings) override;

private:
    struct Colour {
        QFrame* swatch;
        qint32 typSettings::*field;
    };
    void chooseColour(const Colour& colour);
    void paintSwatches();

    std::unique_ptr<Ui::ColoursPage> ui;
    Dialogs& dialogs_;
    typSettings& edited_;
    QList<Colour> colours_;
};

// Colours are stored as Windows colour values: red in the low byte, blue in the third.
QColor colourOfSetting(qint32 setting);
qint32 settingOfColour(const QColor& colour);
