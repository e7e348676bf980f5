#include "foundation/file_evenements.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace virmak;

TEST(FileEvenements, ActionsRunInTheOrderPostedAndOnlyThoseWaitingOnEntry)
{
    FileEvenements file;
    std::vector<int> ordre;
    file.Poster([&] { ordre.push_back(1); });
    // An action that posts again does not keep the caller running for ever.
    file.Poster([&] {
        ordre.push_back(2);
        file.Poster([&] { ordre.push_back(4); });
    });
    file.Poster([&] { ordre.push_back(3); });
    EXPECT_TRUE(file.ExecuterEnAttente());
    EXPECT_EQ(ordre, (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(file.EnAttente(), 1u);
    EXPECT_TRUE(file.ExecuterEnAttente());
    EXPECT_EQ(ordre.back(), 4);
    EXPECT_FALSE(file.ExecuterEnAttente());
}

TEST(FileEvenements, AnActionProcessingTheQueueRunsLaterOnesAtThatPointAndCountsItsDepth)
{
    FileEvenements file;
    std::vector<std::string> trace;
    file.Poster([&] {
        trace.push_back("debut " + std::to_string(file.Profondeur()));
        file.ExecuterEnAttente();
        trace.push_back("fin");
    });
    const uint64_t seconde
        = file.Poster([&] { trace.push_back("dedans " + std::to_string(file.Profondeur())); });
    file.ExecuterEnAttente();
    EXPECT_EQ(trace, (std::vector<std::string> { "debut 1", "dedans 2", "fin" }));
    EXPECT_EQ(file.DerniereExecutee(), seconde);
    EXPECT_EQ(file.Profondeur(), 0);
}

TEST(FileEvenements, ActionsPostedFromManyThreadsAllRunOnceAndStopEndsTheWait)
{
    FileEvenements file;
    constexpr int ParFil = 2000;
    std::atomic<int> executees { 0 };
    std::thread machine([&] {
        while (file.AttendreEtExecuter()) { }
    });
    std::vector<std::thread> fenetres;
    for (int f = 0; f < 3; ++f)
        fenetres.emplace_back([&] {
            for (int i = 0; i < ParFil; ++i)
                file.Poster([&] { ++executees; });
        });
    for (auto& t : fenetres)
        t.join();
    // What is still queued at the stop runs before the machine ends.
    file.Arreter();
    machine.join();
    EXPECT_EQ(executees, 3 * ParFil);
    EXPECT_TRUE(file.Arretee());
    file.Reinitialiser();
    EXPECT_FALSE(file.Arretee());
}

TEST(FilMachineMarque, OnlyTheMarkedThreadCountsAsTheMachineOnceOneIsMarked)
{
    EXPECT_TRUE(SurFilMachine());
    MarquerFilMachine();
    EXPECT_TRUE(SurFilMachine());
    bool ailleurs = true;
    std::thread([&] { ailleurs = SurFilMachine(); }).join();
    EXPECT_FALSE(ailleurs);
    OublierFilMachine();
    std::thread([&] { ailleurs = SurFilMachine(); }).join();
    EXPECT_TRUE(ailleurs);
}
