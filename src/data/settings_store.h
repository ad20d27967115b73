#pragma once

#include <QString>

#include <optional>

namespace qlq {

// The options the main window keeps from one run to the next.
struct StoredOptions {
    QString ownTail;              // t1/t
    bool sendAfterInsert = false; // peizhi/Check1
    bool appendOwnTail = false;   // peizhi/Check2
    bool randomOrder = false;     // peizhi/weiba
};

// The switch rule: a stored value that reads as the number 0 or 1 ("00", " 1") gives that
// value; anything else (empty, "2", text) leaves the box as it is.
std::optional<bool> switchValue(const QString& stored);

// Writes the own tail and the three switches ("1"/"0") in one atomic update of the options file,
// keeping every other line of it byte for byte and its encoding. A file that already holds these
// values is left alone; one that exists but cannot be read is not overwritten. Returns the reason
// of a failure.
std::optional<QString> writeOptions(const QString& file, const StoredOptions& options);

} // namespace qlq
