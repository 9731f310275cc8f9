#include "support/ConsoleFixture.h"

#include "platform/Controls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QtTest/QTest>
#include <QTimer>

namespace test {

void Console_Test::TearDown() {
    console.reset();
    Dv_Test::TearDown();
}

frmMain& Console_Test::Open_Console(bool blnRunFilterCheck) {
    console = std::make_unique<frmMain>();
    if (!blnRunFilterCheck) console->findChild<QTimer*>(QStringLiteral("tmrMain"))->stop();
    console->show();
    return *console;
}

void Console_Test::Select_User(const QString& strName) {
    console->Fill_Users_In_ComboBox();
    const int intIndex = console->cboUsers->findText(strName);
    ASSERT_GE(intIndex, 0) << "no user " << strName.toStdString();
    console->cboUsers->setCurrentIndex(intIndex);
    console->cboUsers_Click();
}

QString Console_Test::Selected_Tag() const { return platform::Get_Tag(console->cboUsers); }

void Dialog_Test::TearDown() {
    dialog.reset();
    Console_Test::TearDown();
}

QStringList Dialog_Test::Listed(const char* strList) const {
    QStringList texts;
    if (const auto* pList = Find<platform::ListView>(strList))
        for (long i = 1; i <= pList->Count(); ++i) texts << pList->Text(i);
    return texts;
}

void Dialog_Test::Select_Only(const char* strList, std::initializer_list<long> items) {
    platform::ListView* pList = Find<platform::ListView>(strList);
    pList->Item_View()->clearSelection();
    for (long i : items) pList->Set_Selected(i, true);
}

int Dialog_Test::Apply_Enabling_Runs(const std::vector<QAbstractButton*>& options,
                                     const std::function<void()>& action) {
    auto* pApply = Find<QWidget>("cmdApply");
    if (!pApply) return -1;
    EXPECT_FALSE(pApply->isEnabled()) << "Apply is enabled before the action";
    int intRuns = 0;
    const auto look = [&] {
        if (!pApply->isEnabled()) return;
        ++intRuns;
        pApply->setEnabled(false);
    };
    std::vector<QMetaObject::Connection> watches;
    for (QAbstractButton* pOption : options) {
        watches.push_back(QObject::connect(pOption, &QAbstractButton::toggled, pApply, look));
        watches.push_back(QObject::connect(pOption, &QAbstractButton::clicked, pApply, look));
    }
    action();
    for (const QMetaObject::Connection& watch : watches) QObject::disconnect(watch);
    return intRuns;
}

bool Dialog_Test::Edit_In_Place(const char* strList, const char* strEditButton, long lngIndex, const QString& strText) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last editor goes
    Select_Only(strList, {lngIndex});
    Click(strEditButton);
    auto* pEditor = Find<platform::ListView>(strList)->Item_View()->findChild<QLineEdit*>();
    if (!pEditor) return false;
    pEditor->setText(strText);
    QTest::keyClick(pEditor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor hands its text over from the event loop
    return true;
}

void Dialog_Test::Expect_Box(const QString& strText, long lngStyle) {
    const std::vector<Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u) << "expected " << strText.toStdString();
    EXPECT_EQ(boxes[0].strText, strText);
    EXPECT_EQ(boxes[0].lngStyle, lngStyle);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
}

QString Dialog_Test::Write_File(const QByteArray& bytes, const QString& strName) {
    const QString strPath = Temp_Path(strName);
    QFile file(strPath);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return strPath;
}

void Owner_Dialog_Test::SetUp() {
    Dialog_Test::SetUp();
    m_lngUser = Insert_User("alice");
    Open_Console();
    Select_User("alice");
}

QStringList Owner_Dialog_Test::Stored(const QString& strTable, const QString& strColumn) {
    QStringList values;
    for (const QStringList& row :
         Query(QString("SELECT %1 FROM %2 WHERE USER_ID=%3 ORDER BY rowid").arg(strColumn, strTable).arg(m_lngUser)))
        values << row[0];
    return values;
}

QString Owner_Dialog_Test::User_Column(const char* strColumn) {
    return Scalar(QString("SELECT %1 FROM USER_TBL WHERE USER_ID=%2").arg(QLatin1String(strColumn)).arg(m_lngUser));
}

}  // namespace test
