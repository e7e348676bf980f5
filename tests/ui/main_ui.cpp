#include "support/support.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    // One screen of 1024 × 768, the smallest the main window is made for,
    // whatever the offscreen platform would choose.
    const std::filesystem::path ecran
        = std::filesystem::temp_directory_path() / ("virmak-ecran-" + std::to_string(::getpid()) + ".json");
    if (std::FILE* f = std::fopen(ecran.c_str(), "w")) {
        std::fputs(R"({ "screens": [ { "name": "ecran", "x": 0, "y": 0, "width": 1024, "height": 768,)"
                   R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })",
            f);
        std::fclose(f);
    }
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + ecran.c_str());
    QApplication application(argc, argv);
    std::filesystem::remove(ecran);
    ::testing::InitGoogleTest(&argc, argv);
    virmak::test::AvertissementsLus = true;
    return RUN_ALL_TESTS();
}
