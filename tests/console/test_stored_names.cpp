// A name typed or imported beside the same name stored in Windows-1252 (as a program
// of another code page writes it) is the name already stored, in every dialog that
// asks whether a name is new: the users, the user exceptions and the always-allowed
// programs. One row stays stored, one item is listed, and the dialog's own duplicate
// box is shown where it has one.
#include "console/frmExceptionList.h"
#include "console/frmManageUsers.h"
#include "platform/ListView.h"
#include "schedules/frmInternetSettings.h"
#include "services/modFilterLibrary.h"
#include "support/ConsoleFixture.h"

#include <QFile>
#include <QLineEdit>
#include <functional>

namespace {

class StoredNameTest : public test::Owner_Dialog_Test {
public:
    // For the steps of the table below.
    using Dialog_Test::Click;
    using Dialog_Test::Edit_In_Place;
    using Dialog_Test::Find;
    using Dialog_Test::Open_Form;
    using Dv_Test::fileDialog;

    void Type_And_Add(const char* strBox, const QString& strName) {
        Find<QLineEdit>(strBox)->setText(strName);
        Click("cmdAdd");
    }
    void Import(const QString& strName) {
        fileDialog->Choose(Write_File(strName.toUtf8() + "\r\n"));
        Click("cmdImport");
    }
};

QString Hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

struct Name_Case {
    const char* strName;
    const char* strTable;
    const char* strColumn;
    const char* strOwnerColumns;  // columns and values the twin's row needs besides the name
    const char* strList;
    const char* strShown;    // the name as listed and typed
    const char* strTwin;     // the same name's Windows-1252 bytes
    bool blnListed;          // the twin was stored before the dialog opened
    const char* strBox;      // the duplicate box; nullptr: none
    std::function<void(StoredNameTest&)> open;
    std::function<void(StoredNameTest&, const QString&)> act;
    // Items showing the name afterwards: a row stored after the list was read is not
    // listed by a refused add.
    int intListed = 1;
};

void PrintTo(const Name_Case& c, std::ostream* os) { *os << c.strName; }

const char* const USER_TWIN = "Jos\xe9";
const char* const UPPER_TWIN = "JOS\xc9";  // an import upper-cases the names

// The dialogs, and what each does with a name.
void Open_Users(StoredNameTest& t) { t.Open_Form<frmManageUsers>(); }
void Open_Exceptions(StoredNameTest& t) { t.Open_Form<frmExceptionList>(); }
void Open_Programs(StoredNameTest& t) { t.Open_Form<frmInternetSettings>(); }
void Add_User(StoredNameTest& t, const QString& strName) { t.Type_And_Add("txtUsers", strName); }
void Import_User(StoredNameTest& t, const QString& strName) { t.Import(strName.toLower()); }
void Add_Program(StoredNameTest& t, const QString& strName) { t.Type_And_Add("txtByPassedExe", strName); }
// Renames the item "bob" into the name.
void Rename(StoredNameTest& t, const QString& strName) {
    auto* pList = t.Find<platform::ListView>("lvwUsers");
    ASSERT_GT(pList->Find_Text("bob"), 0);
    ASSERT_TRUE(t.Edit_In_Place("lvwUsers", "cmdEdit", pList->Find_Text("bob"), strName));
}
void Browse_Program(StoredNameTest& t, const QString& strName) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(DV_LHDVSOCK_FILE), modFilterLibrary::Library_File()));
    t.fileDialog->Choose("C:\\Apps\\" + strName);
    t.Click("cmdBrowseExe");
}

const Name_Case CASES[] = {
    {"UserAdd", "USER_TBL", "USER_NAME", "", "lvwUsers", "Jos\u00e9", USER_TWIN, true, "User Name already exists!",
     Open_Users, Add_User},
    {"UserAddBesideARowStoredAfterTheListWasRead", "USER_TBL", "USER_NAME", "", "lvwUsers", "Jos\u00e9", USER_TWIN,
     false, nullptr, Open_Users, Add_User},
    {"UserImport", "USER_TBL", "USER_NAME", "", "lvwUsers", "JOS\u00c9", UPPER_TWIN, true, nullptr, Open_Users,
     Import_User},
    {"UserImportBesideARowStoredAfterTheListWasRead", "USER_TBL", "USER_NAME", "", "lvwUsers", "JOS\u00c9", UPPER_TWIN,
     false, nullptr, Open_Users, Import_User},
    {"UserRename", "USER_TBL", "USER_NAME", "", "lvwUsers", "Jos\u00e9", USER_TWIN, true, "User name already exists!",
     Open_Users, Rename},
    // The rename looks the name up when it writes: the Add's box, and the list shows the twin.
    {"UserRenameToARowStoredAfterTheListWasRead", "USER_TBL", "USER_NAME", "", "lvwUsers", "Jos\u00e9", USER_TWIN,
     false, "User Name already exists!", Open_Users, Rename},
    {"ExceptionAdd", "USER_EXCPN_TBL", "E_USER_NAME", "", "lvwUsers", "Jos\u00e9", USER_TWIN, true,
     "User Name already exists!", Open_Exceptions, Add_User},
    {"ExceptionAddBesideARowStoredAfterTheListWasRead", "USER_EXCPN_TBL", "E_USER_NAME", "", "lvwUsers", "Jos\u00e9",
     USER_TWIN, false, "User Name already exists!", Open_Exceptions, Add_User, 0},
    {"ExceptionRename", "USER_EXCPN_TBL", "E_USER_NAME", "", "lvwUsers", "Jos\u00e9", USER_TWIN, true,
     "User name already exists!", Open_Exceptions, Rename},
    {"ExceptionRenameToARowStoredAfterTheListWasRead", "USER_EXCPN_TBL", "E_USER_NAME", "", "lvwUsers", "Jos\u00e9",
     USER_TWIN, false, "User Name already exists!", Open_Exceptions, Rename},
    {"AlwaysAllowedAdd", "BYPASS_EXE_TBL", "BYPASS_EXE", ", COMPUTER_ID, USER_ID", "lvwBypassedExe",
     "caf\u00e9.exe", "caf\xe9.exe", true, "The Exe already exists in the list!", Open_Programs, Add_Program},
    {"AlwaysAllowedBrowse", "BYPASS_EXE_TBL", "BYPASS_EXE", ", COMPUTER_ID, USER_ID", "lvwBypassedExe",
     "caf\u00e9.exe", "caf\xe9.exe", true, nullptr, Open_Programs, Browse_Program},
};

class StoredNameCaseTest : public StoredNameTest, public ::testing::WithParamInterface<Name_Case> {
protected:
    void Store_Twin() {
        const Name_Case& c = GetParam();
        const QString strOwner = QString(c.strOwnerColumns).isEmpty() ? QString() : QString(", 0, %1").arg(m_lngUser);
        Exec(QString("INSERT INTO %1 (%2%3) VALUES (CAST(X'%4' AS TEXT)%5)")
                 .arg(c.strTable, c.strColumn, c.strOwnerColumns, Hex(c.strTwin), strOwner));
    }
};

TEST_P(StoredNameCaseTest, ANameStoredInWindows1252IsStoredAndListedOnce) {
    const Name_Case& c = GetParam();
    const QString strShown = QString::fromUtf8(c.strShown);
    // The names the rename starts from.
    Insert_User("bob");
    Exec("INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES ('bob')");
    if (c.blnListed) Store_Twin();
    c.open(*this);
    if (!c.blnListed) Store_Twin();
    c.act(*this, strShown);
    auto boxes = Boxes();
    if (c.strBox) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, c.strBox);
        EXPECT_EQ(boxes[0].lngStyle, 48);
    } else {
        EXPECT_TRUE(boxes.empty()) << boxes[0].strText.toStdString();
    }
    // Either stored form of the name: only the twin's row.
    EXPECT_EQ(Query(QString("SELECT hex(%1) FROM %2 WHERE hex(%1) IN ('%3','%4')")
                        .arg(c.strColumn, c.strTable, Hex(c.strTwin), Hex(strShown.toUtf8()))),
              (test::Rows{{Hex(c.strTwin)}}));
    EXPECT_EQ(Listed(c.strList).count(strShown), c.intListed) << Listed(c.strList).join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Callers, StoredNameCaseTest, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
