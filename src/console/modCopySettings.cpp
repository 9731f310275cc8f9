#include "console/modCopySettings.h"

#include "database/ValueSets.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "schedules/ScheduleEditor.h"
#include "services/ErrorHandler.h"
#include "services/modCommonFuns.h"

namespace modCopySettings {

using modDB::Query_Result;
namespace db = modDBFunctions;

namespace {

// A stored schedule time read as a time of day (a type mismatch when it is none) and
// written back in the "HH:mm" form.
QString Schedule_Time(const QString& strTime) {
    return schedules::Time_Of_Day(strTime).toString(QStringLiteral("HH:mm"));
}

// Sets or clears one feature bit of the destination; true only when the flags were
// read and written back (a failed read writes nothing).
bool Set_Destination_Bit(bool blnSet, long lngBit, long lngComputerID, long lngUserID) {
    long lngBits = 0;
    if (!db::Read_Feature_Bits(lngComputerID, lngUserID, lngBits)) return false;
    modCommonFuns::Set_Bit_In_Flags(lngBits, lngBit, blnSet);
    return db::Write_Feature_Bits(lngComputerID, lngUserID, lngBits);
}

// Runs a routine's steps in its error block: true only when they ran to the end and
// every step reported success.
template <class Steps>
bool Run_Routine(Steps&& steps) {
    bool blnResult = false;
    Error_Block([&] { blnResult = steps(); });
    return blnResult;
}

struct List_Table {
    const char* strTable;
    const char* strColumn;
};

// A list feature: each table in order is emptied for the destination and filled
// from the source, then the destination's bit follows the source's.
bool Copy_List_Feature(std::initializer_list<List_Table> tables, long lngBit, long lngComputerID,
                       long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Run_Routine([&] {
        for (const List_Table& t : tables) {
            const QString strTable = QLatin1String(t.strTable);
            if (!db::Delete_User_Rows(lngDestUserID, strTable)) return false;
            if (!Copy_List(lngComputerID, lngSourceUserID, lngDestUserID, strTable, QLatin1String(t.strColumn)))
                return false;
        }
        return Set_Destination_Bit(blnSourceEnabled, lngBit, lngComputerID, lngDestUserID);
    });
}

}  // namespace

// ---------------------------------------------------------------- inner routines

bool Copy_List(long lngComputerID, long lngSourceUserID, long lngDestUserID, const QString& strTable,
               const QString& strColumn) {
    return Run_Routine([&] {
        Query_Result arrItems;
        long lngRows = 0;
        if (!db::Get_Items_For_Owner(strColumn, strTable, lngComputerID, lngSourceUserID, arrItems, lngRows))
            return false;
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        if (!hDb) return false;
        // Committed when the guard goes, before the connection closes, also after a
        // failed insert: what was written stays.
        modDB::MY_TRANS trans(hDb);
        if (!trans.Began()) return false;
        Query_Result arrResult;
        for (long r = 1; r <= lngRows; ++r) {
            if (!db::Insert_Item_For_Owner(hDb, arrResult, strColumn, strTable, arrItems.Value(static_cast<int>(r), 0),
                                           lngComputerID, lngDestUserID))
                return false;
        }
        return true;
    });
}

bool Copy_Ports(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnBlocking) {
    return Run_Routine([&] {
        Query_Result arrPorts;
        long lngRows = 0;
        if (!db::Get_Ports(blnBlocking ? 1 : 0, lngComputerID, lngSourceUserID, arrPorts, lngRows)) return false;
        for (int r = 1; r <= lngRows; ++r) {
            if (!db::Add_Port(arrPorts.Long_Value(r, 0), arrPorts.Long_Value(r, 1), arrPorts.Value(r, 2), lngComputerID,
                              lngDestUserID))
                return false;
        }
        return true;
    });
}

bool Copy_Schedules(long lngComputerID, long lngSourceUserID, long lngDestUserID, long lngSchFor, long lngSubType) {
    return Run_Routine([&] {
        Query_Result arrSchedules;
        long lngRows = 0;
        if (!db::Get_Schedules(lngSchFor, lngComputerID, lngSourceUserID, arrSchedules, lngRows)) return false;
        for (int r = 1; r <= lngRows; ++r) {
            // Columns: SCH_ID, D_W_M, FROM_TIME, TO_TIME, WEEKDAYS, MONTHS. The copy gets
            // an id of its own.
            Query_Result arrNew;
            if (!db::Add_Schedule(lngSchFor, lngSubType, arrSchedules.Long_Value(r, 1), arrSchedules.Long_Value(r, 4),
                                  arrSchedules.Long_Value(r, 5), Schedule_Time(arrSchedules.Value(r, 2)),
                                  Schedule_Time(arrSchedules.Value(r, 3)), lngComputerID, lngDestUserID, arrNew))
                return false;
        }
        return true;
    });
}

// ---------------------------------------------------------------- feature routines

bool Copy_Website_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Copy_List_Feature({{"BL_TBL", "BL_URL"}, {"WL_TBL", "WL_URL"}}, FEATURE_WEBSITE_FILTER, lngComputerID,
                             lngSourceUserID, lngDestUserID, blnSourceEnabled);
}

bool Copy_File_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Copy_List_Feature({{"FILE_TBL", "FILE_EXTN"}}, FEATURE_FILE_FILTER, lngComputerID, lngSourceUserID,
                             lngDestUserID, blnSourceEnabled);
}

bool Copy_SMTP_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Copy_List_Feature({{"SMTP_TBL", "SMTP_EMAIL"}}, FEATURE_SMTP_FILTER, lngComputerID, lngSourceUserID,
                             lngDestUserID, blnSourceEnabled);
}

bool Copy_POP3_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Copy_List_Feature({{"POP3_TBL", "POP3_EMAIL"}}, FEATURE_POP3_FILTER, lngComputerID, lngSourceUserID,
                             lngDestUserID, blnSourceEnabled);
}

bool Copy_EXE_Blocker(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Copy_List_Feature({{"EXE_TBL", "EXE_NAME"}}, FEATURE_EXE_BLOCKER, lngComputerID, lngSourceUserID,
                             lngDestUserID, blnSourceEnabled);
}

bool Copy_Window_Blocker(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Copy_List_Feature({{"WINDOW_TBL", "WINDOW_TITLE"}}, FEATURE_WINDOW_BLOCKER, lngComputerID,
                             lngSourceUserID, lngDestUserID, blnSourceEnabled);
}

bool Copy_Port_Filter(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    return Run_Routine([&] {
        if (!db::Delete_User_Rows(lngDestUserID, QStringLiteral("PORT_TBL"))) return false;
        // The filter rules first, then the blocking rules; a rule of exactly 60000 is
        // in neither group and is not copied.
        if (!Copy_Ports(lngComputerID, lngSourceUserID, lngDestUserID, false)) return false;
        if (!Copy_Ports(lngComputerID, lngSourceUserID, lngDestUserID, true)) return false;
        return Set_Destination_Bit(blnSourceEnabled, FEATURE_PORT_FILTER, lngComputerID, lngDestUserID);
    });
}

bool Copy_Internet_Scheduler(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    using namespace Schedule_For;
    using namespace Internet_Control;
    return Run_Routine([&] {
        if (!db::Delete_User_Schedules(SCHEDULE_FOR_INTERNET, lngDestUserID)) return false;
        if (!Copy_Schedules(lngComputerID, lngSourceUserID, lngDestUserID, SCHEDULE_FOR_INTERNET,
                            Schedule_Sub_Type::SUB_TYPE_INTERNET))
            return false;
        // An unreadable internet mode is a failure, not "off": the destination is
        // never switched off on a guess.
        long lngOnOff = 0;
        if (!db::Get_Internet_On_Off(lngComputerID, lngSourceUserID, lngOnOff)) return false;
        if (blnSourceEnabled) {
            // Scheduler on; the destination's own internet mode stays as it was.
            if (!db::Set_User_Schedule_For(INTERNET_CONTROL_SCHEDULER, lngDestUserID)) return false;
            return Set_Destination_Bit(true, FEATURE_INTERNET_SCHEDULER, lngComputerID, lngDestUserID);
        }
        if (!db::Set_User_Internet_On_Off(lngOnOff, lngDestUserID)) return false;
        if (!db::Set_User_Schedule_For(INTERNET_CONTROL_MANUAL, lngDestUserID)) return false;
        return Set_Destination_Bit(false, FEATURE_INTERNET_SCHEDULER, lngComputerID, lngDestUserID);
    });
}

bool Copy_Application_Scheduler(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool blnSourceEnabled) {
    using namespace Schedule_For;
    return Run_Routine([&] {
        if (!db::Delete_User_Schedules(SCHEDULE_FOR_APPLICATION, lngDestUserID)) return false;
        if (!Copy_Schedules(lngComputerID, lngSourceUserID, lngDestUserID, SCHEDULE_FOR_APPLICATION,
                            Schedule_Sub_Type::SUB_TYPE_APPLICATION))
            return false;
        return Set_Destination_Bit(blnSourceEnabled, FEATURE_APP_SCHEDULER, lngComputerID, lngDestUserID);
    });
}

bool Copy_General_Options(long lngComputerID, long lngSourceUserID, long lngDestUserID) {
    return Run_Routine([&] {
        if (!db::Delete_User_Rows(lngDestUserID, QStringLiteral("BYPASS_EXE_TBL"))) return false;
        Query_Result arrMessages;
        long lngRows = 0;
        if (!db::Get_User_Messages(lngSourceUserID, arrMessages, lngRows)) return false;
        // Row 1: URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, APP_BLOCKER_MSG
        // (no row is a run-time error here, after the bypass list was emptied).
        if (!db::Set_User_Messages(lngDestUserID, arrMessages.Long_Value(1, 0), arrMessages.Value(1, 1),
                                   arrMessages.Value(1, 2), arrMessages.Long_Value(1, 3), arrMessages.Value(1, 4)))
            return false;
        return Copy_List(lngComputerID, lngSourceUserID, lngDestUserID, QStringLiteral("BYPASS_EXE_TBL"),
                         QStringLiteral("BYPASS_EXE"));
    });
}

// ---------------------------------------------------------------- the feature list

namespace {
bool Copy_General_Options_Item(long lngComputerID, long lngSourceUserID, long lngDestUserID, bool) {
    return Copy_General_Options(lngComputerID, lngSourceUserID, lngDestUserID);
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
