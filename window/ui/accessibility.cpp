#include "window/ui/accessibility.h"

#include "window/ui/buttons.h"
#include "window/ui/picturebox.h"

#include <QAccessibleWidget>
#include <mutex>

namespace {

// A tab is named by its caption, is selected while its page is shown, and "press" shows it.
class TabAccessible : public QAccessibleWidget
{
public:
    explicit TabAccessible(TabLabel* tab)
        : QAccessibleWidget(tab, QAccessible::PageTab)
    { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && tab()->accessibleName().isEmpty())
            return tab()->text();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = tab()->Selected();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            Q_EMIT tab()->Click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TabLabel* tab() const { return static_cast<TabLabel*>(widget()); }
};

// A box without a border is a picture; one with a border is the pane that shows it.
QAccessibleInterface* windowControls(const QString& className, QObject* object)
{
    if (className == u"TabLabel")
        return new TabAccessible(static_cast<TabLabel*>(object));
    if (className == u"PictureBox") {
        auto* box = static_cast<PictureBox*>(object);
        return new QAccessibleWidget(box,
            box->BorderStyle() == PictureBox::NoBorder ? QAccessible::Graphic : QAccessible::Pane);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(windowControls); });
}
