#pragma once

#include <QString>

namespace qlq {

// The main window's controls as the engine sees them; read afresh on every press.
class InsertionControls {
public:
    virtual ~InsertionControls() = default;

    virtual int rowCount() const = 0;                   // List1
    virtual QString rowText(int row) const = 0;         // "" at or beyond the end
    virtual bool randomOrder() const = 0;               // Check4
    virtual bool appendOwnTail() const = 0;             // Check2
    virtual bool sendAfterInsert() const = 0;           // Check1
    virtual QString ownTail() const = 0;                // Text5
    virtual void showComposed(const QString& text) = 0; // the scratch box Text4
};

} // namespace qlq
