#include "widgets/lcd_label.h"

#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <climits>

namespace {
const QColor kOn(255, 255, 255);
const QColor kOff(60, 60, 60);
const QColor kBack(0, 0, 0);

// The read-out as the main window sets it up: dos5x7, no border space, no frame.
void setUpReadout(TLCDLabel& label, int chars, int dot, int spacing) {
    label.setDotMatrix(TLCDLabel::dos5x7);
    label.setBorderStyle(TLCDLabel::frNone);
    label.setBorderSpace(0);
    label.setPixelSize(TLCDLabel::TPixelSize(TLCDLabel::pix1x1 + dot - 1));
    label.setPixelSpacing(spacing);
    label.setNoOfChars(chars);
    label.setBackGround(kBack);
    label.setPixelOff(kOff);
    label.setPixelOn(kOn);
}

// One character cell of a 1 × 1, unspaced label as "#" and "." rows joined by "/".
QString cellDots(const QImage& image, int cell) {
    QStringList rows;
    for (int row = 0; row < 7; ++row) {
        QString line;
        for (int column = 0; column < 5; ++column) {
            const QRgb px = image.pixel(1 + cell * 7 + column, 1 + row);
            line += px == kOn.rgb() ? '#' : (px == kOff.rgb() ? '.' : '?');
        }
        rows << line;
    }
    return rows.join('/');
}

QString writeFontFile(const QTemporaryDir& dir, const QString& name, qint32 width, qint32 height,
                      qint32 first, qint32 last, const QByteArray& glyphs) {
    QByteArray data(16, '\0');
    for (int i = 0; const qint32 value : {width, height, first, last})
        qToLittleEndian(value, data.data() + 4 * i++);
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data + glyphs);
    return file.fileName();
}
} // namespace

// 7/12/17 and 11/16/21 pixels per character, heights 9/16/23 and 15/22/29; an owner's
// resize fits whole characters and lines.
TEST(LcdLabel, ReadoutSizesMatchThePixelTableAndResizeFitsWholeCells) {
    const int perChar[2][3] = {{7, 12, 17}, {11, 16, 21}};
    const int height[2][3] = {{9, 16, 23}, {15, 22, 29}};
    for (int spacing = 0; spacing <= 1; ++spacing)
        for (int dot = 1; dot <= 3; ++dot)
            for (int chars : {1, 6, 9, 12}) {
                TLCDLabel label;
                setUpReadout(label, chars, dot, spacing);
                const QSize expected(chars * perChar[spacing][dot - 1], height[spacing][dot - 1]);
                EXPECT_EQ(label.size(), expected) << dot << " " << spacing << " " << chars;
                EXPECT_EQ(label.image().size(), expected);
            }
    QWidget owner;
    owner.resize(300, 100);
    auto* label = new TLCDLabel(&owner);
    setUpReadout(*label, 9, 2, 0); // cells of 10 × 14 pixels, 2 apart
    label->setBorderSpace(3);
    label->setTextLines(2);
    EXPECT_EQ(label->size(), QSize(108 + 6, 16 + 6 + 2 + 14));
    label->setBorderSpace(0);
    owner.show();
    label->resize(150, 40);
    EXPECT_EQ(label->noOfChars(), 12);
    EXPECT_EQ(label->size(), QSize(144, 32));
    label->resize(3, 3); // smaller than one cell still keeps one of each
    EXPECT_EQ(label->size(), QSize(12, 16));
    label->resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); // refused: the label keeps its size
    EXPECT_EQ(label->size(), QSize(12, 16));
}

TEST(LcdLabel, ReadoutGlyphsAreDrawnDotForDotAndCaptionsAreCutAndConverted) {
    TLCDLabel label;
    setUpReadout(label, 9, 1, 0);
    // Codes 251 and 252: the lights for receiving and for transmitting.
    label.setCaption(QString::fromUtf8("+-£€¢¥") + QChar(0xfb) + QChar(0xfc));
    const char* expected[] = {
        "..#../.###./#.#.#/..#../..#../..#../..#..", // + rising arrow
        "..#../..#../..#../..#../#.#.#/.###./..#..", // - falling arrow
        ".###./.#..#/.#.../###../.#.../.#.../#.###", // pound, Latin-1 163
        "..###/.#.../####./.#.../####./.#.../..###", // euro, Windows-1252 128
        "..#../.###./#.#../#.#../#.#.#/.###./..#..", // cent, Latin-1 162
        "#...#/.#.#./#####/..#../#####/..#../..#..", // yen, Latin-1 165
        ".###./.###./.###./...../...../...../.....", // lights: receiving
        "...../...../...../...../.###./.###./.###.", // lights: transmitting
        "...../...../...../...../...../...../.....", // padding
    };
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(cellDots(label.image(), cell), expected[cell]) << "cell " << cell;

    setUpReadout(label, 6, 1, 0);
    label.setCaption("123456");
    const QImage exact = label.image();
    label.setCaption("12345678");
    EXPECT_EQ(label.image(), exact);
    label.setCaption(QString(300, 'A'));
    EXPECT_EQ(label.caption().size(), TLCDLabel::MaxCaptionLength);
    // Windows-1252, one "?" for each character outside it.
    label.setCaption(QString::fromUtf8("£1 €2 zł \U0001F600"));
    EXPECT_EQ(label.caption(), QString::fromUtf8("£1 €2 z? ?"));
}

TEST(LcdLabel, DisabledRoundAndShapedLabelsPaintOnlyWhatTheyShould) {
    TLCDLabel label;
    setUpReadout(label, 4, 2, 1);
    label.setBorderStyle(TLCDLabel::frSingle);
    label.setBorderColor(Qt::red);
    label.setCaption("8888");
    label.setEnabled(false);
    QSet<QRgb> colours; // no dot of either colour, only background and frame
    for (int y = 0; y < label.height(); ++y)
        for (int x = 0; x < label.width(); ++x)
            colours.insert(label.image().pixel(x, y));
    EXPECT_EQ(colours, QSet<QRgb>({kBack.rgb(), qRgb(255, 0, 0)}));
    label.setEnabled(true);
    EXPECT_EQ(label.image().pixel(4, 2), kOn.rgb()); // second dot of the top row of "8"

    setUpReadout(label, 1, 4, 0);
    label.setCaption(QString::fromLatin1("\xdb")); // every dot set; the first covers (1,1)-(4,4)
    label.setPixelShape(TLCDLabel::spRound);
    EXPECT_EQ(label.image().pixel(3, 3), kOn.rgb());
    EXPECT_EQ(label.image().pixel(1, 1), kBack.rgb());
    label.setPixelShape(TLCDLabel::spShaped);
    EXPECT_EQ(label.image().pixel(1, 1), qRgb(127, 127, 127)); // PixelOn halved
}

TEST(LcdLabel, RepaintsWhenAPropertyChangesAndOnlyThen) {
    TLCDLabel label;
    setUpReadout(label, 9, 2, 0);
    label.setCaption(" NO CALL");
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    label.installEventFilter(&counter);
    const auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    settle();
    counter.paints = 0;
    // The main window sets the same text and colour several times a second.
    label.setCaption(" NO CALL");
    label.setPixelOn(kOn);
    label.setNoOfChars(9);
    settle();
    EXPECT_EQ(counter.paints, 0);
    label.setPixelOn(QColor(255, 128, 0));
    settle();
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(label.image().pixel(13, 1), qRgb(255, 128, 0)); // a set dot of "N"
    EXPECT_EQ(label.image().pixel(3, 1), kOff.rgb());         // the leading blank
}

// Values the label cannot take are refused with their text and the old value stays;
// absurd sizes (the label would outgrow any screen) are refused without a box.
TEST(LcdLabel, InvalidAndAbsurdValuesAreRefusedAndTheOldValueStays) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"PixelSpacing", -1, "Pixel spacing can't be less than zero!"},
        {"CharSpacing", -2, "Character spacing can't be less than zero!"},
        {"LineSpacing", -1, "Line spacing can't be less than zero!"},
        {"BorderSpace", -5, "Border spacing can't be less than zero!"},
        {"TextLines", 0, "Display needs at least on line!"},
        {"NoOfChars", -3, "Display needs at least one character!"},
        {"PixelWidth", 0, "Display pixel width must be 1 or greater!"},
        {"PixelHeight", -1, "Display pixel height must be 1 or greate!"},
        {"NoOfChars", INT_MAX, nullptr},
        {"PixelSpacing", INT_MAX, nullptr},
        {"BorderSpace", INT_MAX / 2, nullptr},
        {"PixelWidth", INT_MAX, nullptr}};
    for (const auto& [property, value, text] : cases) {
        SCOPED_TRACE(property);
        ScriptedPrompts prompts;
        TLCDLabel label(&prompts, nullptr);
        label.setPixelSize(TLCDLabel::pixCustom);
        const QVariant before = label.property(property);
        const QSize size = label.size();
        EXPECT_TRUE(label.setProperty(property, value));
        EXPECT_EQ(label.property(property), before);
        EXPECT_EQ(label.image().size(), size);
        EXPECT_EQ(prompts.texts(), text ? QStringList{text} : QStringList());
        for (const ScriptedPrompts::Shown& shown : prompts.shown)
            EXPECT_EQ(shown.kind, Prompts::Kind::Error);
    }
    ScriptedPrompts prompts; // dot sizes only count with pixCustom
    TLCDLabel label(&prompts, nullptr);
    label.setPixelWidth(0);
    EXPECT_EQ(label.pixelWidth(), 2);
    label.setPixelSize(TLCDLabel::TPixelSize(99)); // no size at all
    EXPECT_EQ(label.pixelSize(), TLCDLabel::pix2x2);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(LcdLabel, CustomFontFilesAreCheckedBeforeUse) {
    QTemporaryDir dir;
    TLCDLabel label;
    setUpReadout(label, 3, 1, 0);
    label.setCaption("ABZ");
    const QImage before = label.image();
    const QByteArray glyphs(35 * 2, '\1');
    for (const QString& path : {dir.filePath("missing.bin"),
                                writeFontFile(dir, "truncated.bin", 5, 7, 65, 66, glyphs.left(50)),
                                writeFontFile(dir, "huge.bin", 1 << 30, 1 << 30, 0, 255, glyphs),
                                writeFontFile(dir, "reversed.bin", 5, 7, 66, 65, glyphs),
                                writeFontFile(dir, "range.bin", 5, 7, -1, 300, glyphs)}) {
        label.setFilename(path);
        EXPECT_EQ(label.dotMatrix(), TLCDLabel::dos5x7) << path.toStdString();
        EXPECT_EQ(label.image(), before) << path.toStdString();
    }
    // 3 × 2 glyphs: "A" a bar on top, "B" a bar below; "Z" is past the last code.
    label.setFilename(
        writeFontFile(dir, "good.bin", 3, 2, 65, 66, QByteArray("\1\1\1\0\0\0\0\0\0\1\1\1", 12)));
    EXPECT_EQ(label.dotMatrix(), TLCDLabel::CustomFont);
    EXPECT_EQ(label.size(), QSize(3 * (3 + 2), 2 + 2));
    EXPECT_EQ(label.image().pixel(1, 1), kOn.rgb());
    EXPECT_EQ(label.image().pixel(6, 1), kOff.rgb());
    EXPECT_EQ(label.image().pixel(11, 2), kOn.rgb());
}
