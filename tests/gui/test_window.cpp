// The whole window as a pupil sees and hears it: access keys, the colours on
// screen, the pictures of the buttons, high-density screens and what a screen
// reader is told.
#include "windowharness.h"

#include "picturebutton.h"

#include <QAccessible>
#include <QPainter>
#include <QSvgRenderer>

using namespace Qt::StringLiterals;
using mirabolo::test::bandColour;
using mirabolo::test::WindowHarness;
using mirabolo::ui::PictureButton;

namespace {

// A picture laid over a plain face, the way a button shows it.
QImage onFace(const QImage &picture, const QColor &face)
{
    QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(face);
    QPainter(&image).drawImage(0, 0, picture);
    return image;
}

// An SVG source drawn at a size in device pixels.
QImage drawSvg(const QString &source, const QSize &pixels)
{
    QImage drawing(pixels, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::transparent);
    QPainter painter(&drawing);
    QSvgRenderer(source).render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    return drawing;
}

// Plain device pixels, comparable with `like`.
QImage asLike(const QImage &image, const QImage &like)
{
    QImage plain = image.convertToFormat(like.format());
    plain.setDevicePixelRatio(like.devicePixelRatio());
    return plain;
}

QImage grabPart(QWidget *widget, const QRect &logical, const QImage &like)
{
    const qreal ratio = widget->devicePixelRatioF();
    const QRect pixels((QPointF(logical.topLeft()) * ratio).toPoint(), (QSizeF(logical.size()) * ratio).toSize());
    return asLike(widget->grab().toImage().copy(pixels), like);
}

// Every text an assistive technology can read anywhere under `iface`.
void collectSpoken(QAccessibleInterface *iface, QStringList &texts)
{
    for (auto kind :
         {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help, QAccessible::Accelerator})
        texts << iface->text(kind);
    if (QAccessibleTextInterface *text = iface->textInterface())
        texts << text->text(0, text->characterCount());
    if (QAccessibleValueInterface *value = iface->valueInterface())
        texts << value->currentValue().toString();
    if (QAccessibleImageInterface *image = iface->imageInterface())
        texts << image->imageDescription();
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface *child = iface->child(i))
            collectSpoken(child, texts);
    }
}

QString spoken(QWidget *widget, QAccessible::Text kind = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(widget)->text(kind);
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void accessKeys_data()
    {
        QTest::addColumn<bool>("judged");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after"); // the expected answer and the terminations
        QTest::newRow("Alt+N awaiting the answer") << false << int(Qt::Key_N) << u"30 0"_s;
        QTest::newRow("Alt+N after the verdict") << true << int(Qt::Key_N) << u"0,3 0"_s;
        QTest::newRow("Alt+X awaiting the answer") << false << int(Qt::Key_X) << u"30 1"_s;
        QTest::newRow("Alt+X after the verdict") << true << int(Qt::Key_X) << u"30 1"_s;
    }

    void accessKeys()
    {
        QFETCH(bool, judged);
        QFETCH(int, key);
        QFETCH(QString, after);
        WindowHarness h;
        QVERIFY(h.open(3, 2, 3));
        if (judged)
            h.answer(u"30"_s);
        mirabolo::test::scriptExercise(h.random, 2, 3, 3); // would give 0,3
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
        // An access key holds its button down at once and clicks it a moment
        // later; the disabled cmdNext does neither.
        QCOMPARE(h.ui().cmdNext->isDown(), key == Qt::Key_N && judged);
        auto state = [&h] { return h.ui().Label2->text() + u' ' + QString::number(h.platform.terminations); };
        QTRY_VERIFY(!h.ui().cmdNext->isDown() && !h.ui().cmdExit->isDown());
        QTRY_COMPARE(state(), after);
    }

    void screenshot()
    {
        WindowHarness h;
        QVERIFY(h.open(3, 2, 3));
        h.answer(u"30"_s);
        h.nextExercise(6, 1, 20, 9, 3); // hl into ml, bands of red 180 and green 60
        QApplication::processEvents();
        const QImage shot = h.ui().canvas->grab().toImage();
        QCOMPARE(shot.size(), QSize(792, 554));

        // Each band's top row at both edges and in the strip between the
        // exercise line and the reference column; a column of samples.
        for (int band = 0; band < 256; ++band) {
            const int top = band * 2 * 554 / 512;
            for (int x : {0, 700, 791})
                QCOMPARE(shot.pixelColor(x, top), QColor(180, 60, band));
        }
        for (int y = 0; y < 554; y += 37)
            QCOMPARE(shot.pixelColor(3, y), bandColour(y, 554, 9, 3));
        // Labels marked transparent show the bands through their faces.
        for (const QLabel *label : {h.ui().lblScore, h.ui().Label6, h.ui().lblMessage, h.ui().Label5}) {
            const QPoint inside = label->geometry().topLeft() + QPoint(2, label->height() - 3);
            QCOMPARE(shot.pixelColor(inside), bandColour(inside.y(), 554, 9, 3));
        }

        // Faces, sampled clear of text and edges.
        const std::tuple<const QWidget *, QPoint, QColor> faces[] = {
            {h.ui().Text6, {140, 60}, QColor(192, 255, 192)},     {h.ui().Text3, {95, 60}, QColor(192, 255, 192)},
            {h.ui().txtAnswer, {270, 60}, QColor(192, 255, 255)}, {h.ui().Text4, {95, 60}, QColor(192, 255, 255)},
            {h.ui().Label4, {3, 3}, QColor(128, 255, 255)},       {h.ui().cmdNext, {7, 66}, QColor(0, 192, 192)},
            {h.ui().cmdExit, {7, 66}, QColor(192, 0, 192)},       {h.ui().Shape1_0, {2, 2}, QColor(Qt::white)},
            {h.ui().Text1_2, {2, 2}, QColor(Qt::white)},
        };
        for (const auto &[widget, offset, face] : faces)
            QVERIFY2(shot.pixelColor(widget->pos() + offset) == face, qPrintable(widget->objectName()));

        // The source line's text is red, the target's green, the others black.
        auto inks = [&shot](const QWidget *line) {
            QHash<QRgb, int> count;
            for (int y = line->y(); y < line->y() + line->height(); ++y) {
                for (int x = line->x(); x < line->x() + line->width(); ++x)
                    ++count[shot.pixel(x, y) & 0xffffff];
            }
            auto grade = [](int n, int plenty, char many) { return n > plenty ? many : n > 0 ? '?' : '-'; };
            return std::tuple(grade(count[0xff0000], 20, 'R'), grade(count[0x00ff00], 20, 'G'),
                              grade(count[0], 10, 'B'));
        };
        QCOMPARE(inks(h.ui().Text1_1), std::tuple('R', '-', '-'));
        QCOMPARE(inks(h.ui().Text1_6), std::tuple('-', 'G', '-'));
        for (const QWidget *line : {h.ui().Text1_2, h.ui().Text1_3, h.ui().Text1_4, h.ui().Text1_5})
            QCOMPARE(inks(line), std::tuple('-', '-', 'B'));
    }

    void nextPictureByState_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QString>("picture");
        QTest::newRow("disabled, awaiting the answer") << false << false << u"next-disabled.ico"_s;
        QTest::newRow("normal") << true << false << u"next-normal.ico"_s;
        QTest::newRow("pressed") << true << true << u"next-pressed.ico"_s;
    }

    void nextPictureByState()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, down);
        QFETCH(QString, picture);
        WindowHarness h;
        QVERIFY(h.open(3, 2, 3));
        auto *button = qobject_cast<PictureButton *>(h.ui().cmdNext);
        QVERIFY(button);
        if (enabled)
            h.answer(u"30"_s);
        button->setDown(down);
        QCOMPARE(button->isEnabled(), enabled);
        QCOMPARE(button->shownPicture(), picture);
        QCOMPARE(button->pictureRect().size(), QSize(32, 32));
        const QImage expected = onFace(QImage(u":/artwork/"_s + picture), QColor(0, 192, 192));
        QCOMPARE(grabPart(button, button->pictureRect(), expected), expected);
        button->setDown(false);
    }

    void highDensityScreen()
    {
        // Run by the test test_window_hidpi, under QT_SCALE_FACTOR=2.
        const qreal ratio = qApp->devicePixelRatio();
        if (ratio < 2)
            QSKIP("needs a device pixel ratio of 2 (QT_SCALE_FACTOR=2)");
        WindowHarness h;
        QVERIFY(h.open(3, 2, 3));
        h.answer(u"30"_s);
        h.nextExercise(1, 6, 15, 4, 8);
        QApplication::processEvents();
        QCOMPARE(h.window()->devicePixelRatioF(), ratio);

        // The layout is kept in device-independent pixels.
        QCOMPARE(h.ui().canvas->size(), QSize(792, 554));
        QCOMPARE(h.ui().txtAnswer->geometry(), QRect(304, 0, 289, 72));
        QCOMPARE(h.ui().Image5->geometry(), QRect(648, 152, 44, 54));
        QCOMPARE(h.ui().lblnome1->pos(), QPoint(24, 448));

        // The bands tile the device pixels.
        const QImage shot = h.ui().canvas->grab().toImage();
        const int deviceHeight = qRound(554 * ratio);
        QCOMPARE(shot.size(), QSize(qRound(792 * ratio), deviceHeight));
        for (int band = 0; band < 256; ++band)
            QCOMPARE(shot.pixelColor(1, band * 2 * deviceHeight / 512), QColor(80, 160, band));

        // The pictures are drawn from their sources at the screen's density,
        // not enlarged from the fixed pictures.
        auto *exit = qobject_cast<PictureButton *>(h.ui().cmdExit);
        const QSize exitPixels = exit->pictureRect().size() * ratio;
        const QImage sharp = onFace(drawSvg(u":/artwork/svg/exit.svg"_s, exitPixels), QColor(192, 0, 192));
        QCOMPARE(grabPart(exit, exit->pictureRect(), sharp), sharp);
        QVERIFY(sharp != onFace(QImage(u":/artwork/exit.ico"_s).scaled(exitPixels), QColor(192, 0, 192)));
        QWidget *tubes = h.ui().Image5;
        const QImage tubesSharp =
            onFace(drawSvg(u":/artwork/svg/tubes.svg"_s, tubes->contentsRect().size() * ratio), Qt::white);
        QCOMPARE(grabPart(tubes, tubes->contentsRect(), tubesSharp), tubesSharp);
        // The window's icon offers the source at the sizes the desktop asks.
        const QImage icon = h.window()->windowIcon().pixmap(QSize(48, 48)).toImage();
        const QImage iconSharp = onFace(drawSvg(u":/artwork/svg/mirabolo.svg"_s, QSize(96, 96)), Qt::transparent);
        QCOMPARE(asLike(icon, iconSharp), iconSharp);
    }

    void spokenTexts_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("typed");
        QTest::newRow("15 ml into hl, wrong") << 1 << 6 << 15 << u"0,00015"_s << u"0,0015"_s;
        QTest::newRow("20 hl into ml, right") << 6 << 1 << 20 << u"2000000"_s << u"2000000"_s;
        QTest::newRow("12 l into dal, right") << 4 << 5 << 12 << u"1,2"_s << u"1,2"_s;
    }

    void spokenTexts()
    {
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(int, quantity);
        QFETCH(QString, expected);
        QFETCH(QString, typed);
        WindowHarness h;
        QVERIFY(h.open(source, target, quantity));
        QCOMPARE(h.ui().Label2->text(), expected);

        // Qt lists hidden widgets among the accessible children of their
        // parent, so the hidden Label2 is in the tree: none of its caption may be.
        QAccessibleInterface *hidden = QAccessible::queryAccessibleInterface(h.ui().Label2);
        QVERIFY(hidden->state().invisible);
        QVERIFY(QAccessible::queryAccessibleInterface(h.ui().canvas)->indexOfChild(hidden) >= 0);
        QStringList texts;
        collectSpoken(QAccessible::queryAccessibleInterface(h.window()), texts);
        QVERIFY2(texts.filter(expected).isEmpty(), qPrintable(texts.filter(expected).join(u"; "_s)));

        // The answer box, the verdict and the scores are read as they are shown.
        QTest::keyClicks(h.ui().txtAnswer, typed);
        QCOMPARE(spoken(h.ui().txtAnswer, QAccessible::Value), typed);
        QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(h.ui().txtAnswer)->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), typed);
        QTest::keyClick(h.ui().txtAnswer, Qt::Key_Return);
        const bool right = typed == expected;
        QCOMPARE(spoken(h.ui().lblMessage), right ? u"Esatto. Sei proprio ok!!!"_s : u"Sbagliato!! "_s + expected);
        QCOMPARE(spoken(h.ui().lblScore), right ? u"1"_s : u"0"_s);
        QCOMPARE(spoken(h.ui().lblScore1), right ? u"0"_s : u"1"_s);
        QCOMPARE(spoken(h.ui().lblScore2), u"1"_s);

        h.nextExercise(3, 2, 4); // 4 dl into cl
        QCOMPARE(spoken(h.ui().lblMessage), QString());
        QCOMPARE(spoken(h.ui().txtAnswer, QAccessible::Value), QString());
        QCOMPARE(spoken(h.ui().Text6, QAccessible::Value), u"4"_s);
        QCOMPARE(spoken(h.ui().Text3, QAccessible::Value), u"dl"_s);
    }
};

MIRABOLO_GUI_TEST_MAIN(TestWindow)

#include "test_window.moc"
