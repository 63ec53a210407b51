#include <QApplication>

#include <gtest/gtest.h>

// Every test program gets an application object, so widget and serial tests run alike
// (offscreen under CTest).
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
