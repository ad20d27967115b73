#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A throw-away program directory with corvane/ in it.
struct TempProgramDir {
    QTemporaryDir dir;

    QString path() const { return dir.path(); }
    QString corvane() const { return dir.path() + QStringLiteral("/corvane"); }
    QString file(const QString& name) const { return corvane() + QLatin1Char('/') + name; }

    void write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(corvane());
        QFile f(file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};
