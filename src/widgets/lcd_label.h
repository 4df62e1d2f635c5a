#pragma once

#include "core/code_page.h"
#include "widgets/dot_font.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class Prompts;
class QPainter;

// A dot-matrix LED read-out: every character of the caption is a grid of dots, each in
// the on or the off colour. The label sizes itself from its character count, lines, dot
// size and spacings; when its owner resizes it, it fits as many characters and lines as
// the new size holds instead. Characters are single-byte codes of the program's code page
// (Windows-1252), drawn with the glyph the table has for that code.
//
// Invalid values are refused with an error box through the injected Prompts, and the old
// value stays. A value that would make the label larger than MaxExtent pixels is refused
// without a box. Setting a property to its current value does not repaint.
class TLCDLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(TDotMatrix DotMatrix READ dotMatrix WRITE setDotMatrix)
    Q_PROPERTY(TPixelSize PixelSize READ pixelSize WRITE setPixelSize)
    Q_PROPERTY(int PixelWidth READ pixelWidth WRITE setPixelWidth)
    Q_PROPERTY(int PixelHeight READ pixelHeight WRITE setPixelHeight)
    Q_PROPERTY(TPixelShape PixelShape READ pixelShape WRITE setPixelShape)
    Q_PROPERTY(int PixelSpacing READ pixelSpacing WRITE setPixelSpacing)
    Q_PROPERTY(int CharSpacing READ charSpacing WRITE setCharSpacing)
    Q_PROPERTY(int LineSpacing READ lineSpacing WRITE setLineSpacing)
    Q_PROPERTY(int BorderSpace READ borderSpace WRITE setBorderSpace)
    Q_PROPERTY(int TextLines READ textLines WRITE setTextLines)
    Q_PROPERTY(int NoOfChars READ noOfChars WRITE setNoOfChars)
    Q_PROPERTY(QColor BackGround READ backGround WRITE setBackGround)
    Q_PROPERTY(QColor PixelOn READ pixelOn WRITE setPixelOn)
    Q_PROPERTY(QColor PixelOff READ pixelOff WRITE setPixelOff)
    Q_PROPERTY(TMyBorder BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(QString filename READ filename WRITE setFilename)

public:
    // Only the 5 × 7 tables are built in; CustomFont reads a character table file.
    enum TDotMatrix { mat5x7, dos5x7, CustomFont };
    Q_ENUM(TDotMatrix)
    // clang-format off
    enum TPixelSize {
        pix1x1, pix2x2, pix3x3, pix4x4, pix5x5, pix6x6, pix7x7, pix8x8,
        pix9x9, pix10x10, pix11x11, pix12x12, pix13x13, pix14x14, pix15x15, pix16x16,
        pixCustom
    };
    // clang-format on
    Q_ENUM(TPixelSize)
    enum TPixelShape { spSquare, spShaped, spRound };
    Q_ENUM(TPixelShape)
    enum TMyBorder { frRaised, frLowered, frSingle, frNone };
    Q_ENUM(TMyBorder)

    static constexpr int MaxCaptionLength = 255;
    static constexpr int MaxExtent = 4096;

    explicit TLCDLabel(QWidget* parent = nullptr);
    TLCDLabel(Prompts* prompts, QWidget* parent);
    ~TLCDLabel() override;

    void setPrompts(Prompts* prompts) { prompts_ = prompts; }

    QString caption() const { return codepage::decode(caption_); }
    void setCaption(const QString& text);

    TDotMatrix dotMatrix() const { return dotMatrix_; }
    void setDotMatrix(TDotMatrix matrix);
    QString filename() const { return filename_; }
    void setFilename(const QString& name);

    TPixelSize pixelSize() const { return pixelSize_; }
    void setPixelSize(TPixelSize size);
    int pixelWidth() const { return layout_.dotWidth; }
    void setPixelWidth(int width);
    int pixelHeight() const { return layout_.dotHeight; }
    void setPixelHeight(int height);
    TPixelShape pixelShape() const { return pixelShape_; }
    void setPixelShape(TPixelShape shape);

    int pixelSpacing() const { return layout_.pixelSpacing; }
    void setPixelSpacing(int spacing);
    int charSpacing() const { return layout_.charSpacing; }
    void setCharSpacing(int spacing);
    int lineSpacing() const { return layout_.lineSpacing; }
    void setLineSpacing(int spacing);
    int borderSpace() const { return layout_.borderSpace; }
    void setBorderSpace(int space);
    int textLines() const { return layout_.textLines; }
    void setTextLines(int lines);
    int noOfChars() const { return layout_.noOfChars; }
    void setNoOfChars(int count);

    QColor backGround() const { return backGround_; }
    void setBackGround(const QColor& colour);
    QColor pixelOn() const { return pixelOn_; }
    void setPixelOn(const QColor& colour);
    QColor pixelOff() const { return pixelOff_; }
    void setPixelOff(const QColor& colour);
    TMyBorder borderStyle() const { return borderStyle_; }
    void setBorderStyle(TMyBorder style);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& colour);

    // The picture the label paints, drawn again only after something changed.
    const QImage& image() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Everything the label's size depends on.
    struct Layout {
        int matrixWidth = 5;
        int matrixHeight = 7;
        int dotWidth = 2;
        int dotHeight = 2;
        int pixelSpacing = 1;
        int charSpacing = 2;
        int lineSpacing = 2;
        int borderSpace = 3;
        int textLines = 1;
        int noOfChars = 10;

        qint64 cellWidth() const;
        qint64 cellHeight() const;
        // Width and height in pixels; above MaxExtent when the label would not fit.
        qint64 width() const;
        qint64 height() const;
        bool fits() const;
    };

    bool applyLayout(const Layout& next);
    // Sets one size value, refusing one below `minimum` with `text`.
    void setLayoutValue(int Layout::*field, int value, int minimum, const char* text);
    void applyFont(const DotFont& font, TDotMatrix matrix);
    void fitToOwnerSize(QSize size);
    bool refuse(bool invalid, const char* text);
    void invalidate();
    void renderPicture() const;
    void drawFrame(QPainter& painter) const;

    Prompts* prompts_ = nullptr;
    QByteArray caption_;
    TDotMatrix dotMatrix_ = mat5x7;
    DotFont font_;
    QString filename_;
    TPixelSize pixelSize_ = pix2x2;
    TPixelShape pixelShape_ = spSquare;
    Layout layout_;
    QSize ownSize_;
    QColor backGround_{0xC0, 0xC0, 0xC0};
    QColor pixelOn_{Qt::black};
    QColor pixelOff_{0xAA, 0xAA, 0xAA};
    QColor shaded_{Qt::black};
    TMyBorder borderStyle_ = frLowered;
    QColor borderColor_{Qt::black};

    mutable QImage image_;
    mutable bool dirty_ = true;
};
