// The typing target of the password-field test: a normal and a password
// field, reported on the accessibility bus. Usage: bx_password_target OUT
//
// OUT is rewritten (whole, by rename) on every change:
//   normal=<text>  password=<text>  focus=normal|password|none
//   bus=<a11y bus address or "none: why">  listeners=<focus listeners>
// OUT.cmd, when it appears, holds one command and is removed once it is done:
//   "focus normal", "focus password" or "clear".
// The focus is moved by the program itself so that no key reaches Brevix
// between the fields: what Brevix remembers of one field is still there in
// the other.
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

struct TRegisteredEvent {
    QString Bus;
    QString Event;
};

const QDBusArgument& operator>>(const QDBusArgument& arg, TRegisteredEvent& e) {
    arg.beginStructure();
    arg >> e.Bus >> e.Event;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const TRegisteredEvent& e) {
    arg.beginStructure();
    arg << e.Bus << e.Event;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(TRegisteredEvent)

namespace {

class TPasswordTarget : public QWidget {
public:
    explicit TPasswordTarget(const QString& out) : out_(out) {
        setWindowTitle(QStringLiteral("Brevix password target"));
        NormalEdit = new QLineEdit(this);
        NormalEdit->setObjectName(QStringLiteral("NormalEdit"));
        PasswordEdit = new QLineEdit(this);
        PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
        PasswordEdit->setEchoMode(QLineEdit::Password);
        auto* layout = new QFormLayout(this);
        auto* normalLbl = new QLabel(QStringLiteral("&Normal:"), this);
        normalLbl->setBuddy(NormalEdit);
        auto* passwordLbl = new QLabel(QStringLiteral("&Password:"), this);
        passwordLbl->setBuddy(PasswordEdit);
        layout->addRow(normalLbl, NormalEdit);
        layout->addRow(passwordLbl, PasswordEdit);
        resize(420, 100);
        connect(NormalEdit, &QLineEdit::textChanged, this, &TPasswordTarget::Save);
        connect(PasswordEdit, &QLineEdit::textChanged, this, &TPasswordTarget::Save);
        connect(qApp, &QApplication::focusChanged, this, &TPasswordTarget::Save);
        connect(&poll_, &QTimer::timeout, this, &TPasswordTarget::Poll);
        poll_.start(50);
        ConnectBus();
    }

private:
    // The accessibility bus Qt talks to; its registry names who listens.
    void ConnectBus() {
        if (!QDBusConnection::sessionBus().isConnected()) {
            bus_ = QStringLiteral("none: no D-Bus session");
            return;
        }
        QDBusInterface launcher(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                QStringLiteral("org.a11y.Bus"));
        const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
        if (!address.isValid() || address.value().isEmpty()) {
            bus_ = QStringLiteral("none: ") + address.error().message();
            return;
        }
        bus_ = address.value();
        registry_ = QDBusConnection::connectToBus(bus_, QStringLiteral("bx-password-target"));
        if (!registry_.isConnected()) bus_ = QStringLiteral("none: cannot connect to ") + bus_;
    }

    // Who listens for focus changes, as "bus:event" separated by spaces.
    QString FocusListeners() {
        if (!registry_.isConnected()) return {};
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
            QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("GetRegisteredEvents"));
        const QDBusReply<QList<TRegisteredEvent>> reply = registry_.call(call, QDBus::Block, 2000);
        if (!reply.isValid()) return {};
        QStringList found;
        for (const TRegisteredEvent& e : reply.value())
            if (e.Event.contains(QStringLiteral("focus"), Qt::CaseInsensitive))
                found << e.Bus + QLatin1Char(':') + e.Event;
        return found.join(QLatin1Char(' '));
    }

    void Poll() {
        const QString listeners = FocusListeners();
        if (listeners != listeners_) {
            listeners_ = listeners;
            Save();
        }
        QFile cmd(out_ + QStringLiteral(".cmd"));
        if (!cmd.exists() || !cmd.open(QIODevice::ReadOnly)) return;
        const QByteArray command = cmd.readAll().trimmed();
        cmd.close();
        if (command.isEmpty()) return; // created but not yet written: next poll
        if (command == "clear") {
            NormalEdit->clear();
            PasswordEdit->clear();
        } else if (command == "focus normal" || command == "focus password") {
            QLineEdit* edit = command.endsWith("normal") ? NormalEdit : PasswordEdit;
            // Away and back: a fresh focus event even when it had the focus.
            edit->clearFocus();
            edit->setFocus(Qt::OtherFocusReason);
        }
        Save();
        cmd.remove();
    }

    void Save() {
        const QWidget* f = QApplication::focusWidget();
        const char* focus = f == NormalEdit ? "normal" : f == PasswordEdit ? "password" : "none";
        QSaveFile file(out_);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write("normal=" + NormalEdit->text().toUtf8() + '\n');
        file.write("password=" + PasswordEdit->text().toUtf8() + '\n');
        file.write(QByteArray("focus=") + focus + '\n');
        file.write("bus=" + bus_.toUtf8() + '\n');
        file.write("listeners=" + listeners_.toUtf8() + '\n');
        file.commit();
    }

    QString out_;
    QString bus_;
    QString listeners_;
    QDBusConnection registry_{QString()};
    QTimer poll_;
    QLineEdit* NormalEdit = nullptr;
    QLineEdit* PasswordEdit = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    // Qt reports its widgets on the bus only when asked to, as for a screen reader.
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: bx_password_target OUT\n");
        return 2;
    }
    qDBusRegisterMetaType<TRegisteredEvent>();
    qDBusRegisterMetaType<QList<TRegisteredEvent>>();
    TPasswordTarget window(QString::fromLocal8Bit(argv[1]));
    window.show();
    return app.exec();
}
