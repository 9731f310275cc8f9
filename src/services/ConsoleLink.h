#pragma once
// What a feature dialog gets from the console that opens it: the policy owner the
// console shows, read at each use, and the few requests a dialog makes to the
// console. The console's main window implements it and hands itself over when it
// opens a dialog, so no dialog needs the main window itself.

#include <QString>
#include <QStringList>
#include <set>
#include <utility>

// The policy owner as the console shows it at this moment.
struct Policy_Owner {
    long lngComputerID = 0;
    long lngUserID = 0;
};

// What a copy of settings may have written: each feature it ran (by its key) and the
// users it ran it for. A feature that stopped at a failure counts for every user it was
// run for, since it may have written some of them before.
class Copied_Settings {
public:
    void Add(const QString& strFeature, long lngUserID) { m_written.insert({strFeature, lngUserID}); }
    bool Wrote(const QString& strFeature, long lngUserID) const { return m_written.count({strFeature, lngUserID}) > 0; }
    bool Wrote_Any(const QStringList& features, long lngUserID) const {
        for (const QString& strFeature : features)
            if (Wrote(strFeature, lngUserID)) return true;
        return false;
    }

private:
    std::set<std::pair<QString, long>> m_written;
};

class Console_Link {
public:
    // The owner now: the console's computer id and the id of the user chosen in its
    // user list. While no user is chosen there is no owner: a run-time error, never
    // another user's id nor the all-users row, so nothing is read or written for anybody.
    virtual Policy_Owner Owner() const = 0;
    // The name of the user the console shows.
    virtual QString Owner_Name() const = 0;
    // Opens the copy-settings dialog for the calling feature's key and returns, when it
    // closes, what the copy may have written.
    virtual Copied_Settings Open_Copy_Settings(const QString& strFeature) = 0;
    // Has the console read the shown user's internet mode again and show it.
    virtual void Get_Internet_Mode() = 0;
    // Has the console list the users as stored again: a dialog found the owner's row gone
    // (another program removed the user, or removed and added it again under a new id).
    virtual void Show_Stored_Users() = 0;

protected:
    ~Console_Link() = default;
};
