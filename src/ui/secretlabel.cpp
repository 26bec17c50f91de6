#include "ui/secretlabel.h"

#include <QAccessibleWidget>

using namespace Qt::StringLiterals;

namespace mirabolo::ui {

namespace {

// Qt lists hidden widgets among their parent's accessible children, and a
// label's name is its caption: this interface reports the label without any
// of its text.
class SecretLabelAccessible final : public QAccessibleWidget
{
public:
    explicit SecretLabelAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface *secretLabelFactory(const QString &className, QObject *object)
{
    if (className == "mirabolo::ui::SecretLabel"_L1 && object && object->isWidgetType())
        return new SecretLabelAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

SecretLabel::SecretLabel(QWidget *parent)
    : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(secretLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace mirabolo::ui
