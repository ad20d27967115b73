#pragma once

#include <QString>

namespace qlq {

// Keeps the token with which the portal restores the remote-control permission the user gave
// once, in a file only the user can read: whoever holds it types into the user's windows.
class RestoreTokenStore {
public:
    // The file in the user's configuration folder.
    static QString defaultFile();

    explicit RestoreTokenStore(QString file) : file_(std::move(file)) {}

    // The kept token, or "" when there is none (or it is readable by others).
    QString load() const;
    // Replaces the kept token; "" forgets it. False when it could not be written.
    bool save(const QString& token) const;

private:
    QString file_;
};

} // namespace qlq
