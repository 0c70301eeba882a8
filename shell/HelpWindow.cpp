#include "shell/HelpWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <iterator>

#include <iterator>

namespace {
const QString kRoot = QStringLiteral("qrc:/help/");

struct TPage {
    const char* File;
    const char* Title;
};
const TPage kPages[] = {{"index.html", "Contents"},        {"howto.html", "Getting started"},
                        {"tags.html", "The tag language"}, {"inputfields.html", "Input fields"},
                        {"tcl.html", "Tcl commands"},      {"commandline.html", "Command line"},
                        {"settings.html", "Settings"}};

// The preferences' pages, in order, by their anchors on the settings page.
const char* const kPreferencesAnchors[] = {"operation", "display",  "fileshortcuts", "autoreplace",
                                           "links",     "spelling", "applications"};

class TF1Filter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            QWidget* window = QApplication::activeModalWidget();
            if (!window) window = QApplication::activeWindow();
            THelpWindow::ShowPage(THelpWindow::PageFor(window));
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

QPointer<THelpWindow> gHelp;
} // namespace

THelpWindow::THelpWindow() {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Brevix Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    ContentsList = new QListWidget(this);
    for (const TPage& p : kPages) {
        auto* item = new QListWidgetItem(tr(p.Title), ContentsList);
        item->setData(Qt::UserRole, QString::fromLatin1(p.File));
    }
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    Browser->setSearchPaths({QStringLiteral(":/help")});
    connect(ContentsList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        Browser->setSource(QUrl(kRoot + item->data(Qt::UserRole).toString()));
    });
    connect(ContentsList, &QListWidget::itemClicked, ContentsList, &QListWidget::itemActivated);
    auto* split = new QSplitter(this);
    split->addWidget(ContentsList);
    split->addWidget(Browser);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 560});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
    resize(760, 560);
}

THelpWindow* THelpWindow::ShowPage(const QString& page) {
    if (!gHelp) gHelp = new THelpWindow;
    gHelp->Browser->setSource(QUrl(kRoot + (page.isEmpty() ? QStringLiteral("index.html") : page)));
    gHelp->show();
    gHelp->raise();
    gHelp->activateWindow();
    return gHelp;
}

QString THelpWindow::PageFor(const QWidget* window) {
    const QString name = window ? window->objectName() : QString();
    // A window that knows its own page (the input forms, by the field on show).
    if (const QString own = window ? window->property("helpPage").toString() : QString();
        !own.isEmpty())
        return own;
    if (name == QLatin1String("MainForm")) return QStringLiteral("howto.html");
    if (name == QLatin1String("PreferencesDlg")) {
        const auto* pages = window->findChild<QTabWidget*>();
        const int i = pages ? pages->currentIndex() : 0;
        return QStringLiteral("settings.html#") +
               QLatin1String(
                   kPreferencesAnchors[i >= 0 && i < int(std::size(kPreferencesAnchors)) ? i : 0]);
    }
    if (name == QLatin1String("InputTclTagDlg")) return QStringLiteral("tcl.html");
    if (name == QLatin1String("ErrorReportDlg") || name == QLatin1String("DiagnosticLogDlg"))
        return QStringLiteral("settings.html#diagnostics");
    if (name == QLatin1String("SpellCheckDlg")) return QStringLiteral("settings.html#spelling");
    if (name == QLatin1String("FileShortcutDlg"))
        return QStringLiteral("settings.html#fileshortcuts");
    if (name == QLatin1String("ShortcutDlg")) return QStringLiteral("settings.html#operation");
    if (name == QLatin1String("SuggestionOptionsDlg") || name == QLatin1String("AltInsOptionsDlg"))
        return QStringLiteral("settings.html#autoreplace");
    return QStringLiteral("index.html");
}

void THelpWindow::InstallF1(QObject* application) {
    application->installEventFilter(new TF1Filter);
}

QString THelpWindow::CurrentPage() const {
    return Browser->source().fileName() + (Browser->source().hasFragment()
                                               ? QLatin1Char('#') + Browser->source().fragment()
                                               : QString());
}
