#include "widgets/lcd_label.h"

#include "core/prompts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr char kPixelSpacingNegative[] = "Pixel spacing can't be less than zero!";
constexpr char kCharSpacingNegative[] = "Character spacing can't be less than zero!";
constexpr char kLineSpacingNegative[] = "Line spacing can't be less than zero!";
constexpr char kBorderSpaceNegative[] = "Border spacing can't be less than zero!";
constexpr char kNoTextLines[] = "Display needs at least on line!";
constexpr char kNoCharacters[] = "Display needs at least one character!";
constexpr char kPixelWidthTooSmall[] = "Display pixel width must be 1 or greater!";
constexpr char kPixelHeightTooSmall[] = "Display pixel height must be 1 or greate!";

constexpr qint64 kTooLarge = TLCDLabel::MaxExtent + 1;

// count cells of `cell` pixels with `gap` between them, inside `border` and a one-pixel
// frame on each side. Saturates at kTooLarge so that absurd values cannot overflow.
qint64 extent(qint64 count, qint64 cell, qint64 gap, qint64 border) {
    const qint64 limit = TLCDLabel::MaxExtent;
    if (count > limit || cell > limit || border > limit || (count > 1 && gap > limit))
        return kTooLarge;
    return std::min(kTooLarge, 2 * border + (count - 1) * gap + count * cell + 2);
}

// How many cells an owner-given length holds, at least one.
int cellsIn(int length, int border, int cell, int gap) {
    const qint64 n = (qint64(length) - 2 * qint64(border) + gap) / (qint64(cell) + gap);
    return static_cast<int>(std::clamp<qint64>(n, 1, TLCDLabel::MaxExtent + 1));
}

QColor opaque(const QColor& colour) {
    return QColor::fromRgb(colour.rgb());
}

} // namespace

qint64 TLCDLabel::Layout::cellWidth() const {
    return qint64(matrixWidth) * dotWidth + qint64(matrixWidth - 1) * pixelSpacing;
}

qint64 TLCDLabel::Layout::cellHeight() const {
    return qint64(matrixHeight) * dotHeight + qint64(matrixHeight - 1) * pixelSpacing;
}

qint64 TLCDLabel::Layout::width() const {
    return extent(noOfChars, cellWidth(), charSpacing, borderSpace);
}

qint64 TLCDLabel::Layout::height() const {
    return extent(textLines, cellHeight(), lineSpacing, borderSpace);
}

bool TLCDLabel::Layout::fits() const {
    return width() <= MaxExtent && height() <= MaxExtent;
}

TLCDLabel::TLCDLabel(QWidget* parent) : TLCDLabel(nullptr, parent) {}

TLCDLabel::TLCDLabel(Prompts* prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), font_(mat5x7Font()) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    ownSize_ = sizeHint();
    resize(ownSize_);
}

TLCDLabel::~TLCDLabel() = default;

QSize TLCDLabel::sizeHint() const {
    return {static_cast<int>(layout_.width()), static_cast<int>(layout_.height())};
}

bool TLCDLabel::refuse(bool invalid, const char* text) {
    if (invalid && prompts_)
        prompts_->error(QString::fromLatin1(text));
    return invalid;
}

void TLCDLabel::invalidate() {
    dirty_ = true;
    update();
}

bool TLCDLabel::applyLayout(const Layout& next) {
    if (!next.fits()) {
        qWarning("TLCDLabel: refused a size beyond %d pixels", MaxExtent);
        return false;
    }
    layout_ = next;
    // Recorded before resizing, so that our own resize is not taken for the owner's.
    ownSize_ = sizeHint();
    resize(ownSize_);
    updateGeometry();
    invalidate();
    return true;
}

void TLCDLabel::fitToOwnerSize(QSize size) {
    Layout next = layout_;
    next.noOfChars = cellsIn(size.width(), layout_.borderSpace,
                             static_cast<int>(layout_.cellWidth()), layout_.charSpacing);
    next.textLines = cellsIn(size.height(), layout_.borderSpace,
                             static_cast<int>(layout_.cellHeight()), layout_.lineSpacing);
    if (!applyLayout(next))
        resize(ownSize_);
}

void TLCDLabel::setCaption(const QString& text) {
    const QByteArray bytes = codepage::encode(text, MaxCaptionLength);
    if (bytes == caption_)
        return;
    caption_ = bytes;
    invalidate();
}

void TLCDLabel::applyFont(const DotFont& font, TDotMatrix matrix) {
    Layout next = layout_;
    next.matrixWidth = font.width;
    next.matrixHeight = font.height;
    if (!applyLayout(next))
        return;
    font_ = font;
    dotMatrix_ = matrix;
}

void TLCDLabel::setDotMatrix(TDotMatrix matrix) {
    if (matrix == dotMatrix_)
        return;
    switch (matrix) {
    case mat5x7:
        applyFont(mat5x7Font(), matrix);
        break;
    case dos5x7:
        applyFont(dos5x7Font(), matrix);
        break;
    case CustomFont:
        if (const auto font = loadCustomFont(filename_))
            applyFont(*font, matrix);
        else
            qWarning("TLCDLabel: no usable character table in \"%s\"", qPrintable(filename_));
        break;
    }
}

void TLCDLabel::setFilename(const QString& name) {
    if (name == filename_ && dotMatrix_ == CustomFont)
        return;
    filename_ = name;
    if (const auto font = loadCustomFont(filename_))
        applyFont(*font, CustomFont);
    else
        qWarning("TLCDLabel: no usable character table in \"%s\"", qPrintable(filename_));
}

void TLCDLabel::setPixelSize(TPixelSize size) {
    if (size == pixelSize_ || size < pix1x1 || size > pixCustom)
        return;
    if (size != pixCustom) {
        Layout next = layout_;
        next.dotWidth = next.dotHeight = size - pix1x1 + 1;
        if (!applyLayout(next))
            return;
    }
    pixelSize_ = size;
}

void TLCDLabel::setLayoutValue(int Layout::*field, int value, int minimum, const char* text) {
    if (value == layout_.*field || refuse(value < minimum, text))
        return;
    Layout next = layout_;
    next.*field = value;
    applyLayout(next);
}

void TLCDLabel::setPixelWidth(int width) {
    if (pixelSize_ == pixCustom)
        setLayoutValue(&Layout::dotWidth, width, 1, kPixelWidthTooSmall);
}

void TLCDLabel::setPixelHeight(int height) {
    if (pixelSize_ == pixCustom)
        setLayoutValue(&Layout::dotHeight, height, 1, kPixelHeightTooSmall);
}

void TLCDLabel::setPixelShape(TPixelShape shape) {
    if (shape == pixelShape_ || shape < spSquare || shape > spRound)
        return;
    pixelShape_ = shape;
    invalidate();
}

void TLCDLabel::setPixelSpacing(int spacing) {
    setLayoutValue(&Layout::pixelSpacing, spacing, 0, kPixelSpacingNegative);
}

void TLCDLabel::setCharSpacing(int spacing) {
    setLayoutValue(&Layout::charSpacing, spacing, 0, kCharSpacingNegative);
}

void TLCDLabel::setLineSpacing(int spacing) {
    setLayoutValue(&Layout::lineSpacing, spacing, 0, kLineSpacingNegative);
}

void TLCDLabel::setBorderSpace(int space) {
    setLayoutValue(&Layout::borderSpace, space, 0, kBorderSpaceNegative);
}

void TLCDLabel::setTextLines(int lines) {
    setLayoutValue(&Layout::textLines, lines, 1, kNoTextLines);
}

void TLCDLabel::setNoOfChars(int count) {
    setLayoutValue(&Layout::noOfChars, count, 1, kNoCharacters);
}

void TLCDLabel::setBackGround(const QColor& colour) {
    if (colour.rgb() == backGround_.rgb())
        return;
    backGround_ = opaque(colour);
    invalidate();
}

void TLCDLabel::setPixelOn(const QColor& colour) {
    if (colour.rgb() == pixelOn_.rgb())
        return;
    pixelOn_ = opaque(colour);
    shaded_ = QColor(pixelOn_.red() / 2, pixelOn_.green() / 2, pixelOn_.blue() / 2);
    invalidate();
}

void TLCDLabel::setPixelOff(const QColor& colour) {
    if (colour.rgb() == pixelOff_.rgb())
        return;
    pixelOff_ = opaque(colour);
    invalidate();
}

void TLCDLabel::setBorderStyle(TMyBorder style) {
    if (style == borderStyle_ || style < frRaised || style > frNone)
        return;
    borderStyle_ = style;
    invalidate();
}

void TLCDLabel::setBorderColor(const QColor& colour) {
    if (colour.rgb() == borderColor_.rgb())
        return;
    borderColor_ = opaque(colour);
    if (borderStyle_ == frSingle)
        invalidate();
}

const QImage& TLCDLabel::image() const {
    if (dirty_) {
        renderPicture();
        dirty_ = false;
    }
    return image_;
}

void TLCDLabel::drawFrame(QPainter& painter) const {
    if (borderStyle_ == frNone)
        return;
    const int right = image_.width() - 1;
    const int bottom = image_.height() - 1;
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    QColor edge = borderColor_;
    QColor topLeft = borderColor_;
    if (borderStyle_ == frRaised) {
        edge = dark;
        topLeft = light;
    } else if (borderStyle_ == frLowered) {
        edge = light;
        topLeft = dark;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(edge, 1));
    painter.drawRect(0, 0, right, bottom);
    painter.setPen(QPen(topLeft, 1));
    painter.drawLine(0, bottom - 1, 0, 0);
    painter.drawLine(0, 0, right - 1, 0);
}

void TLCDLabel::renderPicture() const {
    const QSize size = sizeHint();
    if (image_.size() != size)
        image_ = QImage(size, QImage::Format_RGB32);
    QPainter painter(&image_);
    painter.fillRect(image_.rect(), backGround_);
    drawFrame(painter);
    if (!isEnabled())
        return;

    const Layout& l = layout_;
    const int cellWidth = static_cast<int>(l.cellWidth());
    const int cellHeight = static_cast<int>(l.cellHeight());
    const int stepX = l.dotWidth + l.pixelSpacing;
    const int stepY = l.dotHeight + l.pixelSpacing;
    // Ellipses of one or two pixels come out as nothing or as squares; draw squares.
    const bool round = pixelShape_ != spSquare && l.dotWidth > 2 && l.dotHeight > 2;
    painter.setPen(Qt::NoPen);

    qsizetype index = 0;
    int y = l.borderSpace + 1;
    for (int line = 0; line < l.textLines; ++line) {
        int x = l.borderSpace + 1;
        for (int position = 0; position < l.noOfChars; ++position) {
            // Past the caption's end every position shows code 0.
            const int code =
                font_.clampCode(index < caption_.size() ? uchar(caption_.at(index)) : 0);
            ++index;
            for (int row = 0; row < l.matrixHeight; ++row) {
                for (int column = 0; column < l.matrixWidth; ++column) {
                    const QRect dot(x + column * stepX, y + row * stepY, l.dotWidth, l.dotHeight);
                    const bool set = font_.isSet(code, row, column);
                    if (!round || (pixelShape_ == spShaped && !set)) {
                        painter.fillRect(dot, set ? pixelOn_ : pixelOff_);
                        continue;
                    }
                    if (pixelShape_ == spShaped)
                        painter.fillRect(dot, shaded_);
                    painter.setBrush(set ? pixelOn_ : pixelOff_);
                    painter.drawEllipse(dot);
                }
            }
            x += cellWidth + l.charSpacing;
        }
        y += cellHeight + l.lineSpacing;
    }
}

void TLCDLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image());
}

void TLCDLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (size() != ownSize_)
        fitToOwnerSize(size());
}

void TLCDLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        invalidate();
}

void TLCDLabel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Q_EMIT mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TLCDLabel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Q_EMIT mouseMove(event->modifiers(), p.x(), p.y());
}

void TLCDLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Q_EMIT mouseUp(event->button(), event->modifiers(), p.x(), p.y());
}
