#pragma once

#include <QString>

namespace qlq {

// The main window's controls as the engine sees them; read afresh on every press.
class InsertionControls {
public:
    virtual ~InsertionControls() = default;

    // The tail list: its rows, "" at or beyond the end.
    virtual int rowCount() const = 0;
    virtual QString rowText(int row) const = 0;
    // The three switches: take tails at random, add the own tail, send with Ctrl+Enter.
    virtual bool randomOrder() const = 0;
    virtual bool appendOwnTail() const = 0;
    virtual bool sendAfterInsert() const = 0;
    // The own tail line at the top of the window.
    virtual QString ownTail() const = 0;
    // The composed text is mirrored in a scratch box that nothing reads back.
    virtual void showComposed(const QString& text) = 0;
};

} // namespace qlq
