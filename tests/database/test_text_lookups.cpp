// Every lookup of the database layer by a text the administrator sees or types finds
// the row it was read from, whatever form the row holds: UTF-8, Windows-1252, a blob,
// a UTF-8 text cut inside its last character.
#include "database/modDBFunctions.h"
#include "support/Fixture.h"

#include <functional>

using namespace modDBFunctions;
using modDB::Db_Connection;
using modDB::MY_TRANS;

namespace {

struct Stored_Form {
    const char* strName;
    const char* strSql;       // the stored value as an SQL literal
    const char* strNeighbor;  // a value beside it that reads as another text
    QString strShown;         // what the console reads and shows
};

void PrintTo(const Stored_Form& f, std::ostream* os) { *os << f.strName; }

const Stored_Form STORED_FORMS[] = {
    {"Utf8", "CAST(X'50617373C3A9' AS TEXT)", "'Passe'", QString::fromUtf8("Pass\u00e9")},
    {"Windows1252", "CAST(X'50617373E9' AS TEXT)", "CAST(X'50617373E9E9' AS TEXT)", QString::fromUtf8("Pass\u00e9")},
    {"Blob", "X'50617373C3A9'", "X'50617373C3A9C3A9'", QString::fromUtf8("Pass\u00e9")},
    {"Windows1252Blob", "X'50617373E9'", "X'50617373'", QString::fromUtf8("Pass\u00e9")},
    // Beside it lies the whole character the cut one could have been.
    {"CutUtf8", "CAST(X'436166C3A9205AC3' AS TEXT)", "CAST(X'436166C3A9205AC3A9' AS TEXT)",
     QString::fromUtf8("Caf\u00e9 Z\ufffd")},
    {"CutUtf8Blob", "X'436166C3A9205AE282'", "X'436166C3A9205AE282AC'", QString::fromUtf8("Caf\u00e9 Z\ufffd")},
};

// One lookup by text: stores the value (an SQL literal) for owner 2 of its table, with
// the neighbor beside it, looks the shown text up and says whether it found the row;
// then what is left tells whether it changed the right row.
struct Lookup {
    const char* strName;
    // The statements that store the value and its neighbor.
    std::function<QStringList(const QString& strValue, const QString& strNeighbor)> store;
    std::function<bool(const QString& strShown)> find;
    // The rows of the owner after the lookup: the value (found or not) as hex, sorted.
    const char* strLeft;
    bool blnRemoves;  // the lookup removes the row found
};

void PrintTo(const Lookup& l, std::ostream* os) { *os << l.strName; }

QStringList List_Rows(const QString& strTable, const QString& strColumn, const QString& strValue,
                      const QString& strNeighbor) {
    QStringList statements;
    for (const QString& strRow : {strValue, strNeighbor})
        statements << "INSERT INTO " + strTable + " (" + strColumn + ", COMPUTER_ID, USER_ID) VALUES (" + strRow +
                          ", 0, 2)";
    return statements;
}

Db_Connection Open() { return modDB::Open_Database(modDB::Get_Database_File()); }

const Lookup LOOKUPS[] = {
    {"DeleteItemForOwner",
     [](const QString& v, const QString& n) { return List_Rows("BL_TBL", "BL_URL", v, n); },
     [](const QString& strShown) {
         Db_Connection hDb = Open();
         Query_Result arrResult;
         MY_TRANS trans(hDb);
         return Delete_Item_For_Owner(hDb, arrResult, "BL_URL", "BL_TBL", strShown, 0, 2) && trans.Commit();
     },
     "SELECT hex(BL_URL) FROM BL_TBL WHERE USER_ID=2 ORDER BY 1", true},
    {"BatchDelete",
     [](const QString& v, const QString& n) { return List_Rows("WL_TBL", "WL_URL", v, n); },
     [](const QString& strShown) {
         Db_Connection hDb = Open();
         MY_TRANS trans(hDb);
         Owner_List_Batch batch(hDb, Owner_List_Batch::Delete_Items, "WL_URL", "WL_TBL", 0, 2);
         // A plain value first, so that the statement of another shape is made on the way.
         const bool blnOther = !batch.Run("none.com");
         return blnOther && batch.Run(strShown) && batch.Rows_Changed() == 1 && trans.Commit();
     },
     "SELECT hex(WL_URL) FROM WL_TBL WHERE USER_ID=2 ORDER BY 1", true},
    {"UpdateItemForOwner",
     [](const QString& v, const QString& n) { return List_Rows("BL_TBL", "BL_URL", v, n); },
     [](const QString& strShown) { return Update_Item_For_Owner("BL_URL", "BL_TBL", strShown, "new.com", 0, 2); },
     "SELECT hex(BL_URL) FROM BL_TBL WHERE USER_ID=2 AND BL_URL<>'new.com' ORDER BY 1", true},
    {"DeleteBypassExe",
     [](const QString& v, const QString& n) { return List_Rows("BYPASS_EXE_TBL", "BYPASS_EXE", v, n); },
     [](const QString& strShown) {
         Db_Connection hDb = Open();
         Query_Result arrResult;
         MY_TRANS trans(hDb);
         return Delete_Bypass_Exe(hDb, arrResult, 0, 2, strShown) && trans.Commit();
     },
     "SELECT hex(BYPASS_EXE) FROM BYPASS_EXE_TBL WHERE USER_ID=2 ORDER BY 1", true},
    {"GetUserId",
     [](const QString& v, const QString& n) {
         return QStringList{"INSERT INTO USER_TBL (USER_NAME) VALUES (" + n + ")",
                            "INSERT INTO USER_TBL (USER_ID, USER_NAME) VALUES (9000, " + v + ")"};
     },
     [](const QString& strShown) {
         long lngUserID = 0;
         return Get_User_Id(lngUserID, strShown) && lngUserID == 9000;
     },
     "SELECT hex(USER_NAME) FROM USER_TBL WHERE USER_ID=9000", false},
    {"PasswordCheck",
     [](const QString& v, const QString&) { return QStringList{"UPDATE SETTINGS_TBL SET PWD=" + v + " WHERE SETTINGS_ID=1"}; },
     [](const QString& strShown) { return Is_Pwd_Correct(strShown); },
     "SELECT hex(PWD) FROM SETTINGS_TBL WHERE SETTINGS_ID=1", false},
};

class TextLookupTest : public test::Dv_Test,
                       public ::testing::WithParamInterface<std::tuple<Lookup, Stored_Form>> {};

TEST_P(TextLookupTest, TheShownTextFindsTheRowItWasReadFromAndNoOther) {
    const auto& [lookup, form] = GetParam();
    for (const QString& strSQL : lookup.store(form.strSql, form.strNeighbor)) Exec(strSQL);
    // What the console shows for the stored value.
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(modDB::Run_Sql(QStringLiteral("SELECT ") + form.strSql, lngRows, arrResult));
    ASSERT_EQ(arrResult(1, 0), form.strShown);
    const QString strStoredHex = Scalar(QStringLiteral("SELECT hex(") + form.strSql + ")");
    const QString strNeighborHex = Scalar(QStringLiteral("SELECT hex(") + form.strNeighbor + ")");

    EXPECT_TRUE(lookup.find(form.strShown));
    EXPECT_TRUE(Boxes().empty());
    const test::Rows left = Query(lookup.strLeft);
    if (lookup.blnRemoves) EXPECT_EQ(left, (test::Rows{{strNeighborHex}}));
    else EXPECT_EQ(left, (test::Rows{{strStoredHex}}));
}

INSTANTIATE_TEST_SUITE_P(Table, TextLookupTest,
                         ::testing::Combine(::testing::ValuesIn(LOOKUPS), ::testing::ValuesIn(STORED_FORMS)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).strName) + "_" +
                                    std::get<1>(info.param).strName;
                         });

// A batch insert (an import) stores a text only when the owner holds it in no form:
// entries of every kind, in one batch, beside a value stored in each form. Another
// owner's row of the same text does not count.
class BatchInsertTest : public test::Dv_Test, public ::testing::WithParamInterface<Stored_Form> {};

TEST_P(BatchInsertTest, StoresEachTextOnceBesideTheValueInAnyStoredForm) {
    const Stored_Form& form = GetParam();
    for (const long lngUser : {2, 3})
        Exec(QString("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES (%1, 0, %2)").arg(form.strSql).arg(lngUser));
    Exec(QString("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES (%1, 0, 2)").arg(form.strNeighbor));
    // The neighbor as the console reads it.
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(modDB::Run_Sql(QStringLiteral("SELECT ") + form.strNeighbor, lngRows, arrResult));
    const QString strNeighbor = arrResult(1, 0);
    const QString& strShown = form.strShown;
    struct Entry {
        QString strText;
        long lngUser;
        bool blnStored;  // whether the batch stores it
    };
    const Entry entries[] = {
        {"a.example", 2, true},  // an ASCII entry first
        {strShown, 2, false},
        {strNeighbor, 2, false},
        {strShown + "x", 2, true},
        {strShown, 2, false},
        {"a.example", 2, false},
        {strShown, 5, true},  // only other owners hold it
    };
    Db_Connection hDb = Open();
    {
        MY_TRANS trans(hDb);
        Owner_List_Batch batch2(hDb, Owner_List_Batch::Insert_Items, "BL_URL", "BL_TBL", 0, 2);
        Owner_List_Batch batch5(hDb, Owner_List_Batch::Insert_Items, "BL_URL", "BL_TBL", 0, 5);
        ASSERT_TRUE(batch2.Ok() && batch5.Ok());
        for (const Entry& e : entries) {
            SCOPED_TRACE(e.strText.toStdString());
            Owner_List_Batch& batch = e.lngUser == 2 ? batch2 : batch5;
            ASSERT_TRUE(batch.Run(e.strText)) << batch.Last_Error().toStdString();
            EXPECT_EQ(batch.Changed(), e.blnStored);
        }
        EXPECT_TRUE(trans.Commit());
    }
    modDB::Close_Database(hDb);
    const auto hex = [&](const QString& strSql) { return Scalar("SELECT hex(" + strSql + ")"); };
    const auto utf8 = [](const QString& strText) { return QString::fromLatin1(strText.toUtf8().toHex().toUpper()); };
    EXPECT_EQ(Query("SELECT hex(BL_URL), USER_ID FROM BL_TBL ORDER BY rowid"),
              (test::Rows{{hex(form.strSql), "2"},
                          {hex(form.strSql), "3"},
                          {hex(form.strNeighbor), "2"},
                          {utf8("a.example"), "2"},
                          {utf8(strShown + "x"), "2"},
                          {utf8(strShown), "5"}}));
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Forms, BatchInsertTest, ::testing::ValuesIn(STORED_FORMS),
                         [](const auto& info) { return std::string(info.param.strName); });

// A write of the messages (the copy of a user's settings writes them so) keeps the
// stored bytes of a text that already reads as the one written, and writes any other.
class TextWriteTest : public test::Dv_Test, public ::testing::WithParamInterface<Stored_Form> {
protected:
    QString Stored_Bytes(long lngUser) {
        return Scalar(QString("SELECT hex(BLOCKED_URL_MSG) || typeof(BLOCKED_URL_MSG) || hex(REDIRECT_URL) || "
                              "typeof(REDIRECT_URL) || hex(APP_BLOCKER_MSG) || typeof(APP_BLOCKER_MSG) FROM USER_TBL "
                              "WHERE USER_ID=%1")
                          .arg(lngUser));
    }
};

TEST_P(TextWriteTest, ATextThatReadsAsStoredKeepsItsBytesAndAnotherIsWritten) {
    const long lngUser = Insert_User("u");
    Exec(QString("UPDATE USER_TBL SET BLOCKED_URL_MSG=%1, REDIRECT_URL=%1, APP_BLOCKER_MSG=%1 WHERE USER_ID=%2")
             .arg(GetParam().strSql)
             .arg(lngUser));
    const QString strStored = Stored_Bytes(lngUser);
    const QString& strShown = GetParam().strShown;
    EXPECT_TRUE(Set_User_Messages(lngUser, 2, strShown, strShown, 1, strShown));
    EXPECT_EQ(Stored_Bytes(lngUser), strStored);
    EXPECT_TRUE(Set_User_Messages(lngUser, 2, strShown + "!", strShown, 1, "it's"));
    const QString strShownHex = QString::fromLatin1((strShown + "!").toUtf8().toHex().toUpper());
    const QString strAddress = strStored.mid(strStored.size() / 3, strStored.size() / 3);  // kept
    EXPECT_EQ(Stored_Bytes(lngUser), strShownHex + "text" + strAddress + "69742773text");
    EXPECT_EQ(Scalar(QString("SELECT URL_MSG_TYPE || APP_MSG_TYPE FROM USER_TBL WHERE USER_ID=%1").arg(lngUser)), "21");
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Forms, TextWriteTest, ::testing::ValuesIn(STORED_FORMS),
                         [](const auto& info) { return std::string(info.param.strName); });

// A text with plain forms only is looked up in the owner's index by value; one with cut
// forms at least by the owner's part of it: no lookup by text reads the whole table.
struct Plan_Case {
    const char* strText;
    bool blnByValue;
};

class TextLookupPlanTest : public test::Dv_Test, public ::testing::WithParamInterface<Plan_Case> {};

TEST_P(TextLookupPlanTest, TheListIndexServesTheLookup) {
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(modDB::Run_Sql("EXPLAIN QUERY PLAN SELECT rowid FROM BL_TBL WHERE " +
                                   modDB::Sql_Matches_Stored("BL_URL", QString::fromUtf8(GetParam().strText)) +
                                   " AND COMPUTER_ID=0 AND USER_ID=2",
                               lngRows, arrResult));
    ASSERT_GE(lngRows, 1);
    for (long r = 1; r <= lngRows; ++r) {
        const QString strDetail = arrResult(static_cast<int>(r), 3);
        EXPECT_FALSE(strDetail.startsWith("SCAN")) << strDetail.toStdString();
        if (GetParam().blnByValue && strDetail.startsWith("SEARCH")) {
            EXPECT_TRUE(strDetail.contains("BL_URL=?")) << strDetail.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, TextLookupPlanTest,
                         ::testing::Values(Plan_Case{"a.com", true}, Plan_Case{"Pass\u00e9", true},
                                           Plan_Case{"Caf\u00e9 Z\ufffd", false}));

}  // namespace
