#include "console/frmExceptionList.h"
#include "ui_frmExceptionList.h"

#include "console/frmMain.h"
#include "console/frmManageUsers.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QUrl>

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
constexpr int EXCEPTIONS_THRESHOLD = 16;

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

}  // namespace

frmExceptionList::frmExceptionList(frmMain& console, QWidget* parent)
    : Dv_Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::frmExceptionList>()), m_frmMain(console) {
    ui->setupUi(this);
    ilsSmall = Console_Images::Load_Image_List({QStringLiteral("User"), QStringLiteral("Hand")});
    ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    ui->lblHomeSite->setCursor(Console_Images::Hand_Cursor(ilsSmall));
    QPalette linkPalette = ui->lblHomeSite->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    ui->lblHomeSite->setPalette(linkPalette);

    platform::ListView& list = *ui->lvwUsers;
    list.Set_View(platform::ListView::lvwReport);
    list.Set_Multi_Select(true);
    list.Set_Image_List(&ilsSmall);
    m_names = std::make_unique<User_Name_List>(list, EXCEPTIONS_THRESHOLD, modDBFunctions::Get_User_Exceptions);

    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmExceptionList::cmdAdd_Click);
    platform::Install_KeyPress(ui->txtUsers, [this](int& KeyAscii) { txtUsers_KeyPress(KeyAscii); });
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmExceptionList::cmdEdit_Click);
    connect(&list, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwUsers_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdRemove, &QPushButton::clicked, this, &frmExceptionList::cmdRemove_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmExceptionList::cmdClose_Click);
    platform::Install_Click(ui->lblHomeSite, [this] { lblHomeSite_Click(); });

    resize(430, 420);
    Form_Load();
}

frmExceptionList::~frmExceptionList() {
    // The list may still paint while the dialog goes; its icons are members.
    ui->lvwUsers->Set_Image_List(nullptr);
}

void frmExceptionList::Form_Load() {
    Error_Block([&] {
        Set_Form_Caption();
        Fill_Exception_List();
    });
}

void frmExceptionList::Set_Form_Caption() {
    setWindowTitle(QStringLiteral("Exception List - ") + m_frmMain.cboUsers->currentText());
    // Lay the hidden dialog out now, so that the list has the width it will show.
    layout()->activate();
    ui->frameManageUsers->layout()->activate();
    platform::ListView& list = *ui->lvwUsers;
    list.Add_Column(QStringLiteral("User Name"), 0);
    m_names->Set_Base_Width(lists::List_Inner_Width_Twips(list) - 20);
}

void frmExceptionList::Fill_Exception_List() {
    Error_Block([&] {
        long lngRows = 0;
        modDB::Query_Result arrResult;
        if (!modDBFunctions::Get_User_Exceptions(lngRows, arrResult)) return;
        m_names->Fill(arrResult, lngRows);
    });
}

// ---------------------------------------------------------------- add

void frmExceptionList::Select_Entry() {
    ui->txtUsers->setFocus();
    ui->txtUsers->selectAll();
}

void frmExceptionList::Add_Exception() {
    const QString strName = ui->txtUsers->text().trimmed();
    if (!modCommonFuns::Is_Valid_Text_255(strName)) {
        Ask(QStringLiteral("Please enter a valid User Name!"), 48);
        Select_Entry();
        return;
    }
    // The database is asked, letter case ignored.
    if (!modDBFunctions::Is_New_User_Exception(strName)) {
        Ask(QStringLiteral("User Name already exists!"), 48);
        Select_Entry();
        return;
    }
    // Checked again inside the write: another program may have stored the name since.
    long lngExceptionID = 0;
    bool blnTwinStored = false;
    const modDB::Row_Write added = modDBFunctions::Add_User_Exception(strName, lngExceptionID, blnTwinStored);
    if (blnTwinStored) {
        Ask(QStringLiteral("User Name already exists!"), 48);
        m_names->Show_Stored();
        Select_Entry();
        return;
    }
    // A name the database did not store (reported) stays typed, for a retry.
    if (!added) {
        Select_Entry();
        return;
    }
    m_names->Append(strName, lngExceptionID);
    ui->txtUsers->setFocus();
    ui->txtUsers->setText(QString());
}

void frmExceptionList::cmdAdd_Click() {
    Error_Block([&] { Add_Exception(); });
}

void frmExceptionList::txtUsers_KeyPress(int& KeyAscii) {
    Error_Block([&] {
        if (KeyAscii == 13) {
            Add_Exception();
            KeyAscii = 0;
        }
    });
}

// ---------------------------------------------------------------- rename and remove

void frmExceptionList::cmdEdit_Click() { m_names->Edit(); }

void frmExceptionList::lvwUsers_AfterLabelEdit(int& Cancel, QString& NewString) {
    m_names->After_Label_Edit(Cancel, NewString, modDBFunctions::Rename_User_Exception);
}

void frmExceptionList::cmdRemove_Click() { m_names->Remove(modDBFunctions::Id_Row_Deletes::User_Exceptions); }

// ---------------------------------------------------------------- closing and links

void frmExceptionList::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }
