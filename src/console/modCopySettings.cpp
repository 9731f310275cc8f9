#include "console/modCopySettings.h"

#include "database/ValueSets.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "services/ErrorHandler.h"
#include "services/modCommonFuns.h"

#include <functional>
#include <memory>

namespace modCopySettings {

using modDB::Db_Connection;
using modDB::Prepared_Statement;
using modDB::Query_Result;
namespace db = modDBFunctions;

namespace {

// ---------------------------------------------------------------- one destination at a time

// Replaces each destination in order, each inside one transaction on hDb: what
// writeOne writes for it is committed whole or not at all. Stops at the first
// destination whose writes or commit failed (the database layer has reported it
// once): that destination is rolled back and keeps what it had. The source itself is
// never a destination: its rows would be deleted before they are read.
bool For_Each_Destination(const Db_Connection& hDb, long lngSourceUserID, const Destinations& destinations,
                          const std::function<bool(long lngDestUserID)>& writeOne) {
    if (!hDb) return false;
    for (const long lngDestUserID : destinations) {
        if (lngDestUserID == lngSourceUserID) continue;
        modDB::MY_TRANS trans(hDb);
        if (!trans.Began()) return false;
        // Both users still stored, inside the write transaction: another program may have
        // removed either since the dialog read the users. One that is gone (reported)
        // stops the copy, and nothing is written under its id.
        if (!db::Owner_Stored(hDb, 0, lngSourceUserID) || !db::Owner_Stored(hDb, 0, lngDestUserID)) {
            trans.Rollback();
            return false;
        }
        bool blnWritten = false;
        // A run-time error part-way is reported by the block and undoes the destination.
        Error_Block([&] { blnWritten = writeOne(lngDestUserID); });
        if (!blnWritten) {
            trans.Rollback();
            return false;
        }
        if (!trans.Commit()) return false;
    }
    return true;
}

// Sets or clears one feature bit of the destination inside its transaction; true
// only when the flags were read and written back (a failed read writes nothing).
bool Set_Destination_Bit(const Db_Connection& hDb, bool blnSet, Flag_Word lngBit, long lngComputerID, long lngUserID) {
    Flag_Word lngBits = 0;
    if (!db::Read_Feature_Bits(hDb, lngComputerID, lngUserID, lngBits)) return false;
    modCommonFuns::Set_Bit_In_Flags(lngBits, lngBit, blnSet);
    return db::Write_Feature_Bits(hDb, lngComputerID, lngUserID, lngBits);
}

// Runs a routine's steps in its error block: true only when they ran to the end and
// every step reported success.
template <class Steps>
bool Run_Routine(Steps&& steps) {
    bool blnResult = false;
    Error_Block([&] { blnResult = steps(); });
    return blnResult;
}

// ---------------------------------------------------------------- the stored rows, copied in SQL

// One statement that writes a destination's copy of source rows straight from the
// stored rows, on the copy's connection inside the destination's transaction, so that
// no value passes through the console: each arrives as stored, with its type and its
// bytes (a number beyond 32 bits, a text where a number belongs, a time in no form the
// console reads, a text in another code page), unless the statement says otherwise,
// and no odd row keeps the others from being copied.
// Prepared once, run for every destination. Its parameters: ?1 the console's computer
// id, ?2 the destination's USER_ID, ?3 the source's USER_ID.
class Stored_Rows_Copy {
public:
    Stored_Rows_Copy(const Db_Connection& hDb, const QString& strSQL) : m_stmt(hDb, strSQL) {}
    bool Ok() const { return m_stmt.Ok(); }
    bool Run(long lngComputerID, long lngSourceUserID, long lngDestUserID) {
        m_stmt.Bind(1, static_cast<long long>(lngComputerID));
        m_stmt.Bind(2, static_cast<long long>(lngDestUserID));
        m_stmt.Bind(3, static_cast<long long>(lngSourceUserID));
        return m_stmt.Execute();
    }

private:
    Prepared_Statement m_stmt;
};

// ---------------------------------------------------------------- lists

struct List_Table {
    const char* strTable;
    const char* strColumn;
};

// One list: every row the destination has in the table goes (whatever its computer
// id), then the source's rows under the console's computer id are written for it.
class List_Copy {
public:
    List_Copy(const Db_Connection& hDb, const List_Table& table)
        : m_strTable(QLatin1String(table.strTable)),
          m_copy(hDb, "INSERT OR IGNORE INTO " + m_strTable + "(" + QLatin1String(table.strColumn) +
                          ",COMPUTER_ID,USER_ID) SELECT " + QLatin1String(table.strColumn) + ",?1,?2 FROM " +
                          m_strTable + " WHERE COMPUTER_ID=?1 AND USER_ID=?3") {}

    bool Ok() const { return m_copy.Ok(); }

    bool Replace(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID, long lngDestUserID) {
        return db::Delete_User_Rows(hDb, lngDestUserID, m_strTable) &&
               m_copy.Run(lngComputerID, lngSourceUserID, lngDestUserID);
    }

private:
    QString m_strTable;
    Stored_Rows_Copy m_copy;
};

// A list feature: each table in order is emptied for the destination and filled from
// the source, then the destination's bit follows the source's.
bool Copy_List_Feature(std::initializer_list<List_Table> tables, Flag_Word lngBit, const Db_Connection& hDb,
                       long lngComputerID, long lngSourceUserID, const Destinations& destinations,
                       bool blnSourceEnabled) {
    return Run_Routine([&] {
        std::vector<std::unique_ptr<List_Copy>> lists;
        for (const List_Table& t : tables) {
            lists.push_back(std::make_unique<List_Copy>(hDb, t));
            if (!lists.back()->Ok()) return false;
        }
        return For_Each_Destination(hDb, lngSourceUserID, destinations, [&](long lngDestUserID) {
            for (const auto& pList : lists)
                if (!pList->Replace(hDb, lngComputerID, lngSourceUserID, lngDestUserID)) return false;
            return Set_Destination_Bit(hDb, blnSourceEnabled, lngBit, lngComputerID, lngDestUserID);
        });
    });
}

// ---------------------------------------------------------------- ports and schedules

// The source's port rules below FILTER_TYPE 60000 (blnBlocking false) or above it
// (true), as the port filter reads them, copied for a destination.
QString Port_Copy_Sql(bool blnBlocking) {
    return QStringLiteral("INSERT INTO PORT_TBL(PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,COMPUTER_ID,USER_ID) "
                          "SELECT PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,?1,?2 FROM PORT_TBL "
                          "WHERE COMPUTER_ID=?1 AND USER_ID=?3 AND FILTER_TYPE ") +
           (blnBlocking ? QStringLiteral("> 60000") : QStringLiteral("< 60000"));
}

// The copy of the source's schedules of lngSchFor, written with lngSubType. Each time
// the schedule editors can read is written in their "HH:mm" form (by the connection's
// function of the one time rule, modDB::SHORT_TIME_FUNCTION); a time they cannot read,
// like every other column, arrives as stored.
QString Schedule_Copy_Sql(long lngSchFor, long lngSubType) {
    return QStringLiteral("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,"
                          "COMPUTER_ID,USER_ID) SELECT %1,%2,D_W_M,WEEKDAYS,MONTHS,%3(FROM_TIME),%3(TO_TIME),?1,?2 "
                          "FROM SCH_TBL WHERE COMPUTER_ID=?1 AND USER_ID=?3 AND SCH_FOR=%1 ORDER BY SCH_ID")
        .arg(lngSchFor)
        .arg(lngSubType)
        .arg(QLatin1String(modDB::SHORT_TIME_FUNCTION));
}

// Replaces the destination's schedules of lngSchFor with the source's, in their order,
// written with lngSubType; each copy gets an id of its own.
class Schedule_Copy {
public:
    Schedule_Copy(const Db_Connection& hDb, long lngSchFor, long lngSubType)
        : m_lngSchFor(lngSchFor), m_copy(hDb, Schedule_Copy_Sql(lngSchFor, lngSubType)) {}

    bool Ok() const { return m_copy.Ok(); }

    bool Replace(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID, long lngDestUserID) {
        return db::Delete_User_Schedules(hDb, m_lngSchFor, lngDestUserID) &&
               m_copy.Run(lngComputerID, lngSourceUserID, lngDestUserID);
    }

private:
    long m_lngSchFor;
    Stored_Rows_Copy m_copy;
};

}  // namespace

// ---------------------------------------------------------------- feature routines

bool Copy_Website_Filter(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                         const Destinations& destinations, bool blnSourceEnabled) {
    return Copy_List_Feature({{"BL_TBL", "BL_URL"}, {"WL_TBL", "WL_URL"}}, FEATURE_WEBSITE_FILTER, hDb,
                             lngComputerID, lngSourceUserID, destinations, blnSourceEnabled);
}

bool Copy_File_Filter(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled) {
    return Copy_List_Feature({{"FILE_TBL", "FILE_EXTN"}}, FEATURE_FILE_FILTER, hDb, lngComputerID, lngSourceUserID,
                             destinations, blnSourceEnabled);
}

bool Copy_SMTP_Filter(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled) {
    return Copy_List_Feature({{"SMTP_TBL", "SMTP_EMAIL"}}, FEATURE_SMTP_FILTER, hDb, lngComputerID, lngSourceUserID,
                             destinations, blnSourceEnabled);
}

bool Copy_POP3_Filter(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled) {
    return Copy_List_Feature({{"POP3_TBL", "POP3_EMAIL"}}, FEATURE_POP3_FILTER, hDb, lngComputerID, lngSourceUserID,
                             destinations, blnSourceEnabled);
}

bool Copy_EXE_Blocker(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled) {
    return Copy_List_Feature({{"EXE_TBL", "EXE_NAME"}}, FEATURE_EXE_BLOCKER, hDb, lngComputerID, lngSourceUserID,
                             destinations, blnSourceEnabled);
}

bool Copy_Window_Blocker(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                         const Destinations& destinations, bool blnSourceEnabled) {
    return Copy_List_Feature({{"WINDOW_TBL", "WINDOW_TITLE"}}, FEATURE_WINDOW_BLOCKER, hDb, lngComputerID,
                             lngSourceUserID, destinations, blnSourceEnabled);
}

bool Copy_Port_Filter(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                      const Destinations& destinations, bool blnSourceEnabled) {
    return Run_Routine([&] {
        // The filter rules first, then the blocking rules.
        Stored_Rows_Copy filters(hDb, Port_Copy_Sql(false));
        if (!filters.Ok()) return false;
        Stored_Rows_Copy blocking(hDb, Port_Copy_Sql(true));
        if (!blocking.Ok()) return false;
        return For_Each_Destination(hDb, lngSourceUserID, destinations, [&](long lngDestUserID) {
            if (!db::Delete_User_Rows(hDb, lngDestUserID, QStringLiteral("PORT_TBL"))) return false;
            if (!filters.Run(lngComputerID, lngSourceUserID, lngDestUserID)) return false;
            if (!blocking.Run(lngComputerID, lngSourceUserID, lngDestUserID)) return false;
            return Set_Destination_Bit(hDb, blnSourceEnabled, FEATURE_PORT_FILTER, lngComputerID, lngDestUserID);
        });
    });
}

bool Copy_Internet_Scheduler(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                             const Destinations& destinations, bool blnSourceEnabled) {
    using namespace Schedule_For;
    using namespace Internet_Control;
    return Run_Routine([&] {
        Schedule_Copy schedules(hDb, SCHEDULE_FOR_INTERNET, Schedule_Sub_Type::SUB_TYPE_INTERNET);
        if (!schedules.Ok()) return false;
        // An unreadable internet mode is a failure, not "off": no destination is ever
        // switched off on a guess.
        long lngOnOff = 0;
        if (!db::Get_Internet_On_Off(lngComputerID, lngSourceUserID, lngOnOff)) return false;
        return For_Each_Destination(hDb, lngSourceUserID, destinations, [&](long lngDestUserID) {
            if (!schedules.Replace(hDb, lngComputerID, lngSourceUserID, lngDestUserID)) return false;
            if (blnSourceEnabled) {
                // Scheduler on; the destination's own internet mode stays as it was.
                if (!db::Set_User_Schedule_For(hDb, INTERNET_CONTROL_SCHEDULER, lngDestUserID)) return false;
                return Set_Destination_Bit(hDb, true, FEATURE_INTERNET_SCHEDULER, lngComputerID, lngDestUserID);
            }
            if (!db::Set_User_Internet_On_Off(hDb, lngOnOff, lngDestUserID)) return false;
            if (!db::Set_User_Schedule_For(hDb, INTERNET_CONTROL_MANUAL, lngDestUserID)) return false;
            return Set_Destination_Bit(hDb, false, FEATURE_INTERNET_SCHEDULER, lngComputerID, lngDestUserID);
        });
    });
}

bool Copy_Application_Scheduler(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                                const Destinations& destinations, bool blnSourceEnabled) {
    using namespace Schedule_For;
    return Run_Routine([&] {
        Schedule_Copy schedules(hDb, SCHEDULE_FOR_APPLICATION, Schedule_Sub_Type::SUB_TYPE_APPLICATION);
        if (!schedules.Ok()) return false;
        return For_Each_Destination(hDb, lngSourceUserID, destinations, [&](long lngDestUserID) {
            if (!schedules.Replace(hDb, lngComputerID, lngSourceUserID, lngDestUserID)) return false;
            return Set_Destination_Bit(hDb, blnSourceEnabled, FEATURE_APP_SCHEDULER, lngComputerID, lngDestUserID);
        });
    });
}

bool Copy_General_Options(const Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                          const Destinations& destinations) {
    return Run_Routine([&] {
        Query_Result arrMessages;
        long lngRows = 0;
        if (!db::Get_User_Messages(lngSourceUserID, arrMessages, lngRows)) return false;
        // The source's row must be there: reading row 1 of none is a run-time error here,
        // before any destination is touched.
        arrMessages.Value(1, 0);
        // URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, APP_BLOCKER_MSG as stored.
        Stored_Rows_Copy messages(
            hDb, QStringLiteral("UPDATE USER_TBL SET (URL_MSG_TYPE,BLOCKED_URL_MSG,REDIRECT_URL,APP_MSG_TYPE,"
                                "APP_BLOCKER_MSG)=(SELECT URL_MSG_TYPE,BLOCKED_URL_MSG,REDIRECT_URL,APP_MSG_TYPE,"
                                "APP_BLOCKER_MSG FROM USER_TBL WHERE USER_ID=?3) WHERE USER_ID=?2"));
        if (!messages.Ok()) return false;
        List_Copy bypass(hDb, {"BYPASS_EXE_TBL", "BYPASS_EXE"});
        if (!bypass.Ok()) return false;
        return For_Each_Destination(hDb, lngSourceUserID, destinations, [&](long lngDestUserID) {
            if (!messages.Run(lngComputerID, lngSourceUserID, lngDestUserID)) return false;
            return bypass.Replace(hDb, lngComputerID, lngSourceUserID, lngDestUserID);
        });
    });
}

// ---------------------------------------------------------------- the feature list

namespace {
bool Copy_General_Options_Item(const modDB::Db_Connection& hDb, long lngComputerID, long lngSourceUserID,
                               const Destinations& destinations, bool) {
    return Copy_General_Options(hDb, lngComputerID, lngSourceUserID, destinations);
}
}  // namespace

const std::array<Copy_Feature, 10>& Copy_Features() {
    static const std::array<Copy_Feature, 10> features = {{
        {QStringLiteral("WebSite Filter"), FEATURE_WEBSITE_FILTER, &Copy_Website_Filter},
        {QStringLiteral("File Filter"), FEATURE_FILE_FILTER, &Copy_File_Filter},
        {QStringLiteral("SMTP Filter"), FEATURE_SMTP_FILTER, &Copy_SMTP_Filter},
        {QStringLiteral("POP3 Filter"), FEATURE_POP3_FILTER, &Copy_POP3_Filter},
        {QStringLiteral("Port Blocking And Filtering"), FEATURE_PORT_FILTER, &Copy_Port_Filter},
        {QStringLiteral("Internet Scheduler"), FEATURE_INTERNET_SCHEDULER, &Copy_Internet_Scheduler},
        {QStringLiteral("EXE Blocker"), FEATURE_EXE_BLOCKER, &Copy_EXE_Blocker},
        {QStringLiteral("Window Blocker"), FEATURE_WINDOW_BLOCKER, &Copy_Window_Blocker},
        {QStringLiteral("Application Scheduler"), FEATURE_APP_SCHEDULER, &Copy_Application_Scheduler},
        {QStringLiteral("General Options"), 0, &Copy_General_Options_Item},
    }};
    return features;
}

const Copy_Feature* Find_Copy_Feature(const QString& strKey) {
    for (const Copy_Feature& feature : Copy_Features())
        if (feature.strKey == strKey) return &feature;
    return nullptr;
}

}  // namespace modCopySettings
