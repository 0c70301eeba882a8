#include "tags/gui/InputHelp.h"

#include "platform/MessageBox.h"
#include "tags/gui/InputHost.h"

#include <QVariant>
#include <QWidget>

namespace InputHelp {

QString Page(const char* topic) {
    return QStringLiteral("inputfields.html#") + QLatin1String(topic);
}

void SetTopic(QWidget* window, const char* topic) {
    window->setProperty(kProperty, Page(topic));
}

void Open(QWidget* window, TInputHost* host) {
    const QString page = window->property(kProperty).toString();
    if (host && host->ShowHelp(page)) return;
    TMessageBox::Inform(window, QStringLiteral("Brevix"),
                        QObject::tr("The help window is not available here. The page \"%1\" is "
                                    "installed with Brevix's documentation.")
                            .arg(page));
}

} // namespace InputHelp
