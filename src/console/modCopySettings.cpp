#include "console/modCopySettings.h"

#include "database/ValueSets.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "schedules/ScheduleEditor.h"
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
// once): that destination is rolled back and keeps what it had.
bool For_Each_Destination(const Db_Connection& hDb, const Destinations& destinations,
                          const std::function<bool(long lngDestUserID)>& writeOne) {
    if (!hDb) return false;
    for (const long lngDestUserID : destinations) {
        modDB::MY_TRANS trans(hDb);
        if (!trans.Began()) return false;
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
bool Set_Destination_Bit(const Db_Connection& hDb, bool blnSet, long lngBit, long lngComputerID, long lngUserID) {
    long lngBits = 0;
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

// ---------------------------------------------------------------- lists

struct List_Table {
    const char* strTable;
    const char* strColumn;
};

// One list of the source, read once, and the insert that writes it for a destination
// (prepared once, run for every value of every destination).
class Source_List {
public:
    Source_List(const Db_Connection& hDb, const List_Table& table)
        : m_strTable(QLatin1String(table.strTable)), m_strColumn(QLatin1String(table.strColumn)),
          m_insert(hDb, "INSERT OR IGNORE INTO " + m_strTable + "(" + m_strColumn +
                            " ,COMPUTER_ID,USER_ID) VALUES(?,?,?)") {}

    // The source's values, in the database's order.
    bool Read(long lngComputerID, long lngSourceUserID) {
        if (!m_insert.Ok()) return false;
        Query_Result arrItems;
        long lngRows = 0;
        if (!db::Get_Items_For_Owner(m_strColumn, m_strTable, lngComputerID, lngSourceUserID, arrItems, lngRows))
            return false;
        m_values.reserve(lngRows);
        for (int r = 1; r <= lngRows; ++r) m_values << arrItems.Value(r, 0);
        return true;
    }

    // Every row the destination has in the table goes (whatever its computer id), then
    // the source's values are written for it.
    bool Replace(const Db_Connection& hDb, long lngComputerID, long lngDestUserID) {
        if (!db::Delete_User_Rows(hDb, lngDestUserID, m_strTable)) return false;
        for (const QString& strValue : m_values) {
            m_insert.Bind(1, strValue);
            m_insert.Bind(2, static_cast<long long>(lngComputerID));
            m_insert.Bind(3, static_cast<long long>(lngDestUserID));
            if (!m_insert.Execute()) return false;
        }
        return true;
    }

private:
    QString m_strTable, m_strColumn;
    Prepared_Statement m_insert;
    QStringList m_values;
};

// A list feature: each table in order is emptied for the destination and filled from
// the source, then the destination's bit follows the source's.
bool Copy_List_Feature(std::initializer_list<List_Table> tables, long lngBit, const Db_Connection& hDb,
                       long lngComputerID, long lngSourceUserID, const Destinations& destinations,
                       bool blnSourceEnabled) {
    return Run_Routine([&] {
        std::vector<std::unique_ptr<Source_List>> lists;
        for (const List_Table& t : tables) {
            lists.push_back(std::make_unique<Source_List>(hDb, t));
            if (!lists.back()->Read(lngComputerID, lngSourceUserID)) return false;
        }
        return For_Each_Destination(hDb, destinations, [&](long lngDestUserID) {
            for (const auto& pList : lists)
                if (!pList->Replace(hDb, lngComputerID, lngDestUserID)) return false;
            return Set_Destination_Bit(hDb, blnSourceEnabled, lngBit, lngComputerID, lngDestUserID);
        });
    });
}

// ---------------------------------------------------------------- ports and schedules

struct Port_Rule {
    long lngPortNo;
    long lngFilterType;
    QString strProtocolType;
};

// The source's port rules below FILTER_TYPE 60000 (blnBlocking false) or above it (true).
bool Read_Ports(long lngComputerID, long lngSourceUserID, bool blnBlocking, std::vector<Port_Rule>& rules) {
    Query_Result arrPorts;
    long lngRows = 0;
    if (!db::Get_Ports(blnBlocking ? 1 : 0, lngComputerID, lngSourceUserID, arrPorts, lngRows)) return false;
    for (int r = 1; r <= lngRows; ++r)
        rules.push_back({arrPorts.Long_Value(r, 0), arrPorts.Long_Value(r, 1), arrPorts.Value(r, 2)});
    return true;
}

struct Schedule_Row {
    long lngDWM, lngWeekdays, lngMonths;
    QString strFromTime, strToTime;
};

// A stored schedule time read as a time of day (a type mismatch when it is none) and
// written back in the "HH:mm" form.
QString Schedule_Time(const QString& strTime) {
    return schedules::Time_Of_Day(strTime).toString(QStringLiteral("HH:mm"));
}

// The source's schedules of lngSchFor, their times already in the "HH:mm" form; a time
// that is no time of day fails here, before any destination is touched.
bool Read_Schedules(long lngComputerID, long lngSourceUserID, long lngSchFor, std::vector<Schedule_Row>& rows) {
    Query_Result arrSchedules;
    long lngRows = 0;
    if (!db::Get_Schedules(lngSchFor, lngComputerID, lngSourceUserID, arrSchedules, lngRows)) return false;
    // Columns: SCH_ID, D_W_M, FROM_TIME, TO_TIME, WEEKDAYS, MONTHS. A copy gets an id
    // of its own.
    for (int r = 1; r <= lngRows; ++r)
        rows.push_back({arrSchedules.Long_Value(r, 1), arrSchedules.Long_Value(r, 4), arrSchedules.Long_Value(r, 5),
                        Schedule_Time(arrSchedules.Value(r, 2)), Schedule_Time(arrSchedules.Value(r, 3))});
    return true;
}

// Replaces the destination's schedules of lngSchFor with the source's, written with
// lngSubType.
class Schedule_Copy {
public:
    Schedule_Copy(const Db_Connection& hDb, long lngSchFor, long lngSubType)
        : m_lngSchFor(lngSchFor), m_lngSubType(lngSubType),
          m_insert(hDb, QStringLiteral("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,"
                                       "TO_TIME,COMPUTER_ID,USER_ID) VALUES(?,?,?,?,?,?,?,?,?)")) {}

    bool Read(long lngComputerID, long lngSourceUserID) {
        return m_insert.Ok() && Read_Schedules(lngComputerID, lngSourceUserID, m_lngSchFor, m_rows);
    }

    bool Replace(const Db_Connection& hDb, long lngComputerID, long lngDestUserID) {
        if (!db::Delete_User_Schedules(hDb, m_lngSchFor, lngDestUserID)) return false;
        for (const Schedule_Row& row : m_rows) {
            m_insert.Bind(1, static_cast<long long>(m_lngSchFor));
            m_insert.Bind(2, static_cast<long long>(m_lngSubType));
            m_insert.Bind(3, static_cast<long long>(row.lngDWM));
            m_insert.Bind(4, static_cast<long long>(row.lngWeekdays));
            m_insert.Bind(5, static_cast<long long>(row.lngMonths));
            m_insert.Bind(6, row.strFromTime);
            m_insert.Bind(7, row.strToTime);
            m_insert.Bind(8, static_cast<long long>(lngComputerID));
            m_insert.Bind(9, static_cast<long long>(lngDestUserID));
            if (!m_insert.Execute()) return false;
        }
        return true;
    }

private:
    long m_lngSchFor, m_lngSubType;
    Prepared_Statement m_insert;
    std::vector<Schedule_Row> m_rows;
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
        std::vector<Port_Rule> rules;
        if (!Read_Ports(lngComputerID, lngSourceUserID, false, rules)) return false;
        if (!Read_Ports(lngComputerID, lngSourceUserID, true, rules)) return false;
        Prepared_Statement insert(hDb, QStringLiteral("INSERT INTO PORT_TBL(PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,"
                                                      "COMPUTER_ID,USER_ID) VALUES(?,?,?,?,?)"));
        if (!insert.Ok()) return false;
        return For_Each_Destination(hDb, destinations, [&](long lngDestUserID) {
            if (!db::Delete_User_Rows(hDb, lngDestUserID, QStringLiteral("PORT_TBL"))) return false;
            for (const Port_Rule& rule : rules) {
                insert.Bind(1, static_cast<long long>(rule.lngPortNo));
                insert.Bind(2, static_cast<long long>(rule.lngFilterType));
                insert.Bind(3, rule.strProtocolType);
                insert.Bind(4, static_cast<long long>(lngComputerID));
                insert.Bind(5, static_cast<long long>(lngDestUserID));
                if (!insert.Execute()) return false;
            }
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
        if (!schedules.Read(lngComputerID, lngSourceUserID)) return false;
        // An unreadable internet mode is a failure, not "off": no destination is ever
        // switched off on a guess.
        long lngOnOff = 0;
        if (!db::Get_Internet_On_Off(lngComputerID, lngSourceUserID, lngOnOff)) return false;
        return For_Each_Destination(hDb, destinations, [&](long lngDestUserID) {
            if (!schedules.Replace(hDb, lngComputerID, lngDestUserID)) return false;
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
        if (!schedules.Read(lngComputerID, lngSourceUserID)) return false;
        return For_Each_Destination(hDb, destinations, [&](long lngDestUserID) {
            if (!schedules.Replace(hDb, lngComputerID, lngDestUserID)) return false;
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
        // Row 1: URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, APP_BLOCKER_MSG
        // (no row is a run-time error here, before any destination is touched).
        const long lngUrlMsgType = arrMessages.Long_Value(1, 0);
        const long lngAppMsgType = arrMessages.Long_Value(1, 3);
        const QString strBlockedUrlMsg = arrMessages.Value(1, 1);
        const QString strRedirectUrl = arrMessages.Value(1, 2);
        const QString strAppBlockerMsg = arrMessages.Value(1, 4);
        Source_List bypass(hDb, {"BYPASS_EXE_TBL", "BYPASS_EXE"});
        if (!bypass.Read(lngComputerID, lngSourceUserID)) return false;
        return For_Each_Destination(hDb, destinations, [&](long lngDestUserID) {
            if (!db::Set_User_Messages(hDb, lngDestUserID, lngUrlMsgType, strBlockedUrlMsg, strRedirectUrl,
                                       lngAppMsgType, strAppBlockerMsg))
                return false;
            return bypass.Replace(hDb, lngComputerID, lngDestUserID);
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
