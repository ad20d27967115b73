#pragma once

#include "insert/insertion_controls.h"

#include <QStringList>

// The main window's controls as plain values, for the engine on its own.
struct ScriptedControls : qlq::InsertionControls {
    QStringList rows{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")};
    bool own = false, submit = false, random = false;
    QString scratch; // what the engine showed last

    int rowCount() const override { return static_cast<int>(rows.size()); }
    QString rowText(int row) const override { return rows.value(row); }
    bool randomOrder() const override { return random; }
    bool appendOwnTail() const override { return own; }
    bool sendAfterInsert() const override { return submit; }
    QString ownTail() const override { return QStringLiteral("[own]"); }
    void showComposed(const QString& text) override { scratch = text; }
};
