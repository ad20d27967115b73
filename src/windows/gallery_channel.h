#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace qlq {

// The line between the main program and the gallery helper: one helper per user, and a second
// "签名大全" asks the open gallery to come to the front instead of loading another.

// Per-user name of the gallery's local socket (in the user's runtime directory).
QString galleryServerName();

// Asks the gallery listening on `serverName` to come forward. Keeps trying for up to `waitMs`
// (a helper that is just starting may not listen yet); false when nobody took the request.
bool askGalleryToRaise(const QString& serverName, int waitMs);

// Listens on the gallery's socket and reports every raise request.
class GalleryRaiseServer : public QObject {
    Q_OBJECT
public:
    explicit GalleryRaiseServer(QObject* parent = nullptr);
    ~GalleryRaiseServer() override;

    // Takes the name over; only call this while holding the gallery's lock file, so that a
    // leftover socket of a crashed helper may be removed.
    bool listen(const QString& serverName);

signals:
    void raiseRequested();

private:
    void acceptConnections();

    QLocalServer* server_;
};

} // namespace qlq
