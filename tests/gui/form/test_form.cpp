// The form against the window's description, kept as data in controls.tsv,
// one row per control: a control that moves, changes a text, a font, a colour,
// a picture, what it tells a screen reader, or its place in the stacking or
// tab order makes its row fail.
#include "application.h"
#include "form.h"
#include "ui_tavola.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One row of controls.tsv, read by the column names of its header.
struct Control
{
    QHash<QString, QString> fields;

    QString operator[](const char *column) const { return fields.value(QLatin1String(column)); }
    int pixels(const char *column) const { return qRound((*this)[column].toInt() / 15.0); }
    QRect place() const { return QRect(pixels("left"), pixels("top"), pixels("width"), pixels("height")); }
    bool has(const char *flag) const { return (*this)["flags"].split(u' ').contains(QLatin1String(flag)); }
    // Labels, images and the shape: drawn on the window's own surface.
    bool labelLike() const { return (*this)["kind"].endsWith(u"Label"_s) || (*this)["kind"] == u"QFrame"_s; }
};

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

    QList<Control> controls;
    std::unique_ptr<QMainWindow> window;
    Ui::Tavola ui{};

    void checkColour(QWidget *widget, QPalette::ColorRole role, const QString &expected)
    {
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const QColor actual = widget->palette().color(group, role);
            const QColor wanted = expected.isEmpty() ? ui.canvas->palette().color(group, role) : QColor(expected);
            QVERIFY2(actual == wanted, qPrintable(u"role %1 group %2: %3"_s.arg(role).arg(group).arg(actual.name())));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QFile file(QFINDTESTDATA("controls.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QTextStream in(&file);
        QStringList header;
        for (QString line; in.readLineInto(&line);) {
            const QStringList fields = line.replace(u"\\r"_s, u"\r"_s).replace(u"\\n"_s, u"\n"_s).split(u'\t');
            if (line.startsWith(u'#')) {
                header = fields; // the last comment line names the columns
                header[0].remove(0, 1);
                continue;
            }
            QVERIFY2(fields.size() == header.size(), qPrintable(line));
            Control control;
            for (qsizetype i = 0; i < fields.size(); ++i)
                control.fields.insert(header[i], fields[i]);
            controls.append(control);
        }
        QVERIFY(!controls.isEmpty());
    }

    void init()
    {
        window = std::make_unique<QMainWindow>();
        ui.setupUi(window.get());
        mirabolo::ui::finishForm(window.get(), ui);
    }

    void cleanup() { window.reset(); }

    void theWindow()
    {
        QCOMPARE(window->objectName(), u"Tavola"_s);
        QCOMPARE(window->windowTitle(), u"Gioca con le brunaste"_s);
        QCOMPARE(ui.canvas->font().family(), u"MS Sans Serif"_s);
        QCOMPARE(ui.canvas->font().pointSizeF(), 8.0);
        QCOMPARE(window->windowIcon().pixmap(QSize(32, 32)).toImage(),
                 QIcon(u":/artwork/mirabolo.ico"_s).pixmap(QSize(32, 32)).toImage());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->resize(1000, 800); // the client area below the menu bar never changes
        QCOMPARE(ui.canvas->geometry(), QRect(0, window->menuBar()->height(), 792, 554));
        QCOMPARE(window->size(), QSize(792, 554 + window->menuBar()->height()));
    }

    void controlsMatchTheDescription_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < controls.size(); ++row)
            QTest::newRow(qPrintable(controls[row]["name"])) << row;
    }

    void controlsMatchTheDescription()
    {
        QFETCH(int, row);
        const Control &c = controls.at(row);
        auto *widget = ui.canvas->findChild<QWidget *>(c["name"], Qt::FindDirectChildrenOnly);
        QVERIFY(widget);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), c["kind"]);
        QCOMPARE(widget->pos(), c.place().topLeft());
        // The description's sizes are those of the original font; a label that
        // sizes itself takes the size of its caption in the font it has.
        QCOMPARE(widget->size(), c.has("AutoSize") ? widget->sizeHint() : c.place().size());
        if (c.has("OriginalSize")) { // the stand-in for MS Sans Serif keeps the proportions
            QCOMPARE(QFontInfo(widget->font()).family(), u"Liberation Sans"_s);
            QVERIFY2(qAbs(widget->width() - c.place().width()) <= 3 && qAbs(widget->height() - c.place().height()) <= 2,
                     qPrintable(u"%1x%2"_s.arg(widget->width()).arg(widget->height())));
        }

        const QString shown =
            widget->property(qobject_cast<QPlainTextEdit *>(widget) ? "plainText" : "text").toString();
        // A text box keeps paragraphs, not the characters that ended the lines.
        QCOMPARE(shown, c["text"].replace(u"\r\n"_s, u"\n"_s));

        const QFont font = widget->font();
        if (c["family"].isEmpty()) {
            QVERIFY(!widget->testAttribute(Qt::WA_SetFont));
            QCOMPARE(font, ui.canvas->font());
        } else {
            QCOMPARE(font.family(), c["family"]);
            QCOMPARE(font.pointSizeF(), c["points"].toDouble());
            QCOMPARE(font.weight(), c["style"].contains(u"bold"_s) ? QFont::Bold : QFont::Normal);
            QCOMPARE(font.italic(), c["style"].contains(u"italic"_s));
        }

        auto *button = qobject_cast<QAbstractButton *>(widget);
        using P = QPalette;
        const auto [textRole, faceRole] = c.labelLike() ? std::pair(P::WindowText, P::Window)
            : button                                    ? std::pair(P::ButtonText, P::Button)
                                                        : std::pair(P::Text, P::Base);
        checkColour(widget, textRole, c["textColour"]);
        if (c["faceColour"] == u"face"_s) {
            QCOMPARE(widget->backgroundRole(), P::Base);
            checkColour(widget, P::Base, {});
        } else {
            checkColour(widget, faceRole, c["faceColour"]);
        }

        QCOMPARE(widget->isHidden(), c.has("Hidden"));
        QCOMPARE(widget->isEnabled(), !c.has("Disabled"));
        QCOMPARE(widget->toolTip(), c["toolTip"]);
        QCOMPARE(widget->cursor().shape() == Qt::PointingHandCursor, c.has("Pointer"));
        QCOMPARE(widget->property("autoSize").toBool(), c.has("AutoSize"));
        QVERIFY(c.labelLike() ? widget->focusPolicy() == Qt::NoFocus : bool(widget->focusPolicy() & Qt::TabFocus));

        const Qt::Alignment across = c.has("Centred") ? Qt::AlignHCenter : Qt::AlignLeft;
        if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            QCOMPARE(edit->hasFrame(), c.has("Border"));
            QCOMPARE(edit->alignment() & Qt::AlignHorizontal_Mask, across);
            QCOMPARE(edit->maxLength(), c["maxLength"].isEmpty() ? QLineEdit().maxLength() : c["maxLength"].toInt());
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
            QCOMPARE(plain->frameShape() != QFrame::NoFrame, c.has("Border"));
            QVERIFY(plain->tabChangesFocus() && plain->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
                    plain->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
        } else if (button && !c["picture"].isEmpty()) {
            QCOMPARE(button->iconSize(), QSize(32, 32));
            QCOMPARE(button->icon().pixmap(QSize(32, 32)).toImage(),
                     QIcon(c["picture"]).pixmap(QSize(32, 32)).toImage());
        } else if (auto *frame = qobject_cast<QFrame *>(widget); frame && c.labelLike()) {
            QCOMPARE(frame->autoFillBackground(), c.has("Opaque"));
            QCOMPARE(frame->frameShape(), c.has("Border") ? QFrame::Box : QFrame::NoFrame);
            if (c.has("Border"))
                QVERIFY(frame->frameShadow() == QFrame::Plain && frame->lineWidth() == 1);
            auto *label = qobject_cast<QLabel *>(widget);
            if (label && !c["picture"].isEmpty()) {
                QCOMPARE(label->hasScaledContents(), c.has("Stretched"));
                QCOMPARE(label->pixmap().toImage(), QPixmap(c["picture"]).toImage());
            } else if (label) { // a caption; a pupil's name must never be read as markup
                QCOMPARE(label->textFormat(), Qt::PlainText);
                QCOMPARE(label->alignment(), across | Qt::AlignTop);
                QVERIFY(!label->wordWrap() && !label->hasScaledContents());
            }
        }

        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(spoken->text(QAccessible::Name), c["spokenName"]);
        QCOMPARE(spoken->text(QAccessible::Description), c["spokenDescription"]);
        QVERIFY(QAccessible::queryAccessibleInterface(ui.canvas)->indexOfChild(spoken) >= 0);
    }

    void stackingAndTabOrder()
    {
        // Labels, images and the shape lie beneath every text box and button;
        // within each group an earlier row is in front, and Qt draws a later
        // sibling in front of an earlier one. Nothing else is on the canvas.
        QStringList beneath, above, stacked;
        for (const Control &c : std::as_const(controls))
            (c.labelLike() ? beneath : above).prepend(c["name"]);
        for (QObject *child : ui.canvas->children()) {
            if (child->isWidgetType())
                stacked << child->objectName();
        }
        QCOMPARE(stacked, beneath + above);
        QVERIFY(ui.cmdNext->geometry().contains(ui.Command1->geometry()));

        QList<Control> byTabIndex = controls;
        std::stable_sort(byTabIndex.begin(), byTabIndex.end(),
                         [](auto &a, auto &b) { return a["tabIndex"].toInt() < b["tabIndex"].toInt(); });
        QStringList focusable, chain;
        for (const Control &c : std::as_const(byTabIndex)) {
            if (c.labelLike())
                continue;
            focusable << c["name"];
        }
        for (QWidget *w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
            if (w->parentWidget() == ui.canvas && (w->focusPolicy() & Qt::TabFocus))
                chain << w->objectName();
        }
        QCOMPARE(chain, focusable);
    }

    void menu()
    {
        QStringList entries; // depth first, as the bar shows them
        for (QAction *top : window->menuBar()->actions()) {
            QList<QAction *> shown{top};
            if (top->menu())
                shown << top->menu()->actions();
            for (QAction *entry : std::as_const(shown)) {
                QVERIFY(entry->isEnabled() && entry->isVisible());
                const QObject *named = entry->menu() ? static_cast<QObject *>(entry->menu()) : entry;
                entries << named->objectName() + u'=' + entry->text();
            }
        }
        QCOMPARE(
            entries.join(u'|'),
            u"INFOMAZIONI_1=Scuola primaria Arcobaleno - Valfiorita|sito=www.scuola-arcobaleno.example|"
            "posta=segreteria@scuola-arcobaleno.example|"
            "Ciao_1=A cura delle maestre e dei maestri della classe quarta|s=software freeware|Next=NUOVO GIOCO"_s);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program's fonts: the sizes of the labels depend on them.
    mirabolo::ui::setUpApplication(app);
    TestForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_form.moc"
