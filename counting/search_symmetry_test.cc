#include "counting/search_symmetry.h"

#include <gtest/gtest.h>

#include <memory>

#include "counting/engine_settings.h"
#include "tests/algebras/sample_algebras.h"

namespace tallyra {
namespace {

// What the search keys a component by: the component, what each of its
// elements needs and the elements each may not come in with.
template <int Words>
struct ComponentState {
  using Set = ElementSetOf<Words>;
  Set component{};
  Set implied[kSetCapacity<Set>] = {};
  Set notBothWith[kSetCapacity<Set>] = {};
};

// A random state on a job of `size` elements: about two in five elements
// in the component, each of them needing about one in eight of all
// elements (inside the component or not), and about one in sixteen pairs
// of it that may not both come in.
template <int Words>
void makeState(SampleRandom& random, int size, ComponentState<Words>& state) {
  using Set = ElementSetOf<Words>;
  state = {};
  for (int x = 0; x < size; ++x)
    if (random.below(5) < 2) state.component |= single<Set>(x);
  forEach(state.component, [&](int x) {
    for (int y = 0; y < size; ++y) {
      if (random.below(8) == 0) state.implied[x] |= single<Set>(y);
      if (y < x && has(state.component, y) && random.below(16) == 0) {
        state.notBothWith[x] |= single<Set>(y);
        state.notBothWith[y] |= single<Set>(x);
      }
    }
  });
}

// The state mapped by the permutation `image`.
template <int Words>
void mapState(const ComponentState<Words>& state, const uint8_t* image,
              ComponentState<Words>& out) {
  out = {};
  out.component = mappedSet<Words>(state.component, image);
  forEach(state.component, [&](int x) {
    out.implied[image[x]] = mappedSet<Words>(state.implied[x], image);
    out.notBothWith[image[x]] = mappedSet<Words>(state.notBothWith[x], image);
  });
}

// Whether no listed element but the identity maps `set` onto itself.
template <int Words>
bool onlyTheIdentityFixes(const ElementSetOf<Words>& set, const JobSymmetry& symmetry) {
  for (int g = 1; g < symmetry.listed(); ++g)
    if (mappedSet<Words>(set, symmetry.image(g)) == set) return false;
  return true;
}

// Random states of components of `algebra` (whose whole group of
// `order` elements is listed) and their images under random symmetries:
// the two keys hold the same least image of the component, and where only
// the identity fixes that image, a count stored under the state's key is
// found under its image's. (Where more fix it, the needs may be mapped by
// different elements: both keys are exact, but they may differ.)
template <int Words>
void checkImagesShareKeys(const SampleAlgebra& algebra, int order, uint64_t seed) {
  auto symmetry = std::make_unique<JobSymmetry>();
  ASSERT_EQ(symmetry->start(algebra.size, algebra.constraints, algebra.constraintCount,
                            EngineOptions{}.symmetryWork),
            order);
  ASSERT_TRUE(symmetry->whole());
  auto cache = std::make_unique<ResidualCache<Words>>();
  auto scratch = std::make_unique<SymmetricKeyScratch<Words>>();
  scratch->start();
  auto state = std::make_unique<ComponentState<Words>>();
  auto image = std::make_unique<ComponentState<Words>>();
  SampleRandom random(seed);
  constexpr int kRounds = 300;
  int shared = 0;
  for (int round = 0; round < kRounds; ++round) {
    makeState(random, algebra.size, *state);
    mapState(*state, symmetry->image(random.below(symmetry->listed())), *image);
    cache->startJob();
    typename ResidualCache<Words>::Key key;
    makeSymmetricKey<Words>(state->component, state->implied, state->notBothWith, *symmetry,
                            algebra.size, *cache, *scratch, key);
    const PartCountOf<Words> count = static_cast<uint64_t>(round) + 1;
    cache->take(key);
    cache->store(key, count);
    typename ResidualCache<Words>::Key imageKey;
    makeSymmetricKey<Words>(image->component, image->implied, image->notBothWith, *symmetry,
                            algebra.size, *cache, *scratch, imageKey);
    ASSERT_TRUE(key.component == imageKey.component) << "round " << round;
    if (!onlyTheIdentityFixes<Words>(key.component, *symmetry)) continue;
    EXPECT_TRUE(cache->find(imageKey) == count) << "round " << round;
    ++shared;
  }
  EXPECT_GE(shared, kRounds * 3 / 4);
}

TEST(SymmetricKeys, AComponentAndItsImagesShareOneKey) {
  SampleAlgebra algebra;
  const int cube[] = {2, 2, 2, 2, 2, 2};
  makeGridMeetSemilattice(cube, 6, algebra);  // 64 elements, 720 symmetries
  checkImagesShareKeys<1>(algebra, 720, 20261211);
  makeBooleanLattice(7, algebra);  // 128 elements in two words, 10,080 symmetries
  checkImagesShareKeys<2>(algebra, 10080, 20261212);
}

}  // namespace
}  // namespace tallyra
