#pragma once
// A run-time failure, thrown where the old program raised an error, its common
// numbers, and the one mapping of anything an operation lets out onto such an error.

#include <QString>
#include <exception>
#include <new>
#include <string>
#include <utility>

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
constexpr long Out_Of_Memory = 7;
constexpr long Subscript_Out_Of_Range = 9;
constexpr long Type_Mismatch = 13;
constexpr long File_Not_Found = 53;
constexpr long Bad_File_Name = 52;
constexpr long Path_Not_Found = 76;
constexpr long Permission_Denied = 70;
constexpr long Input_Past_End = 62;
constexpr long Cant_Find_Dll_Entry = 453;
constexpr long File_Not_Found_Dll = 48;
constexpr long Internal_Error = 51;  // an unexpected failure
}  // namespace Err_No

namespace platform {

// Runs body; a run-time error is handed to report as it is, running out of memory as
// error 7 and any other standard exception as error 51 with its own text. Returns
// false when report was called. Anything else passes through.
template <class Body, class Report>
bool Catch_Run_Time_Error(Body&& body, Report&& report) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const Run_Time_Error& e) {
        report(e);
    } catch (const std::bad_alloc&) {
        report(Run_Time_Error(Err_No::Out_Of_Memory, QStringLiteral("Out of memory")));
    } catch (const std::exception& e) {
        report(Run_Time_Error(Err_No::Internal_Error, QString::fromLocal8Bit(e.what())));
    }
    return false;
}

}  // namespace platform
