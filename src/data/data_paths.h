#pragma once

#include <QString>

namespace qlq {

// Where the program keeps its files. A corvane/ directory beside the program (a portable copy)
// wins; otherwise the per-user data directory holds corvane/.
class DataPaths {
public:
    static DataPaths resolve(const QString& programDirectory, const QString& userDataDirectory);
    explicit DataPaths(QString baseDirectory) : base_(std::move(baseDirectory)) {}

    QString baseDirectory() const { return base_; }
    QString corvaneDirectory() const { return base_ + QStringLiteral("/corvane"); }
    QString optionsFile() const { return base_ + QStringLiteral("/corvane/corvane.ini"); }
    QString tailListFile() const { return base_ + QStringLiteral("/corvane/qinglanque.ini"); }
    QString skinFile() const { return base_ + QStringLiteral("/corvane/SkinH.she"); }

private:
    QString base_;
};

} // namespace qlq
