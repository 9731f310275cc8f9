#pragma once
// The routines that copy one feature of a source user to destination users, and the
// features the copy dialog offers. Every routine replaces: for each destination it
// deletes what the destination has of the feature, writes the source's rows for it,
// then sets the destination's feature bit to the source's state (the general options
// have no bit). Rows are read from the source under lngComputerID (the console's
// computer id) and written under lngComputerID and the destination's USER_ID.
//
// A routine replaces each destination in order on hDb (one connection for the whole
// copy), each destination inside one transaction: its deletes, inserts and flag
// updates are committed together or not at all, so a failure, or the program being
// killed, leaves every destination with either its old rows or the source's, never an
// empty or half list. The source's rows are copied in SQL as they are stored, their
// values, types and texts unchanged, whatever the console could read of them. A
// routine stops at the first failed read or write (reported once, with the database's
// text) and hands back false: the destinations before it have the copy, that one and
// those after it keep what they had. A destination that is the source itself is left
// as it is.

#include "services/modCommonFuns.h"

#include <QString>
#include <array>
#include <vector>

namespace modDB {
class Db_Connection;
}

namespace modCopySettings {

using Destinations = std::vector<long>;

// ---- One routine per feature ----
bool Copy_Website_Filter(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                         const Destinations& destinations, bool blnSourceEnabled);
bool Copy_File_Filter(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled);
bool Copy_SMTP_Filter(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled);
bool Copy_POP3_Filter(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled);
// The filter rules (FILTER_TYPE below 60000) first, then the blocking rules (above);
// a rule of exactly 60000 is in neither group and is not copied.
bool Copy_Port_Filter(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled);
bool Copy_Internet_Scheduler(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                             const Destinations& destinations, bool blnSourceEnabled);
bool Copy_EXE_Blocker(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled);
bool Copy_Window_Blocker(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                         const Destinations& destinations, bool blnSourceEnabled);
bool Copy_Application_Scheduler(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                                const Destinations& destinations, bool blnSourceEnabled);
// The blocked-item messages and the always-allowed programs; no feature bit is read or set.
bool Copy_General_Options(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                          const Destinations& destinations);

// ---- The features of the copy dialog, in list order ----
using Copy_Routine = bool (*)(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                              const Destinations& destinations, bool blnSourceEnabled);

struct Copy_Feature {
    QString strKey;      // Key, Text and small icon of the feature's item
    Flag_Word lngSourceBit;   // the bit read from the source and handed to the routine; 0: none
    Copy_Routine routine;
};

const std::array<Copy_Feature, 10>& Copy_Features();
// The feature with this key (exact); nullptr when no feature has it ("Main Form",
// "Device Settings").
const Copy_Feature* Find_Copy_Feature(const QString& strKey);

}  // namespace modCopySettings
