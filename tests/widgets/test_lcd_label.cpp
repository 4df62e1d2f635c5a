#include "widgets/lcd_label.h"

#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <climits>
#include <functional>

namespace {

const QColor kOn(255, 255, 255);
const QColor kOff(60, 60, 60);
const QColor kBack(0, 0, 0);

// The read-out as the main window sets it up: dos5x7, no border space, no frame.
void setUpReadout(TLCDLabel& label, int chars, int dot, int spacing) {
    label.setDotMatrix(TLCDLabel::dos5x7);
    label.setBorderStyle(TLCDLabel::frNone);
    label.setBorderSpace(0);
    label.setCharSpacing(2);
    label.setPixelSize(TLCDLabel::TPixelSize(TLCDLabel::pix1x1 + dot - 1));
    label.setPixelSpacing(spacing);
    label.setNoOfChars(chars);
    label.setBackGround(kBack);
    label.setPixelOff(kOff);
    label.setPixelOn(kOn);
}

QString latin1(std::initializer_list<int> codes) {
    QString s;
    for (int c : codes)
        s += QChar(c);
    return s;
}

// The dots of one character cell of a 1 × 1, unspaced label, as "#" and "." rows.
QStringList cellDots(const QImage& image, int cell, const QColor& on = kOn) {
    QStringList rows;
    for (int row = 0; row < 7; ++row) {
        QString line;
        for (int column = 0; column < 5; ++column) {
            const QRgb px = image.pixel(1 + cell * 7 + column, 1 + row);
            line += px == on.rgb() ? '#' : (px == kOff.rgb() ? '.' : '?');
        }
        rows << line;
    }
    return rows;
}

QStringList glyph(const char* shape) {
    return QString::fromLatin1(shape).split('/');
}

} // namespace

// Every size and spacing the read-out uses: 7/12/17 and 11/16/21 pixels per character,
// heights 9/16/23 and 15/22/29, for one character and for 6 to 12.
TEST(LcdLabelGeometry, ReadoutSizesMatchThePixelTable) {
    const int perChar[2][3] = {{7, 12, 17}, {11, 16, 21}};
    const int height[2][3] = {{9, 16, 23}, {15, 22, 29}};
    ScriptedPrompts prompts;
    for (int spacing = 0; spacing <= 1; ++spacing) {
        for (int dot = 1; dot <= 3; ++dot) {
            for (int chars : {1, 6, 7, 8, 9, 10, 11, 12}) {
                TLCDLabel label(&prompts, nullptr);
                setUpReadout(label, chars, dot, spacing);
                const QSize expected(chars * perChar[spacing][dot - 1], height[spacing][dot - 1]);
                EXPECT_EQ(label.size(), expected)
                    << dot << "x" << dot << " spacing " << spacing << " chars " << chars;
                EXPECT_EQ(label.image().size(), expected);
            }
        }
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(LcdLabelGeometry, NineCharactersAtTwoByTwoWithoutSpacingIs108By16) {
    TLCDLabel label;
    setUpReadout(label, 9, 2, 0);
    EXPECT_EQ(label.size(), QSize(108, 16));
}

TEST(LcdLabelGeometry, BorderSpaceAndExtraLinesAddToTheSize) {
    TLCDLabel label; // mat5x7, 2 × 2 dots, spacing 1, border space 3, 10 characters
    EXPECT_EQ(label.size(), QSize(6 + 9 * 2 + 10 * 14 + 2, 6 + 20 + 2));
    label.setTextLines(3);
    EXPECT_EQ(label.height(), 6 + 2 * 2 + 3 * 20 + 2);
}

TEST(LcdLabelGeometry, OwnerResizeFitsCharactersAndLinesIntoTheNewSize) {
    QWidget owner;
    owner.resize(300, 100);
    auto* label = new TLCDLabel(&owner);
    setUpReadout(*label, 9, 2, 0); // cells of 10 × 14 pixels, 2 apart
    owner.show();
    label->resize(150, 40);
    EXPECT_EQ(label->noOfChars(), 12);
    EXPECT_EQ(label->textLines(), 2);
    EXPECT_EQ(label->size(), QSize(144, 32));

    label->resize(3, 3); // smaller than one cell still keeps one of each
    EXPECT_EQ(label->noOfChars(), 1);
    EXPECT_EQ(label->textLines(), 1);
    EXPECT_EQ(label->size(), QSize(12, 16));

    label->resize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); // refused: the label keeps its size
    EXPECT_EQ(label->noOfChars(), 1);
    EXPECT_EQ(label->size(), QSize(12, 16));
}

TEST(LcdLabelGeometry, OwnerResizeOfAHiddenLabelTakesEffectWhenShown) {
    TLCDLabel label;
    setUpReadout(label, 9, 2, 0);
    label.resize(100, 16);
    label.show();
    EXPECT_EQ(label.noOfChars(), 8);
    EXPECT_EQ(label.size(), QSize(96, 16));
}

TEST(LcdLabelGlyphs, ReadoutGlyphsAreDrawnDotForDot) {
    TLCDLabel label;
    setUpReadout(label, 11, 1, 0);
    label.setCaption(latin1({43, 45, 163, 250, 251, 252, 253}) + "0:.=");
    const QImage image = label.image();
    const char* expected[] = {
        "..#../.###./#.#.#/..#../..#../..#../..#..", // + rising arrow
        "..#../..#../..#../..#../#.#.#/.###./..#..", // - falling arrow
        ".###./.#..#/.#.../###../.#.../.#.../#.###", // pound
        "...../...../...../...../...../...../.....", // lights: none
        ".###./.###./.###./...../...../...../.....", // lights: receiving
        "...../...../...../...../.###./.###./.###.", // lights: transmitting
        ".###./.###./.###./...../.###./.###./.###.", // lights: both
        ".###./#...#/#..##/#.#.#/##..#/#...#/.###.", // 0
        "...../.##../.##../...../.##../.##../.....", // :
        "...../...../...../...../...../.##../.##..", // .
        "...../...../#####/...../#####/...../.....", // =
    };
    for (int cell = 0; cell < 11; ++cell)
        EXPECT_EQ(cellDots(image, cell), glyph(expected[cell])) << "cell " << cell;
}

TEST(LcdLabelGlyphs, EveryDos5x7CodeIsDrawableAndTheBlanksAreBlank) {
    TLCDLabel label;
    setUpReadout(label, 16, 1, 0);
    const QStringList blank = glyph("...../...../...../...../...../...../.....");
    int blanks = 0;
    for (int base = 0; base < 256; base += 16) {
        QString caption;
        for (int c = base; c < base + 16; ++c)
            caption += QChar(c == 0 ? 32 : c); // a caption cannot carry code 0 past its end
        label.setCaption(caption);
        const QImage image = label.image();
        for (int cell = 0; cell < 16; ++cell) {
            const QStringList dots = cellDots(image, cell);
            EXPECT_FALSE(dots.join("").contains('?')) << "code " << base + cell;
            blanks += dots == blank;
        }
    }
    // Only the space (twice here), 250 and 255 are blank: every other code shows something.
    EXPECT_EQ(blanks, 4);
}

TEST(LcdLabelCaption, ShortCaptionIsPaddedWithBlankCellsAndLongOneIsCut) {
    TLCDLabel label;
    setUpReadout(label, 6, 1, 0);
    label.setCaption("AB");
    const QImage padded = label.image();
    for (int cell = 2; cell < 6; ++cell)
        EXPECT_EQ(cellDots(padded, cell), glyph("...../...../...../...../...../...../....."));

    label.setCaption("123456");
    const QImage exact = label.image();
    label.setCaption("12345678");
    EXPECT_EQ(label.image(), exact);
    EXPECT_EQ(label.size(), QSize(42, 9));
}

TEST(LcdLabelCaption, CaptionIsSingleByteAndAtMost255Characters) {
    TLCDLabel label;
    label.setCaption(QString(300, 'A'));
    EXPECT_EQ(label.caption().size(), TLCDLabel::MaxCaptionLength);

    label.setCaption(QString::fromUtf8("£1 €2 \U0001F600")); // outside Latin-1: one "?" each
    EXPECT_EQ(label.caption(), QString::fromUtf8("£1 ?2 ?"));
    EXPECT_EQ(label.caption().at(0).unicode(), 163);
}

TEST(LcdLabelCaption, PositionsRunOnFromLineToLine) {
    TLCDLabel label;
    setUpReadout(label, 3, 1, 0);
    label.setTextLines(2);
    label.setLineSpacing(2);
    label.setCaption("ABCDE");
    const QImage image = label.image();
    // Line 2 starts 7 + 2 pixels lower with the fourth character.
    const QImage secondLine = image.copy(0, 9, image.width(), 9);
    TLCDLabel reference;
    setUpReadout(reference, 3, 1, 0);
    reference.setCaption("DE");
    EXPECT_EQ(secondLine, reference.image());
}

TEST(LcdLabelPaint, DisabledLabelShowsOnlyBackgroundAndFrame) {
    TLCDLabel label;
    setUpReadout(label, 4, 2, 1);
    label.setBorderStyle(TLCDLabel::frSingle);
    label.setBorderColor(Qt::red);
    label.setCaption("8888");
    label.setEnabled(false);
    const QImage image = label.image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool edge = x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
            ASSERT_EQ(image.pixel(x, y), edge ? QColor(Qt::red).rgb() : kBack.rgb())
                << x << "," << y;
        }
    }
    label.setEnabled(true);
    EXPECT_EQ(label.image().pixel(2, 2), kOff.rgb()); // top-left dot of "8" is clear
    EXPECT_EQ(label.image().pixel(4, 2), kOn.rgb());
}

TEST(LcdLabelPaint, PixelOnChangeRepaintsTheSetDots) {
    TLCDLabel label;
    setUpReadout(label, 1, 1, 0);
    label.setCaption("0");
    EXPECT_EQ(label.image().pixel(2, 1), kOn.rgb());
    label.setPixelOn(QColor(0, 255, 0));
    EXPECT_EQ(label.image().pixel(2, 1), qRgb(0, 255, 0));
    EXPECT_EQ(label.image().pixel(1, 1), kOff.rgb());
}

TEST(LcdLabelPaint, RepaintsOnlyWhenAPropertyChanges) {
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

    label.setCaption(" NO CALL");
    label.setPixelOn(kOn);
    label.setNoOfChars(9);
    label.setPixelSpacing(0);
    settle();
    EXPECT_EQ(counter.paints, 0);

    label.setPixelOn(QColor(255, 128, 0));
    settle();
    EXPECT_GE(counter.paints, 1);
}

TEST(LcdLabelPaint, RoundAndShapedDotsKeepTheirCorners) {
    TLCDLabel label;
    setUpReadout(label, 1, 4, 0);
    label.setCaption(QString(QChar(219))); // every dot set
    const QPoint centre(1 + 2, 1 + 2), corner(1, 1);
    EXPECT_EQ(label.image().pixel(corner), kOn.rgb());

    label.setPixelShape(TLCDLabel::spRound);
    EXPECT_EQ(label.image().pixel(centre), kOn.rgb());
    EXPECT_EQ(label.image().pixel(corner), kBack.rgb());

    label.setPixelShape(TLCDLabel::spShaped);
    EXPECT_EQ(label.image().pixel(centre), kOn.rgb());
    EXPECT_EQ(label.image().pixel(corner), qRgb(127, 127, 127)); // PixelOn halved
}

TEST(LcdLabelProperties, InvalidValuesAreRefusedWithTheirTextAndTheOldValueStays) {
    struct Case {
        const char* text;
        std::function<void(TLCDLabel&)> set;
        std::function<int(const TLCDLabel&)> get;
    };
    const Case cases[] = {
        {"Pixel spacing can't be less than zero!", [](TLCDLabel& l) { l.setPixelSpacing(-1); },
         [](const TLCDLabel& l) { return l.pixelSpacing(); }},
        {"Character spacing can't be less than zero!", [](TLCDLabel& l) { l.setCharSpacing(-2); },
         [](const TLCDLabel& l) { return l.charSpacing(); }},
        {"Line spacing can't be less than zero!", [](TLCDLabel& l) { l.setLineSpacing(-1); },
         [](const TLCDLabel& l) { return l.lineSpacing(); }},
        {"Border spacing can't be less than zero!", [](TLCDLabel& l) { l.setBorderSpace(-5); },
         [](const TLCDLabel& l) { return l.borderSpace(); }},
        {"Display needs at least on line!", [](TLCDLabel& l) { l.setTextLines(0); },
         [](const TLCDLabel& l) { return l.textLines(); }},
        {"Display needs at least one character!", [](TLCDLabel& l) { l.setNoOfChars(-3); },
         [](const TLCDLabel& l) { return l.noOfChars(); }},
        {"Display pixel width must be 1 or greater!",
         [](TLCDLabel& l) {
             l.setPixelSize(TLCDLabel::pixCustom);
             l.setPixelWidth(0);
         },
         [](const TLCDLabel& l) { return l.pixelWidth(); }},
        {"Display pixel height must be 1 or greate!",
         [](TLCDLabel& l) {
             l.setPixelSize(TLCDLabel::pixCustom);
             l.setPixelHeight(-1);
         },
         [](const TLCDLabel& l) { return l.pixelHeight(); }},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        TLCDLabel label(&prompts, nullptr);
        const int before = c.get(label);
        const QSize size = label.size();
        c.set(label);
        EXPECT_EQ(c.get(label), before) << c.text;
        EXPECT_EQ(label.size(), size) << c.text;
        ASSERT_EQ(prompts.shown.size(), 1) << c.text;
        EXPECT_EQ(prompts.shown[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Error);
        EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::Ok);
    }
}

TEST(LcdLabelProperties, PixelWidthAndHeightOnlyCountForCustomPixelSize) {
    ScriptedPrompts prompts;
    TLCDLabel label(&prompts, nullptr);
    label.setPixelWidth(0);
    label.setPixelHeight(7);
    EXPECT_EQ(label.pixelWidth(), 2);
    EXPECT_EQ(label.pixelHeight(), 2);
    EXPECT_TRUE(prompts.shown.isEmpty());

    setUpReadout(label, 1, 1, 0);
    label.setPixelSize(TLCDLabel::pixCustom);
    label.setPixelWidth(2);
    label.setPixelHeight(3);
    EXPECT_EQ(label.size(), QSize(5 * 2 + 2, 7 * 3 + 2));
}

TEST(LcdLabelProperties, AbsurdlyLargeValuesAreRefusedWithoutCrashing) {
    ScriptedPrompts prompts;
    TLCDLabel label(&prompts, nullptr);
    const QSize size = label.size();
    label.setNoOfChars(INT_MAX);
    label.setTextLines(INT_MAX);
    label.setPixelSpacing(INT_MAX);
    label.setCharSpacing(INT_MAX);
    label.setBorderSpace(INT_MAX / 2);
    label.setPixelSize(TLCDLabel::pixCustom);
    label.setPixelWidth(INT_MAX);
    label.setPixelSize(TLCDLabel::TPixelSize(99));
    label.setDotMatrix(TLCDLabel::TDotMatrix(-4));
    EXPECT_EQ(label.size(), size);
    EXPECT_EQ(label.noOfChars(), 10);
    EXPECT_EQ(label.pixelWidth(), 2);
    EXPECT_EQ(label.image().size(), size);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(LcdLabelTables, DefaultTableHasAPlainPlusAndClampsItsCodes) {
    TLCDLabel label;
    setUpReadout(label, 2, 1, 0);
    label.setDotMatrix(TLCDLabel::mat5x7);
    label.setCaption(latin1({43, 250}));
    const QImage image = label.image();
    EXPECT_EQ(cellDots(image, 0), glyph("...../..#../..#../#####/..#../..#../....."));
    // 250 is past the table's last code 223, the upper half block.
    EXPECT_EQ(cellDots(image, 1), glyph("#####/#####/#####/#####/...../...../....."));
}

namespace {

QByteArray fontFile(qint32 width, qint32 height, qint32 first, qint32 last,
                    const QByteArray& glyphs) {
    QByteArray data(16, '\0');
    const qint32 header[] = {width, height, first, last};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(header[i], data.data() + 4 * i);
    return data + glyphs;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
}

} // namespace

TEST(LcdLabelTables, CustomFontFileSetsTheMatrixAndItsGlyphs) {
    QTemporaryDir dir;
    // 3 × 2 glyphs for "A" (a bar on top) and "B" (a bar below).
    const QString path = writeFile(
        dir, "font.bin", fontFile(3, 2, 65, 66, QByteArray("\1\1\1\0\0\0\0\0\0\1\1\1", 12)));
    TLCDLabel label;
    setUpReadout(label, 3, 1, 0);
    label.setFilename(path);
    EXPECT_EQ(label.dotMatrix(), TLCDLabel::CustomFont);
    EXPECT_EQ(label.size(), QSize(3 * (3 + 2), 2 + 2));
    label.setCaption("ABZ"); // Z is past the last code: drawn as B
    const QImage image = label.image();
    EXPECT_EQ(image.pixel(1, 1), kOn.rgb());
    EXPECT_EQ(image.pixel(1, 2), kOff.rgb());
    EXPECT_EQ(image.pixel(6, 1), kOff.rgb());
    EXPECT_EQ(image.pixel(6, 2), kOn.rgb());
    EXPECT_EQ(image.pixel(11, 2), kOn.rgb());
}

TEST(LcdLabelTables, UnusableCustomFontFilesKeepThePreviousTable) {
    QTemporaryDir dir;
    const QByteArray glyphs(35 * 2, '\1');
    const QString files[] = {
        dir.filePath("missing.bin"),
        writeFile(dir, "empty.bin", {}),
        writeFile(dir, "short-header.bin", fontFile(5, 7, 65, 66, {}).left(10)),
        writeFile(dir, "truncated.bin", fontFile(5, 7, 65, 66, glyphs.left(50))),
        writeFile(dir, "huge.bin", fontFile(1 << 30, 1 << 30, 0, 255, glyphs)),
        writeFile(dir, "negative.bin", fontFile(-5, 7, 65, 66, glyphs)),
        writeFile(dir, "zero.bin", fontFile(0, 7, 65, 66, glyphs)),
        writeFile(dir, "reversed.bin", fontFile(5, 7, 66, 65, glyphs)),
        writeFile(dir, "range.bin", fontFile(5, 7, -1, 300, glyphs)),
    };
    for (const QString& path : files) {
        TLCDLabel label;
        setUpReadout(label, 2, 1, 0);
        label.setCaption("+");
        const QImage before = label.image();
        label.setFilename(path);
        EXPECT_EQ(label.dotMatrix(), TLCDLabel::dos5x7) << path.toStdString();
        EXPECT_EQ(label.image(), before) << path.toStdString();
    }
}

TEST(LcdLabelMouse, MouseEventsReportButtonAndPosition) {
    TLCDLabel label;
    QSignalSpy down(&label, &TLCDLabel::mouseDown);
    QSignalSpy up(&label, &TLCDLabel::mouseUp);
    QTest::mousePress(&label, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 6));
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(7, 8));
    ASSERT_EQ(down.size(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(down[0][2].toInt(), 5);
    EXPECT_EQ(down[0][3].toInt(), 6);
    ASSERT_EQ(up.size(), 1);
    EXPECT_EQ(up[0][2].toInt(), 7);
}

// Renderings for a person to look at, in the build folder's artifacts/.
TEST(LcdLabelArtifacts, SavesReadoutRenderings) {
    const QString folder = qEnvironmentVariable("VORN_BINARY_DIR", QDir::tempPath()) + "/artifacts";
    ASSERT_TRUE(QDir().mkpath(folder));
    struct Shot {
        const char* file;
        QString caption;
        int chars;
        QColor colour;
    };
    const Shot shots[] = {
        {"lcd_no_call.png", " NO CALL", 9, QColor(255, 255, 255)},
        {"lcd_rate_up.png", "+1.20K/s", 9, QColor(192, 192, 192)},
        {"lcd_pound.png", QString(QChar(163)) + "0.12", 9, QColor(255, 255, 128)},
        {"lcd_lights.png", latin1({250, 251, 252, 253}), 4, QColor(0, 255, 0)},
    };
    for (const Shot& shot : shots) {
        TLCDLabel label;
        setUpReadout(label, shot.chars, 3, 1);
        label.setPixelOff(QColor(40, 40, 40)); // the program uses black; grey shows the cells
        label.setPixelOn(shot.colour);
        label.setCaption(shot.caption);
        EXPECT_TRUE(label.image().save(folder + "/" + shot.file)) << shot.file;
    }

    TLCDLabel table;
    setUpReadout(table, 16, 2, 1);
    table.setTextLines(16);
    table.setPixelOff(QColor(40, 40, 40));
    QString all;
    for (int c = 0; c < 256; ++c)
        all += QChar(c == 0 ? 32 : c);
    table.setCaption(all.left(TLCDLabel::MaxCaptionLength));
    EXPECT_TRUE(table.image().save(folder + "/lcd_dos5x7_table.png"));
}
