// The threads of a long sort work through parts round after round: each
// part once, and a part that throws ends the round for the caller without
// leaving the team unable to work the next.

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "folderlist/parts_on_threads.h"

namespace {

TEST(PartsTeam, EveryPartOnceInEveryRound) {
  struct Round {
    std::size_t threads;
    std::size_t parts;
  };
  for (const Round round : {Round{1, 5}, Round{2, 0}, Round{2, 1}, Round{3, 40}, Round{4, 3}}) {
    folderlist::PartsTeam team(round.threads);
    for (int again = 0; again < 3; ++again) {
      std::vector<std::atomic<int>> calls(round.parts);
      team.run(round.parts, [&](std::size_t part) { ++calls[part]; });
      for (std::size_t part = 0; part < round.parts; ++part) {
        EXPECT_EQ(calls[part], 1) << round.threads << " threads, part " << part;
      }
    }
  }
}

TEST(PartsTeam, AFailedPartReachesTheCallerAndTheTeamWorksOn) {
  folderlist::PartsTeam team(3);
  EXPECT_THROW(team.run(30,
                        [](std::size_t part) {
                          if (part == 7) throw std::runtime_error("part 7");
                        }),
               std::runtime_error);
  std::atomic<int> calls{0};
  team.run(10, [&](std::size_t) { ++calls; });
  EXPECT_EQ(calls, 10);
}

}  // namespace
