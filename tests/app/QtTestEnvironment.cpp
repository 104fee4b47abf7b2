#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
// One application object for every GUI test, on the offscreen platform so
// that no display is needed.
class QtTestEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char szName[] = "test_app";
        static char* argv[] = { szName, nullptr };
        pApp = new QApplication(argc, argv);
    }
    void TearDown() override { delete pApp; }

private:
    QApplication* pApp = nullptr;
};

testing::Environment* const pEnvironment = testing::AddGlobalTestEnvironment(new QtTestEnvironment);
} // namespace
