#pragma once
// The routines that copy one feature of a source user to one destination user, and
// the features the copy dialog offers. Every routine replaces: it deletes what the
// destination has of the feature, writes the source's rows for it, then sets the
// destination's feature bit to the source's state (the general options have no bit).
// Rows are read from the source under lngComputerID (the console's computer id) and
// written under lngComputerID and the destination's USER_ID.
//
// A routine hands back true only when every step succeeded. It stops at the first
// failed delete, read, insert or bit update and hands back false; nothing is rolled
// back, so the destination keeps what was written before the failure.

#include <QString>
#include <array>

namespace modCopySettings {

// ---- One routine per feature ----
bool Copy_Website_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_File_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_SMTP_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_POP3_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_Port_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_Internet_Scheduler(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_EXE_Blocker(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_Window_Blocker(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
bool Copy_Application_Scheduler(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);
// The blocked-item messages and the always-allowed programs; no feature bit is read or set.
bool Copy_General_Options(long lngComputerID, long lngSourceUserID, long lngDestUserID);

// ---- Inner routines ----
// The list copy: the source's values of strColumn in strTable, inserted for the
// destination on one connection inside MY_TRANS (committed also after a failure).
bool Copy_List(long lngComputerID, long lngSourceUserID, long lngDestUserID, const QString& strTable,
               const QString& strColumn);
// The source's port rules below FILTER_TYPE 60000 (blnBlocking false) or above it
// (true), each added for the destination on a connection of its own.
bool Copy_Ports(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnBlocking);
// The source's schedules of lngSchFor, added for the destination with lngSubType and
// their times in the "HH:mm" form, each on a connection of its own.
bool Copy_Schedules(long lngComputerID, long lngSourceUserID, long lngDestUserID, long lngSchFor, long lngSubType);

// ---- The features of the copy dialog, in list order ----
using Copy_Routine = bool (*)(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled);

struct Copy_Feature {
    QString strKey;      // Key, Text and small icon of the feature's item
    long lngSourceBit;   // the bit read from the source and handed to the routine; 0: none
    Copy_Routine routine;
};

const std::array<Copy_Feature, 10>& Copy_Features();
// The feature with this key (exact); nullptr when no feature has it ("Main Form",
// "Device Settings").
const Copy_Feature* Find_Copy_Feature(const QString& strKey);

}  // namespace modCopySettings
