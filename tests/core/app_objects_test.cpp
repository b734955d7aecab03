// The program's objects are built in the order of their declaration; a part
// handed a reference to one declared below it would meet it unbuilt. Members
// of one access lie in memory in the order declared, so their addresses tell
// the order of building.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "fakes/fake_app.h"

namespace {

TEST(AppObjects, EachPartStandsBelowWhatItIsGiven) {
  fakes::FakeApp fake;
  const app::AppObjects& o = *fake.objects;
  const auto at = [](const auto& member) { return static_cast<const void*>(&member); };
  // What each constructor is handed, as app_objects.cpp hands it: the part
  // given, then the part that takes it.
  const std::vector<std::pair<const void*, const void*>> given = {
      {at(o.flow), at(o.messages)},      {at(o.folder), at(o.mover)},
      {at(o.folder), at(o.captures)},    {at(o.mover), at(o.order)},
      {at(o.captures), at(o.order)},     {at(o.messages), at(o.undo)},
      {at(o.messages), at(o.copy)},      {at(o.messages), at(o.reorder)},
      {at(o.order), at(o.listing)},      {at(o.undo), at(o.listing)},
      {at(o.undo), at(o.timeEntry)},     {at(o.listing), at(o.commands)},
      {at(o.timeEntry), at(o.commands)}, {at(o.reorder), at(o.commands)},
      {at(o.copy), at(o.commands)},      {at(o.windowSettings), at(o.settingsTiming)},
  };
  for (std::size_t i = 0; i < given.size(); ++i) {
    EXPECT_LT(given[i].first, given[i].second) << "link " << i;
  }
}

}  // namespace
