#pragma once

#include "core/regional.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <array>

struct typCallCostInformation;
struct typSettings;

// The pure half of the LED display: the texts and colours of each read-out, the order of
// the read-outs, and where the LED window goes. The main window applies them; tests and
// benchmarks call them directly.
namespace display {

// The display modes in the order the changer shows them.
enum Mode : quint8 {
    ModeTime = 0,
    ModeCost = 1,
    ModeCostPerMinute = 2,
    ModeDTR = 3,
    ModeDataTransferred = 4,
    ModeConnectSpeed = 5,
};
inline constexpr int ModeCount = 6;
using EnabledModes = std::array<bool, ModeCount>;

// Which read-outs the user chose to see, by mode.
EnabledModes enabledModes(const typSettings& settings);
// The first chosen mode; the duration when none is chosen.
quint8 firstMode(const EnabledModes& enabled);
// The chosen mode after `mode`, round the circle; the duration when none is chosen, so the
// changer never searches without end.
quint8 nextMode(quint8 mode, const EnabledModes& enabled);

// Settings hold colours as Windows values: red in the low byte, blue in the third.
QColor ledColour(qint32 setting);

// A text and the colour it is shown in.
struct LedText {
    QString text;
    qint32 colour = 0;
};

// Blanks before the text so that it stands in the middle of `characters` cells; a text
// that does not fit is left as it is.
QString centred(const QString& text, int characters);

// "hh:nn:ss" with the locale's separator. The hours run 00 to 23: a call of a day or more
// shows its length modulo one day, as it always has. Below zero counts as zero.
QString durationText(qint64 elapsedSeconds, QChar timeSeparator);

// The regional settings as the LED shows money and sizes with them: the currency symbol
// in its plain form ("￥" as "¥") or, when the LED cannot draw it, the currency's ISO code
// ("zł" as "PLN"); a thousands separator it cannot draw (the narrow no-break space of
// French) as a blank. The other windows keep the real ones.
RegionalSettings ledRegional(const RegionalSettings& regional);

// The running cost with its minimum or maximum period marks and colour.
LedText costText(const typCallCostInformation& cost, const typSettings& settings,
                 const RegionalSettings& regional);

// "+", "-" or "=" and the rate in KB per second: a change of 5 % or less, against a previous
// rate of 1.0 when there was none, shows "=".
QString dtrText(double current, double previous, int decimalPlacesSetting,
                const RegionalSettings& regional);

// The rate in KB per second (1 KB = 1024 bytes) of `bytes` moved in `intervalMs`; 0 for an
// interval that is not positive.
double transferRate(quint64 bytes, qint64 intervalMs);

// The lights glyphs of the LED font.
inline constexpr char16_t LightsIdle = 250;
inline constexpr char16_t LightsReceiving = 251;
inline constexpr char16_t LightsTransmitting = 252;
inline constexpr char16_t LightsBoth = 253;
char16_t lightsGlyph(bool transmitted, bool received);

// Where the LED window goes and when the mouse is near it. Work areas use an exclusive right
// and bottom edge (x + width, y + height), as the corner targets are flush with them.
enum class Corner { TopLeft, TopRight, BottomLeft, BottomRight };
QPoint cornerTarget(Corner corner, const QRect& workArea, const QSize& window);
// The corner farthest from the home position; on a tie the earlier of TL, TR, BL, BR.
Corner farthestCorner(const QPoint& home, const QRect& workArea, const QSize& window);
// The mouse is within the work area's columns, less than 20 pixels beside and less than 15
// pixels above or below a window of `window` size at `topLeft`.
bool isCursorNear(const QPoint& cursor, const QRect& workArea, const QPoint& topLeft,
                  const QSize& window);

} // namespace display
