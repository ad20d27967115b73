#pragma once

#include <QString>

#include <optional>

namespace qlq {

// Where the program keeps its files. A corvane/ directory beside the program (a portable copy)
// wins; otherwise the per-user data directory holds corvane/.
class DataPaths {
public:
    // Nothing when there is neither a portable corvane/ nor a per-user data directory.
    static std::optional<DataPaths> resolve(const QString& programDirectory,
                                            const std::optional<QString>& userDataDirectory);
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
