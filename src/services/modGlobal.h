#pragma once
// Program-wide state: the remote-mode flag and the current run-time error.

#include <QString>
#include <exception>
#include <string>

// A run-time failure, thrown where the old program raised an error.
class Run_Time_Error : public std::exception {
public:
    Run_Time_Error(long lngNumber, QString strDescription, QString strSource = QStringLiteral("DravinoleTS"))
        : Number(lngNumber), Description(std::move(strDescription)), Source(std::move(strSource)),
          m_what(Description.toStdString()) {}
    const char* what() const noexcept override { return m_what.c_str(); }

    long Number;
    QString Description;
    QString Source;

private:
    std::string m_what;
};

// Common error numbers.
namespace Err_No {
constexpr long Invalid_Procedure_Call = 5;
constexpr long Overflow = 6;
constexpr long Subscript_Out_Of_Range = 9;
constexpr long Type_Mismatch = 13;
constexpr long File_Not_Found = 53;
constexpr long Bad_File_Name = 52;
constexpr long Path_Not_Found = 76;
constexpr long Permission_Denied = 70;
constexpr long Input_Past_End = 62;
constexpr long Cant_Find_Dll_Entry = 453;
constexpr long File_Not_Found_Dll = 48;
}  // namespace Err_No

// The error being handled: set by the error handler while it reports, so that
// Show_Error can add its number, description and source.
struct Err_Object {
    long Number = 0;
    QString Description;
    QString Source;
    void Set(const Run_Time_Error& e) {
        Number = e.Number;
        Description = e.Description;
        Source = e.Source;
    }
    void Clear() { *this = Err_Object(); }
};

namespace modGlobal {
// True while the settings row's REMOTE_MODE is not 0; editing controls are then disabled.
extern bool Is_Remote_Mode;
// The current error (0 when none is pending).
extern Err_Object Err;
}  // namespace modGlobal
