// Placeholder until the profile reader/writer lands.
#include "data/settings_store.h"
#include "data/duxie.h"

namespace qlq {

QString ReadIni(const QString&, const QString&, const QString&) {
    return QString();
}

std::optional<bool> switchValue(const QString& stored) {
    bool ok = false;
    const double v = stored.trimmed().toDouble(&ok);
    if (ok && v == 0.0)
        return false;
    if (ok && v == 1.0)
        return true;
    return std::nullopt;
}

std::optional<QString> writeOptions(const QString&, const StoredOptions&) {
    return std::nullopt;
}

} // namespace qlq
