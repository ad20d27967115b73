#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Writes a whole file; false when that failed.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
// A whole file, nothing when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A throw-away program directory with corvane/ in it.
struct TempProgramDir {
    QTemporaryDir dir;

    QString path() const { return dir.path(); }
    QString corvane() const { return dir.path() + QStringLiteral("/corvane"); }
    QString file(const QString& name) const { return corvane() + QLatin1Char('/') + name; }
    bool write(const QString& name, const QByteArray& bytes) const {
        return QDir().mkpath(corvane()) && writeFile(file(name), bytes);
    }
    QByteArray read(const QString& name) const { return readFile(file(name)); }
};
