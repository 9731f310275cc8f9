#pragma once
// The one rule of every walk of writes over several items: a Remove of the selected
// items of a list, a Browse that stores the chosen program files. The walk runs in one
// MY_TRANS, one write per item, and decides after each failed write whether to go on.
//
// Layer: lists; the schedules and the console reach it too.

#include "database/modDB.h"

#include <QString>

namespace lists {

class Write_Walk {
public:
    // trans: the walk's transaction, begun.
    explicit Write_Walk(modDB::MY_TRANS& trans) : m_trans(trans) {}
    Write_Walk(const Write_Walk&) = delete;
    Write_Walk& operator=(const Write_Walk&) = delete;

    // The write of one item failed, with the database's text strError (or the
    // not-stored message of a write that found no row, blnNoRow). Answers whether the
    // walk goes on with the next item:
    // - a row refused alone (a trigger raising ABORT, a constraint, a row not stored)
    //   leaves only its own item as it was: the walk goes on;
    // - a file another connection holds locked (blnBusy) would make every later write
    //   wait out the busy time-out and fail alike: the walk stops at once, after one wait
    //   (a file that refuses writes already refused the walk's BEGIN);
    // - a failure after which SQLite rolled the whole transaction back (a ROLLBACK
    //   trigger, a full disk, an I/O error) undid the writes before it, and a write after
    //   it would run on its own and be kept: the walk stops, and nothing of it is stored.
    bool Go_On(const QString& strError, bool blnBusy, bool blnNoRow);
    // The same for a failed run of a batch that tells Last_Error(), Busy() and No_Row().
    template <class Batch>
    bool Go_On_After(const Batch& batch) {
        return Go_On(batch.Last_Error(), batch.Busy(), batch.No_Row());
    }

    // Whether a write found its item's row gone: the list then shows what is stored.
    bool Not_Stored() const { return m_blnNotStored; }

    // Ends the walk: reports the failures in one box, with the first one's text, and
    // commits. True when what the walk wrote is stored; only then may its items leave
    // or join the list.
    bool Finish();

private:
    modDB::MY_TRANS& m_trans;
    QString m_strFailure;
    bool m_blnFailed = false;
    bool m_blnNotStored = false;
};

}  // namespace lists
