#pragma once

#include "data/file_access.h"

#include <QString>

#include <optional>

namespace qlq {

// What the options file carries from one run to the next. A switch is absent when the file does
// not hold it or holds something that is not a switch value; the own tail reads as "" then.
struct Options {
    QString ownTail;                     // t1/t
    std::optional<bool> sendAfterInsert; // peizhi/Check1
    std::optional<bool> appendOwnTail;   // peizhi/Check2
    std::optional<bool> randomOrder;     // peizhi/weiba
};

// The switch rule: a stored value that reads as the number 0 or 1 ("00", " 1") gives that
// value; anything else (empty, "2", text) is no value.
std::optional<bool> switchValue(const QString& stored);

namespace OptionsFile {

// Reads the file once. A missing or unreadable file gives an empty own tail and no switches.
Options load(const QString& path);

// Writes the own tail and every switch that has a value ("1"/"0") in one atomic update, keeping
// every other line of the file byte for byte and its encoding. A file that already holds these
// values is left alone; one that exists but cannot be read is not overwritten (the problem is
// then one of reading). Returns what went wrong.
std::optional<FileProblem> save(const QString& path, const Options& options);

} // namespace OptionsFile

} // namespace qlq
