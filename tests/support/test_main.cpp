// Runs the tests of one folder headless, with the console's own application object
// (its event guard included) for the forms.
#include "platform/Dv_Application.h"
#include "services/ErrorHandler.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    ::testing::InitGoogleTest(&argc, argv);
    platform::Dv_Application app(argc, argv);
    platform::Dv_Application::Set_Error_Report(Procedure_Error_Handler);
    return RUN_ALL_TESTS();
}
