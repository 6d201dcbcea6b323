#pragma once

#include <QAccessible>

namespace platform {

// Makes every object of class Widget (and of its subclasses) answer assistive tools with an
// Accessible made for it. The first call installs the factory, later calls do nothing; a
// widget calls it on construction, before any tool can ask for it.
template <class Widget, class Accessible> void installAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            auto* widget = qobject_cast<Widget*>(object);
            return widget ? new Accessible(widget) : nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace platform
