#include "data/options_file.h"

#include "config/log_categories.h"
#include "data/file_access.h"
#include "data/profile_document.h"

namespace qlq {
namespace {

// The file format: where each option lives.
constexpr char kOwnTailSection[] = "t1";
constexpr char kOwnTailKey[] = "t";
constexpr char kSwitchSection[] = "peizhi";

struct SwitchKey {
    const char* key;
    std::optional<bool> Options::*value;
};
constexpr SwitchKey kSwitchKeys[] = {
    {"Check1", &Options::sendAfterInsert},
    {"Check2", &Options::appendOwnTail},
    {"weiba", &Options::randomOrder},
};

QString latin1(const char* text) {
    return QString::fromLatin1(text);
}

} // namespace

std::optional<bool> switchValue(const QString& stored) {
    bool ok = false;
    const double v = stored.trimmed().toDouble(&ok);
    if (ok && v == 0.0)
        return false;
    if (ok && v == 1.0)
        return true;
    return std::nullopt;
}

Options OptionsFile::load(const QString& path) {
    Options options;
    const FileReadResult file = readWholeFile(path);
    if (file.status != FileReadResult::Status::Ok) {
        if (file.problem)
            qCWarning(log::files, "cannot read %ls (problem %d: %ls)", qUtf16Printable(path),
                      static_cast<int>(file.problem->kind), qUtf16Printable(file.problem->reason));
        return options;
    }
    const ProfileDocument document = ProfileDocument::fromBytes(file.bytes);
    options.ownTail = document.value(latin1(kOwnTailSection), latin1(kOwnTailKey));
    for (const SwitchKey& entry : kSwitchKeys)
        options.*entry.value =
            switchValue(document.value(latin1(kSwitchSection), latin1(entry.key)));
    qCDebug(log::files, "read options from %ls", qUtf16Printable(path));
    return options;
}

std::optional<FileProblem> OptionsFile::save(const QString& path, const Options& options) {
    const FileReadResult current = readWholeFile(path);
    // Rewriting a file we could not read would throw away whatever else it holds.
    if (current.problem)
        return current.problem;
    ProfileDocument document = current.status == FileReadResult::Status::Ok
                                   ? ProfileDocument::fromBytes(current.bytes)
                                   : ProfileDocument();

    bool encodable =
        document.setValue(latin1(kOwnTailSection), latin1(kOwnTailKey), options.ownTail);
    for (const SwitchKey& entry : kSwitchKeys) {
        if (const std::optional<bool> on = options.*entry.value)
            encodable =
                encodable && document.setValue(latin1(kSwitchSection), latin1(entry.key),
                                               *on ? QStringLiteral("1") : QStringLiteral("0"));
    }
    if (!encodable)
        return FileProblem{FileProblem::Kind::Unencodable, path, QString()};

    const QByteArray bytes = document.toBytes();
    // Nothing changed: leave the file alone, so a read-only copy raises no needless message.
    if (current.status == FileReadResult::Status::Ok && bytes == current.bytes) {
        qCDebug(log::files, "options in %ls unchanged", qUtf16Printable(path));
        return std::nullopt;
    }
    std::optional<FileProblem> error = writeFileAtomically(path, bytes);
    if (error)
        qCWarning(log::files, "cannot write %ls (problem %d: %ls)", qUtf16Printable(error->path),
                  static_cast<int>(error->kind), qUtf16Printable(error->reason));
    else
        qCDebug(log::files, "wrote options to %ls", qUtf16Printable(path));
    return error;
}

} // namespace qlq
