#pragma once
// The help: HTML pages built into the program (and installed for a
// browser), shown in one help window; F1 in any window opens its page.
#include <QWidget>

class QListWidget;
class QTextBrowser;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    // The one help window, made on first use, showing page ("tags.html#x").
    static THelpWindow* ShowPage(const QString& page);
    // The page about a window, by its object name; the contents otherwise.
    static QString PageFor(const QWidget* window);
    // Makes F1 open the page of the active window, in the whole program.
    static void InstallF1(QObject* application);

    QString CurrentPage() const;
    QListWidget* ContentsList = nullptr;
    QTextBrowser* Browser = nullptr;

private:
    THelpWindow();
};
