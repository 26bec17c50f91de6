// The whole window as a pupil sees and hears it: what grows with its caption,
// the keys, the colours on screen, the pictures of the buttons, high-density
// screens and what a screen reader is told.
#include "windowharness.h"

#include "application.h"
#include "bandcanvas.h"
#include "picturebutton.h"

#include <QAccessible>
#include <QPainter>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;
using mirabolo::test::WindowHarness;

namespace {

// The band under a device pixel row: each band's top edge is rounded down to
// a whole device pixel, so band b starts at floor(b * 2 * height / 512).
int bandAtRow(int row, int deviceHeight)
{
    int band = 0;
    while (band < 255 && (band + 1) * 2 * deviceHeight / 512 <= row)
        ++band;
    return band;
}

QColor bandColour(int band, int red, int green)
{
    return QColor(20 * red, 20 * green, band);
}

int countPixels(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == colour)
                ++count;
        }
    }
    return count;
}

// A picture laid over a plain face, the way a button shows it.
QImage onFace(const QPixmap &picture, const QColor &face)
{
    QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(face);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, picture);
    painter.end();
    return image;
}

// An SVG source drawn at a size in device pixels, then laid over a face.
QImage svgOnFace(const QString &source, const QSize &pixels, const QColor &face)
{
    QImage drawing(pixels, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(Qt::transparent);
    QSvgRenderer renderer(source);
    QPainter painter(&drawing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    return onFace(QPixmap::fromImage(drawing), face);
}

QRect devicePixels(const QRect &rect, qreal ratio)
{
    return QRect((QPointF(rect.topLeft()) * ratio).toPoint(), (QSizeF(rect.size()) * ratio).toSize());
}

// Part of a screenshot as plain device pixels, comparable with `like`.
QImage devicePart(const QImage &shot, const QRect &pixels, const QImage &like)
{
    QImage part = shot.copy(pixels).convertToFormat(like.format());
    part.setDevicePixelRatio(like.devicePixelRatio());
    return part;
}

// Everything an assistive technology can read from one interface.
QStringList spokenTexts(QAccessibleInterface *iface)
{
    QStringList texts;
    for (auto kind :
         {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help, QAccessible::Accelerator})
        texts << iface->text(kind);
    if (QAccessibleTextInterface *text = iface->textInterface())
        texts << text->text(0, text->characterCount());
    if (QAccessibleValueInterface *value = iface->valueInterface())
        texts << value->currentValue().toString();
    if (QAccessibleImageInterface *image = iface->imageInterface())
        texts << image->imageDescription();
    return texts;
}

void walk(QAccessibleInterface *iface, const std::function<void(QAccessibleInterface *)> &visit)
{
    visit(iface);
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface *child = iface->child(i))
            walk(child, visit);
    }
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void nameSizesItsLabel_data();
    void nameSizesItsLabel();
    void keypadDecimalKey_data();
    void keypadDecimalKey();
    void accessKeys_data();
    void accessKeys();
    void screenshot();
    void nextPictureByState_data();
    void nextPictureByState();
    void highDensityScreen();
    void everyControlIsSpoken_data();
    void everyControlIsSpoken();
    void expectedAnswerIsNeverSpoken_data();
    void expectedAnswerIsNeverSpoken();
    void answerVerdictAndScoresAreSpoken();

private:
    // A fresh data directory for each test: no record of an earlier one.
    std::optional<QTemporaryDir> m_data;
};

void TestWindow::init()
{
    m_data.emplace();
    QVERIFY(m_data->isValid());
    qputenv("XDG_DATA_HOME", m_data->path().toLocal8Bit());
}

void TestWindow::nameSizesItsLabel_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("short") << u"Zoe"_s;
    QTest::newRow("long") << u"Massimiliano Bartolomeo Degli Innocenti"_s;
    QTest::newRow("accented") << u"Niccolò Già"_s;
    QTest::newRow("cancelled") << QString();
}

void TestWindow::nameSizesItsLabel()
{
    QFETCH(QString, name);
    WindowHarness h;
    h.open(3, 2, 3, name);
    if (QTest::currentTestFailed())
        return;
    const QLabel *label = h.ui().lblnome1;
    const QFontMetrics metrics(label->font());
    // Left 360 and top 6720 twips stay; the width follows the caption.
    QCOMPARE(label->pos(), QPoint(24, 448));
    QCOMPARE(label->height(), qCeil(QFontMetricsF(label->font()).height()) + 4);
    if (name.isEmpty()) {
        // Only a border and a sliver.
        QVERIFY(label->width() > 4 && label->width() <= 4 + metrics.averageCharWidth());
    } else {
        QVERIFY2(qAbs(label->width() - (metrics.horizontalAdvance(name) + 4)) <= 1,
                 qPrintable(QString::number(label->width())));
        QVERIFY(label->contentsRect().width() >= metrics.tightBoundingRect(name).right());
    }
    // Nothing else moved.
    QCOMPARE(h.ui().Label14->pos(), QPoint(24, 400));
    QCOMPARE(h.ui().Label12->geometry(), QRect(24, 504, 153, 25));
}

void TestWindow::keypadDecimalKey_data()
{
    QTest::addColumn<QLocale>("regional");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    // Keyboard layouts send the keypad's decimal key as a point or a comma.
    QTest::newRow("it_IT, point key") << italian << int(Qt::Key_Period) << u"0,3"_s;
    QTest::newRow("it_IT, comma key") << italian << int(Qt::Key_Comma) << u"0,3"_s;
    QTest::newRow("C, point key") << QLocale::c() << int(Qt::Key_Period) << u"0.3"_s;
    QTest::newRow("C, comma key") << QLocale::c() << int(Qt::Key_Comma) << u"0.3"_s;
}

void TestWindow::keypadDecimalKey()
{
    QFETCH(QLocale, regional);
    QFETCH(int, key);
    QFETCH(QString, typed);
    WindowHarness h;
    h.platform.regional = regional;
    h.open(2, 3, 3); // 3 cl into dl
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(h.ui().Label2->text(), typed);

    QTest::keyClick(h.ui().txtAnswer, Qt::Key_0, Qt::KeypadModifier);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key(key), Qt::KeypadModifier);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_3, Qt::KeypadModifier);
    QCOMPARE(h.ui().txtAnswer->text(), typed);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(h.ui().lblMessage->text(), u"Esatto. Sei proprio ok!!!"_s);
}

void TestWindow::accessKeys_data()
{
    QTest::addColumn<bool>("judged");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("newExercise");
    QTest::addColumn<bool>("ended");
    QTest::newRow("Alt+N awaiting the answer") << false << int(Qt::Key_N) << false << false;
    QTest::newRow("Alt+N after the verdict") << true << int(Qt::Key_N) << true << false;
    QTest::newRow("Alt+X awaiting the answer") << false << int(Qt::Key_X) << false << true;
    QTest::newRow("Alt+X after the verdict") << true << int(Qt::Key_X) << false << true;
}

void TestWindow::accessKeys()
{
    QFETCH(bool, judged);
    QFETCH(int, key);
    QFETCH(bool, newExercise);
    QFETCH(bool, ended);
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    if (judged)
        h.answer(u"30"_s);
    mirabolo::test::scriptExercise(h.random, 2, 3, 3); // would give 0,3
    QSignalSpy nextClicked(h.ui().cmdNext, &QAbstractButton::clicked);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
    // An access key shows its button held down at once and clicks a moment
    // later; a disabled button does neither.
    if (key == Qt::Key_N && !newExercise)
        QVERIFY(!h.ui().cmdNext->isDown());
    if (ended)
        QTRY_COMPARE(h.platform.terminations, 1);
    if (newExercise)
        QTRY_COMPARE(h.ui().Label2->text(), u"0,3"_s);
    QTRY_VERIFY(!h.ui().cmdNext->isDown() && !h.ui().cmdExit->isDown());

    QCOMPARE(nextClicked.count(), newExercise ? 1 : 0);
    QCOMPARE(h.ui().Label2->text(), newExercise ? u"0,3"_s : u"30"_s);
    QCOMPARE(h.random.remaining(), newExercise ? 0 : 5);
    QCOMPARE(h.platform.terminations, ended ? 1 : 0);
}

void TestWindow::screenshot()
{
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    h.answer(u"30"_s);
    h.nextExercise(6, 1, 20, 9, 3); // hl into ml, bands of red 180 and green 60
    QApplication::processEvents();
    const QImage shot = h.ui().canvas->grab().toImage();
    QCOMPARE(shot.size(), QSize(792, 554));

    // The bands: every band's top row, at the left edge, in the free strip
    // between the exercise line and the reference column, and at the right
    // edge.
    for (int band = 0; band < 256; ++band) {
        const int top = band * 2 * 554 / 512;
        for (int x : {0, 700, 791}) {
            const QColor actual = shot.pixelColor(x, top);
            QVERIFY2(actual == bandColour(band, 9, 3),
                     qPrintable(u"band %1 at %2,%3 is %4"_s.arg(band).arg(x).arg(top).arg(actual.name())));
        }
    }
    for (int y = 0; y < 554; y += 37)
        QCOMPARE(shot.pixelColor(3, y), bandColour(bandAtRow(y, 554), 9, 3));

    // Labels marked transparent show the bands through their faces.
    for (const QLabel *label : {h.ui().lblScore, h.ui().Label6, h.ui().lblMessage, h.ui().Label5}) {
        const QPoint inside = label->geometry().topLeft() + QPoint(2, label->height() - 3);
        QCOMPARE(shot.pixelColor(inside), bandColour(bandAtRow(inside.y(), 554), 9, 3));
    }

    // Faces.
    const struct
    {
        const QWidget *widget;
        QPoint offset; // from the control's top left, clear of text and edges
        QColor face;
    } faces[] = {
        {h.ui().Text6, {140, 60}, QColor(192, 255, 192)},     {h.ui().Text3, {95, 60}, QColor(192, 255, 192)},
        {h.ui().txtAnswer, {270, 60}, QColor(192, 255, 255)}, {h.ui().Text4, {95, 60}, QColor(192, 255, 255)},
        {h.ui().Label4, {3, 3}, QColor(128, 255, 255)},       {h.ui().cmdNext, {7, 66}, QColor(0, 192, 192)},
        {h.ui().cmdExit, {7, 66}, QColor(192, 0, 192)},       {h.ui().Shape1_0, {2, 2}, QColor(Qt::white)},
        {h.ui().Text1_2, {2, 2}, QColor(Qt::white)},
    };
    for (const auto &[widget, offset, face] : faces) {
        const QColor actual = shot.pixelColor(widget->pos() + offset);
        QVERIFY2(actual == face, qPrintable(widget->objectName() + u": "_s + actual.name()));
    }

    // The highlighted reference lines: the source's text red, the target's
    // green, the other lines black.
    const QLineEdit *lines[] = {h.ui().Text1_1, h.ui().Text1_2, h.ui().Text1_3,
                                h.ui().Text1_4, h.ui().Text1_5, h.ui().Text1_6};
    for (const QLineEdit *line : lines) {
        const QRect area = line->geometry();
        const int red = countPixels(shot, area, QColor(255, 0, 0));
        const int green = countPixels(shot, area, QColor(0, 255, 0));
        const int black = countPixels(shot, area, QColor(0, 0, 0));
        if (line == h.ui().Text1_1) {
            QVERIFY2(red > 20 && green == 0 && black == 0, qPrintable(line->objectName()));
        } else if (line == h.ui().Text1_6) {
            QVERIFY2(green > 20 && red == 0 && black == 0, qPrintable(line->objectName()));
        } else {
            QVERIFY2(black > 10 && red == 0 && green == 0, qPrintable(line->objectName()));
        }
    }
}

void TestWindow::nextPictureByState_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QString>("picture");
    QTest::newRow("disabled, awaiting the answer") << false << false << u"next-disabled.ico"_s;
    QTest::newRow("normal") << true << false << u"next-normal.ico"_s;
    QTest::newRow("pressed") << true << true << u"next-pressed.ico"_s;
}

void TestWindow::nextPictureByState()
{
    QFETCH(bool, enabled);
    QFETCH(bool, down);
    QFETCH(QString, picture);
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    auto *button = qobject_cast<mirabolo::ui::PictureButton *>(h.ui().cmdNext);
    QVERIFY(button);
    if (enabled)
        h.answer(u"30"_s);
    button->setDown(down);
    QCOMPARE(button->isEnabled(), enabled);
    QCOMPARE(button->shownPicture(), picture);

    const QImage shot = button->grab().toImage();
    const QRect area = button->pictureRect();
    QCOMPARE(area.size(), QSize(32, 32));
    const QImage expected = onFace(QPixmap(u":/artwork/"_s + picture), QColor(0, 192, 192));
    QCOMPARE(devicePart(shot, area, expected), expected);
    // The three pictures differ, so the state is really told apart.
    for (const QString &other : {u"next-normal.ico"_s, u"next-pressed.ico"_s, u"next-disabled.ico"_s}) {
        if (other != picture)
            QVERIFY(onFace(QPixmap(u":/artwork/"_s + other), QColor(0, 192, 192)) != expected);
    }
    button->setDown(false);
}

void TestWindow::highDensityScreen()
{
    // Run by the test test_window_hidpi, under QT_SCALE_FACTOR=2.
    const qreal ratio = qApp->devicePixelRatio();
    if (ratio < 2)
        QSKIP("needs a device pixel ratio of 2 (QT_SCALE_FACTOR=2)");
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    h.answer(u"30"_s);
    h.nextExercise(1, 6, 15, 4, 8);
    QApplication::processEvents();
    QCOMPARE(h.window->devicePixelRatioF(), ratio);

    // The layout is kept in device-independent pixels.
    QCOMPARE(h.ui().canvas->size(), QSize(792, 554));
    QCOMPARE(h.ui().txtAnswer->geometry(), QRect(304, 0, 289, 72));
    QCOMPARE(h.ui().cmdNext->geometry(), QRect(280, 352, 121, 73));
    QCOMPARE(h.ui().Shape1_0->geometry(), QRect(704, 0, 81, 489));
    QCOMPARE(h.ui().Image5->geometry(), QRect(648, 152, 44, 54));
    QCOMPARE(h.ui().lblnome1->pos(), QPoint(24, 448));

    // The bands tile the device pixels.
    const QImage shot = h.ui().canvas->grab().toImage();
    const int deviceHeight = qRound(554 * ratio);
    QCOMPARE(shot.size(), QSize(qRound(792 * ratio), deviceHeight));
    for (int band = 0; band < 256; ++band) {
        const int top = band * 2 * deviceHeight / 512;
        QCOMPARE(shot.pixelColor(1, top), bandColour(band, 4, 8));
    }

    // The pictures are drawn from their sources at the screen's density, not
    // enlarged from the fixed pictures.
    auto *exit = qobject_cast<mirabolo::ui::PictureButton *>(h.ui().cmdExit);
    const QImage exitShot = exit->grab().toImage();
    const QRect exitPicture = devicePixels(exit->pictureRect(), ratio);
    const QImage sharp = svgOnFace(u":/artwork/svg/exit.svg"_s, exitPicture.size(), QColor(192, 0, 192));
    QCOMPARE(devicePart(exitShot, exitPicture, sharp), sharp);
    const QImage enlarged = onFace(QPixmap(u":/artwork/exit.ico"_s).scaled(exitPicture.size()), QColor(192, 0, 192));
    QVERIFY(sharp != enlarged);

    QWidget *tubes = h.ui().Image5;
    const QImage tubesShot = tubes->grab().toImage();
    const QRect tubesArea = devicePixels(tubes->contentsRect(), ratio);
    const QImage tubesSharp = svgOnFace(u":/artwork/svg/tubes.svg"_s, tubesArea.size(), Qt::white);
    QCOMPARE(devicePart(tubesShot, tubesArea, tubesSharp), tubesSharp);

    // And the window's icon offers the source at the sizes the desktop asks.
    const QImage icon = h.window->windowIcon().pixmap(QSize(48, 48)).toImage();
    const QImage iconSharp = svgOnFace(u":/artwork/svg/mirabolo.svg"_s, QSize(96, 96), Qt::transparent);
    QCOMPARE(devicePart(icon, icon.rect(), iconSharp), iconSharp);
}

void TestWindow::everyControlIsSpoken_data()
{
    // What a screen reader announces for each control: its name (a caption
    // or label text is the name itself) and its description.
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    auto row = [](const char *control, const QString &name, const QString &description) {
        QTest::newRow(control) << QString::fromLatin1(control) << name << description;
    };
    row("Text6", u"Quantità"_s, u"Quantità da trasformare"_s);
    row("Text3", u"Unità di partenza"_s, u"Unità in cui è data la quantità"_s);
    row("Text4", u"Unità di arrivo"_s, u"Unità in cui scrivere il risultato"_s);
    row("txtAnswer", u"Risultato"_s, u"Inserisci il risultato e  premi il tasto  Invio"_s);
    row("Text1_1", u"Ettolitro"_s, u"Ettolitro=100 litri"_s);
    row("Text1_2", u"Decalitro"_s, u"Decalitro=10 litri"_s);
    row("Text1_3", u"Litro"_s, u"litro"_s);
    row("Text1_4", u"Decilitro"_s, u"decilitro= 0,1 litri ossia un decimo di litro"_s);
    row("Text1_5", u"Centilitro"_s, u"Centilitro=0,01 litri ossia un centesimo di litro"_s);
    row("Text1_6", u"Millilitro"_s, u"Millilitro=0,001 litri ossia un millesimo di litro"_s);
    row("Text2", u"Casella di servizio"_s, u"Casella nascosta, mai mostrata"_s);
    row("cmdNext", u"Nuovo calcolo"_s, u"Passa al prossimo calcolo"_s);
    row("cmdExit", u"Exit"_s, u"Termina il gioco"_s);
    row("Command1", u"Command1"_s, QString());
    row("Image1", u"Cronometro"_s, u"Clicca sotto di me per impostare il Timer"_s);
    row("Image4_0", u"Faccina sorridente"_s, u"Un altro piccolo sforzo"_s);
    row("Image4_1", u"Faccina sorridente"_s, u"Un altro piccolo sforzo"_s);
    row("Image5", u"Disegno di provette graduate e di un becher"_s, QString());
    row("Image2", u"Fotografia di due cilindri graduati"_s, QString());
    row("Shape1_0", u"Colonna delle unità di misura"_s, QString());
    row("Label4", u"="_s, u"uguale a"_s);
    row("lblMessage", QString(), u"Esito della risposta"_s);
    row("Label5", QString(), u"Riga vuota"_s);
    row("Label11", u"Tempo restante"_s, QString());
    row("lblconto", u"00:15:00"_s, u"Tempo restante"_s);
    row("Label6", u"Risposte esatte"_s, QString());
    row("lblScore", u"0"_s, u"Questo è il tuo punteggio. Forza con il  record"_s);
    row("Label1", u"Risposte errate"_s, QString());
    row("lblScore1", u"0"_s, u"Risposte errate"_s);
    row("Label3", u"Risposte totali"_s, QString());
    row("lblScore2", u"0"_s, u"Risposte totali"_s);
    row("Label14", u"Sfidante"_s, QString());
    row("lblnome1", u"Zoe"_s, u"Nome dello sfidante"_s);
    row("Label12", u"Il record  è di "_s, QString());
    row("lblnome", QString(), u"Nome di chi detiene il record"_s);
    row("Label13", u"con punti"_s, QString());
    row("lblpunti", QString(), u"Punteggio del record"_s);
}

void TestWindow::everyControlIsSpoken()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, description);
    WindowHarness h;
    h.open(3, 2, 3);
    if (QTest::currentTestFailed())
        return;
    auto *widget = h.ui().canvas->findChild<QWidget *>(control, Qt::FindDirectChildrenOnly);
    QVERIFY(widget);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);
    QVERIFY(!(name + description).trimmed().isEmpty());
    // The canvas lists it among the window's parts.
    QAccessibleInterface *canvas = QAccessible::queryAccessibleInterface(h.ui().canvas);
    QVERIFY(canvas->indexOfChild(iface) >= 0);
}

void TestWindow::expectedAnswerIsNeverSpoken_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("expected");
    QTest::newRow("15 ml into hl") << 1 << 6 << 15 << u"0,00015"_s;
    QTest::newRow("20 hl into ml") << 6 << 1 << 20 << u"2000000"_s;
    QTest::newRow("12 l into dal") << 4 << 5 << 12 << u"1,2"_s;
    QTest::newRow("13 dal into cl") << 5 << 2 << 13 << u"13000"_s;
}

void TestWindow::expectedAnswerIsNeverSpoken()
{
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(int, quantity);
    QFETCH(QString, expected);
    WindowHarness h;
    h.open(source, target, quantity);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(h.ui().Label2->text(), expected);

    // Qt lists hidden widgets among the accessible children of their parent,
    // so the hidden Label2 is in the tree: it must carry none of its caption.
    bool sawLabel2 = false;
    bool label2Invisible = false;
    QStringList leaks;
    walk(QAccessible::queryAccessibleInterface(h.window.get()), [&](QAccessibleInterface *iface) {
        if (iface->object() == h.ui().Label2) {
            sawLabel2 = true;
            label2Invisible = iface->state().invisible;
        }
        for (const QString &text : spokenTexts(iface)) {
            if (text.contains(expected))
                leaks << (iface->object() ? iface->object()->objectName() : u"?"_s) + u": "_s + text;
        }
    });
    QVERIFY(sawLabel2);
    QVERIFY(label2Invisible);
    QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join(u"; "_s)));

    // Once judged, the verdict tells the answer, as it does on screen.
    h.answer(u"x"_s);
    QAccessibleInterface *verdict = QAccessible::queryAccessibleInterface(h.ui().lblMessage);
    QCOMPARE(verdict->text(QAccessible::Name), u"Sbagliato!! "_s + expected);
}

void TestWindow::answerVerdictAndScoresAreSpoken()
{
    WindowHarness h;
    h.open(2, 3, 3); // 3 cl into dl
    if (QTest::currentTestFailed())
        return;
    auto spoken = [](QWidget *widget, QAccessible::Text kind = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(widget)->text(kind);
    };

    QTest::keyClicks(h.ui().txtAnswer, u"0,3"_s);
    QAccessibleInterface *answer = QAccessible::queryAccessibleInterface(h.ui().txtAnswer);
    QCOMPARE(answer->text(QAccessible::Value), u"0,3"_s);
    QVERIFY(answer->textInterface());
    QCOMPARE(answer->textInterface()->text(0, answer->textInterface()->characterCount()), u"0,3"_s);
    QTest::keyClick(h.ui().txtAnswer, Qt::Key_Return);
    QCOMPARE(spoken(h.ui().lblMessage), u"Esatto. Sei proprio ok!!!"_s);
    QCOMPARE(spoken(h.ui().lblScore), u"1"_s);
    QCOMPARE(spoken(h.ui().lblScore1), u"0"_s);
    QCOMPARE(spoken(h.ui().lblScore2), u"1"_s);

    h.nextExercise(3, 2, 4); // 4 dl into cl
    QCOMPARE(spoken(h.ui().lblMessage), QString());
    QCOMPARE(spoken(h.ui().txtAnswer, QAccessible::Value), QString());
    QCOMPARE(spoken(h.ui().Text6, QAccessible::Value), u"4"_s);
    QCOMPARE(spoken(h.ui().Text3, QAccessible::Value), u"dl"_s);
    h.answer(u"4"_s);
    QCOMPARE(spoken(h.ui().lblMessage), u"Sbagliato!! 40"_s);
    QCOMPARE(spoken(h.ui().lblScore), u"1"_s);
    QCOMPARE(spoken(h.ui().lblScore1), u"1"_s);
    QCOMPARE(spoken(h.ui().lblScore2), u"2"_s);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    mirabolo::ui::setUpApplication(app);
    TestWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window.moc"
