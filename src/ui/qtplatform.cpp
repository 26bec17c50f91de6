#include "ui/qtplatform.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mirabolo::ui {

namespace {

QString titleOrDefault(const QString &title)
{
    // Set explicitly: an application display name would be appended to every
    // window title by some desktops and spoil the game's captions.
    return title.isEmpty() ? QString::fromUtf16(applicationTitle) : title;
}

} // namespace

Platform::Answer QtPlatform::msgBox(const QString &prompt, Buttons buttons, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(titleOrDefault(title));
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    if (buttons == Buttons::YesNoQuestionDefaultNo) {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

QString QtPlatform::inputBox(const QString &prompt)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(titleOrDefault({}));
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

void QtPlatform::startTimer(QTimer &timer)
{
    timer.start();
}

QDateTime QtPlatform::now() const
{
    return QDateTime::currentDateTime();
}

QLocale QtPlatform::locale() const
{
    return QLocale::system();
}

void QtPlatform::terminate()
{
    // exit() leaves every running event loop, nested boxes included; the
    // queued quit covers an end that comes before the main loop has started.
    QCoreApplication::exit(0);
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace mirabolo::ui
