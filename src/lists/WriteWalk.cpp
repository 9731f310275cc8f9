#include "lists/WriteWalk.h"

#include "services/ErrorHandler.h"
#include "services/modProgram.h"

namespace lists {

bool Write_Walk::Go_On(const QString& strError, bool blnBusy, bool blnNoRow) {
    if (blnNoRow) m_blnNotStored = true;
    if (!m_blnFailed) m_strFailure = strError.isEmpty() ? QStringLiteral("unknown database error") : strError;
    m_blnFailed = true;
    return !blnBusy && m_trans.Is_Open();
}

bool Write_Walk::Finish() {
    if (m_blnFailed) Error_Block([&] { modProgram::Log().Show_Error(m_strFailure, true); });
    return m_trans.Commit();
}

}  // namespace lists
