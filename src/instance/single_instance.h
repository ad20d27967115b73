#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

namespace qlq {

// One running copy per name and user. The first copy holds a lock file in the user's private
// folder and listens on a local socket beside it; a later copy hands the running one a request
// and leaves. A copy that was killed leaves a lock that the next start takes over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Request { Raise, Quit, Press };

    // `folder` is a private folder (privateRuntimeFolder()); `name` is what must be unique.
    SingleInstance(QString folder, QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock; false while another live copy holds it. Works before the application
    // object exists, so that a second start costs next to nothing.
    bool tryClaim();
    // Listens for requests; only for the copy that holds the lock, once the application exists.
    bool listen();

    // Hands `request` to the copy holding the lock, trying for up to `waitMs` (one that is just
    // starting may not listen yet). False when nobody of this user took it.
    static bool send(const QString& folder, const QString& name, Request request, int waitMs);

signals:
    void raiseRequested();
    void quitRequested();
    // `qinglanque --insert`: one press, as a tap of F8.
    void pressRequested();

private:
    void acceptConnections();

    QString folder_;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

// The main program is single per user and X display; the gallery helper per user.
QString programInstanceName(const QString& display);
// The main program's copies that listen in `folder`, by instance name.
QStringList runningProgramInstances(const QString& folder);
inline QString galleryInstanceName() {
    return QStringLiteral("qinglanque-gallery");
}

} // namespace qlq
