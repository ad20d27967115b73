#pragma once

namespace qlq {

// Picks the row of the next insertion. List order walks on from `lastIndex`; random order draws a
// row and leaves `lastIndex` alone.
class TailChooser {
public:
    // The row the next list-order press takes. Nothing moves until that press is delivered: a
    // press that never reached the reply must not skip its tail.
    int nextInListOrder(int rowCount) const;
    // A list-order press put `row` into the reply; the order goes on after it.
    void delivered(int row) { lastIndex_ = row; }
    static int atRandom(int rowCount, float r);

    // Start-up, the editor's opening, random order turned off: the next press takes row 0.
    void restart() { lastIndex_ = -1; }
    // A reload of the list through the edit button losing the focus: the next press takes row 1.
    void afterReload() { lastIndex_ = 0; }
    // The user selected `row`: the next list-order press takes it.
    void selectRow(int row) { lastIndex_ = row - 1; }

    int lastIndex() const { return lastIndex_; }

private:
    int lastIndex_ = -1;
};

} // namespace qlq
